// The grid end to end: `tamsil ole OVSpreadADO.ovSpread.6` creates it in the demo window's OLE
// control through the runtime's bridge, the values written read back, and the call log holds one
// line per member carried out, as the program sent it.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_profile.h"
#include "tests/tools/run_tool.h"

namespace spread::testing {
namespace {

using tamsil::testing::runTool;
using tamsil::testing::ToolResult;

struct Step {
  const char* command;
  const char* printed;
  const char* logged;  // the log line it adds (events left aside); empty for none
};

constexpr Step kSession[] = {
    {"put MaxRows = 13", "ok", "put MaxRows = BSTR:\"13\""},
    {"get MaxRows", "13", "get MaxRows -> I4:13"},
    {"put ColWidth(2) = 25.5", "ok", "put ColWidth(I4:2) = BSTR:\"25.5\""},
    {"get ColWidth(2)", "25.5", "get ColWidth(I4:2) -> R8:25.5"},
    {"call SetActiveCell(3,7)", "ok", "call SetActiveCell(I4:3,I4:7) -> EMPTY"},
    {"get ActiveRow", "7", "get ActiveRow -> I4:7"},
    {"get activecol", "3", "get ActiveCol -> I4:3"},
    {"put Text = He said \"hi\"", "ok", "put Text = BSTR:\"He said \"\"hi\"\"\""},
    {"get Text", "He said \"hi\"", "get Text -> BSTR:\"He said \"\"hi\"\"\""},
    {"get NoSuchMember", "GetPropertyFailed", ""},
};

std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SpreadToolTest, TheGridAnswersThroughTheBridgeAndLogsWhatItWasSent) {
  kestrel::testing::TempProfileDir profile("spread_tool");
  const auto script = profile.path() / "commands.txt", log = profile.path() / "calls.log";
  std::string expected = "create ok\n";
  std::vector<std::string> logged;
  {
    std::ofstream out(script);
    for (const Step& s : kSession) {
      out << s.command << "\n";
      expected += std::string(s.printed) + "\n";
      if (*s.logged) logged.push_back(s.logged);
    }
  }
  const ToolResult r = runTool({"ole", "OVSpreadADO.ovSpread.6", script.string()}, {"OVSPREAD_CALLLOG=" + log.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  std::vector<std::string> lines = readLines(log);
  std::erase_if(lines, [](const std::string& l) { return l.starts_with("event "); });
  EXPECT_EQ(lines, logged);
}

TEST(SpreadToolTest, AnEventOfTheGridIsNamedToTheProgram) {
  kestrel::testing::TempProfileDir profile("spread_tool");
  const auto script = profile.path() / "commands.txt", log = profile.path() / "calls.log";
  std::ofstream(script) << "call SetActiveCell(2,4)\nevent-name\n";
  const ToolResult r = runTool({"ole", "OVSpreadADO.ovSpread.6", script.string()}, {"OVSPREAD_CALLLOG=" + log.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> lines = readLines(log);
  ASSERT_FALSE(lines.empty());
  ASSERT_TRUE(lines.front().starts_with("event ")) << lines.front();
  const std::string name = lines.front().substr(6, lines.front().find('(') - 6);
  EXPECT_EQ(r.out, "create ok\nok\n" + name + "\n");
}

// The runtime's SaveAs and Open keep the grid in a compound file and make a grid from it again.
TEST(SpreadToolTest, TheGridIsSavedAndOpenedAgainThroughTheContainer) {
  kestrel::testing::TempProfileDir profile("spread_tool");
  const auto script = profile.path() / "commands.txt", saved = profile.path() / "saved.stg";
  std::ofstream(script) << "put MaxRows = 13\nput ColWidth(2) = 25.5\ncall SetActiveCell(2,4)\nsave " << saved.string()
                        << "\\!grid\nput MaxRows = 7\nget MaxRows\nopen " << saved.string()
                        << "\\!grid\nget MaxRows\nget ColWidth(2)\nget ActiveRow\n";
  const ToolResult r = runTool({"ole", "OVSpreadADO.ovSpread.6", script.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "create ok\nok\nok\nok\nok\nok\n7\nok\n13\n25.5\n4\n");
}

TEST(SpreadToolTest, WithoutTheVariableNothingIsLogged) {
  kestrel::testing::TempProfileDir profile("spread_tool");
  const auto script = profile.path() / "commands.txt";
  std::ofstream(script) << "put MaxRows = 5\nget MaxRows\n";
  const ToolResult r = runTool({"ole", "OVSpreadADO.ovSpread.6", script.string()}, {"OVSPREAD_CALLLOG="});
  EXPECT_EQ(r.out, "create ok\nok\n5\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(profile.path()), std::filesystem::directory_iterator()), 2)
      << "only the script and the registry";
}

}  // namespace
}  // namespace spread::testing
