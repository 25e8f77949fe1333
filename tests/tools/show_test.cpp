// tamsil show: a stored window run by a script on the headless backend, seen through the events
// its loop body prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

ToolResult show(const std::string& module, const std::string& label, const std::string& script) {
  // CTest runs cases in parallel processes: each needs a script file of its own.
  const auto path = std::filesystem::temp_directory_path() / ("tamsil-show-" + std::to_string(getpid()) + ".script");
  std::ofstream(path) << script;
  return runTool({"show", module, label}, {"TAMSIL_PLATFORM=headless", "TAMSIL_SCRIPT=" + path.string()});
}

struct ShowCase {
  const char* name;
  const char* script;
  const char* events;
};

class ShowTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowTest, TheLoopBodySeesTheseEvents) {
  const ToolResult r = show("Kestrel24$Kestr001", "P1$WINDOW", GetParam().script);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, GetParam().events) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    DemoWindow, ShowTest,
    ::testing::Values(
        ShowCase{"LoadExcelBook", "menu File > Load Excel Book\n",
                 "event EVENT:OpenWindow field 0\nevent EVENT:Accepted field 7\nevent EVENT:CloseWindow field 0\n"},
        ShowCase{"ExitClosesWithoutAccepted", "menu File > Exit\n",
                 "event EVENT:OpenWindow field 0\nevent EVENT:CloseWindow field 0\n"},
        ShowCase{"Resize", "resize 700 500\n",
                 "event EVENT:OpenWindow field 0\nevent EVENT:Size field 0\nevent EVENT:Sized field 0\n"
                 "event EVENT:CloseWindow field 0\n"},
        ShowCase{"CloseButton", "press Close\n",
                 "event EVENT:OpenWindow field 0\nevent EVENT:Accepted field 21\nevent EVENT:CloseWindow field 0\n"},
        ShowCase{"PrintSetupIsTheRuntimesOwn", "answer print cancel\nmenu File > Print Setup\n",
                 "event EVENT:OpenWindow field 0\nevent EVENT:CloseWindow field 0\n"}),
    [](const ::testing::TestParamInfo<ShowCase>& p) { return std::string(p.param.name); });

TEST(ShowErrorTest, AMissingLabelEndsThroughTheRuntimeErrorReport) {
  const ToolResult r = show("Kestrel24$Kestr001", "P9$NOWHERE", "");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("\"Runtime error\" \"Internal error 02 : WSLDIAL"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace tamsil::testing
