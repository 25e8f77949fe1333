// tamsil ole: one result line per command line, run on the built-in sample class; malformed
// lines, failures and runtime errors each give their own line and never stop the run.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_profile.h"
#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

struct OleLine {
  const char* command;
  const char* result;
};

// Run in order in one session: later lines see what earlier ones wrote.
constexpr OleLine kSession[] = {
    {"put Name = Ada", "ok"},
    {"get Name", "Ada"},
    {"put Cells(1,2).Value = 12", "ok"},
    {"get Cells(1, 2).Value", "12"},
    {"get Cells(1,3).Value", ""},
    {"put Title(\"a.b\") = x", "ok"},
    {"get Count", "2"},
    {"call Fail", "failed"},
    {"get Fail", "GetPropertyFailed"},
    {"get Cells(1)", "GetPropertyFailed"},
    {"get `12345.Name", "error 10001: Not an OLE object : `12345"},
    {"get Name(&unbound)", "error 1013: Variable passed by reference is not bound : &unbound"},
    {"save nofile", "error 10000: OLE storage name needs FILE\\!STORAGE : nofile"},
    {"save SAVED\\!sheet", "ok"},
    {"put Name = changed", "ok"},
    {"open SAVED\\!sheet", "ok"},
    {"get Name", "Ada"},
    {"get Title(\"a.b\")", "x"},
    {"open SAVED\\!nothing", "failed"},
    {"get Name", "Ada"},
    {"event-name", "ErrorEvent"},  // "call Fail" raised the stock error event
    {"get", "bad line: get"},
    {"put Name", "bad line: put Name"},
    {"put = 3", "bad line: put = 3"},
    {"frobnicate x", "bad line: frobnicate x"},
    {"get Name(", "GetPropertyFailed"},
};

TEST(OleToolTest, EveryLineGivesOneResultLine) {
  kestrel::testing::TempProfileDir profile("ole_tool");
  const std::string script = (profile.path() / "commands.txt").string();
  std::string expected = "create ok\n";
  {
    std::ofstream out(script);
    out << "# comment lines and empty lines are skipped\n\n";
    for (const OleLine& l : kSession) {
      std::string command = l.command;
      if (const size_t at = command.find("SAVED"); at != std::string::npos) command.replace(at, 5, (profile.path() / "saved.stg").string());
      out << command << "\n";
      expected += std::string(l.result) + "\n";
    }
  }
  const ToolResult r = runTool({"ole", "Tamsil.Sample.1", script});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
}

TEST(OleToolTest, AClassNobodyRegisteredCreatesNothing) {
  kestrel::testing::TempProfileDir profile("ole_tool");
  const std::string script = (profile.path() / "commands.txt").string();
  std::ofstream(script) << "get Name\n";
  const ToolResult r = runTool({"ole", "No.Such.Class", script});
  EXPECT_EQ(r.out, "create failed\nNo ole automation interface\n");
  EXPECT_EQ(runTool({"ole"}).exitCode, 2);
}

}  // namespace
}  // namespace tamsil::testing
