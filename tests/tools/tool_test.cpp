// The developer tool's own behaviour: command dispatch and usage errors.
#include <gtest/gtest.h>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

TEST(ToolTest, HelpListsCommandsAndUnknownCommandFails) {
  const ToolResult help = runTool({"help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: tamsil"), std::string::npos);

  const ToolResult bad = runTool({"no-such-command"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("unknown command 'no-such-command'"), std::string::npos);
}

}  // namespace
}  // namespace tamsil::testing
