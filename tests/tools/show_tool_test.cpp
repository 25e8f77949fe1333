// tamsil show: a stored window runs its loop; a label no module has ends as a runtime error.
#include <gtest/gtest.h>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

const std::vector<std::string> kHeadless{"TAMSIL_PLATFORM=headless", "TAMSIL_SCRIPT="};

TEST(ShowToolTest, AMissingWindowEndsThroughTheRuntimeErrorReportWithCodeTwo) {
  const ToolResult r = runTool({"show", "Kestrel24$Kestr001", "P9$NOWHERE"}, kHeadless);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("dialog: message box \"Runtime error\" \"Internal error 02 : WSLDIAL\\nDo you want to GPF?\" "
                       "-> \"No\" (default)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

TEST(ShowToolTest, AStoredWindowOpensRunsAndClosesWithZero) {
  const ToolResult r = runTool({"show", "Kestrel24$Kestr001", "P1$WINDOW"}, kHeadless);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("event EVENT:OpenWindow field 0\n")) << r.out;
}

}  // namespace
}  // namespace tamsil::testing
