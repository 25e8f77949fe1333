// A window moved and resized by a person, closed, and opened again by a new process comes back at
// the same place and size: the probe program run twice with one profile directory, on the
// headless backend and on qt without a display.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/framework/ini/ini_test.h"
#include "tests/tools/run_tool.h"

namespace tamsil::framework {
namespace {

// The numbers a line "WHAT X Y W H" of the probe's output carries.
std::string placeAfter(const std::string& out, const std::string& what) {
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(what + " ", 0) == 0) return line.substr(what.size() + 1);
  return "(no " + what + " line)";
}

class WindowTwoRunsTest : public ::testing::TestWithParam<const char*> {
 protected:
  tamsil::testing::ToolResult run(const std::string& script) {
    const auto path = profile_.path() / "probe.script";
    std::ofstream(path) << script;
    std::vector<std::string> env{"TAMSIL_PROFILE_DIR=" + profile_.path().string(), "TAMSIL_SCRIPT=" + path.string(),
                                 std::string("TAMSIL_PLATFORM=") + GetParam()};
    if (std::string(GetParam()) == "qt") env.push_back("QT_QPA_PLATFORM=offscreen");
    return tamsil::testing::runProcess(INI_WINDOW_PROBE, {}, env);
  }
  kestrel::testing::TempProfileDir profile_{"window_two_runs_test"};
};

TEST_P(WindowTwoRunsTest, TheSecondRunOpensTheWindowWhereTheFirstLeftIt) {
  const auto first = run("move 150 90\nresize 640 420\n");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const std::string design = placeAfter(first.out, "restored"), left = placeAfter(first.out, "saved");
  EXPECT_NE(left, design) << "the script moved and sized the window";
  EXPECT_NE(testing::fileText(profile_.path() / "Probe.INI").find("[Main]"), std::string::npos);

  const auto second = run("");
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(placeAfter(second.out, "restored"), left) << second.out;
  EXPECT_EQ(placeAfter(second.out, "saved"), left);
}

#ifdef KESTREL_HAVE_QT
INSTANTIATE_TEST_SUITE_P(Backends, WindowTwoRunsTest, ::testing::Values("headless", "qt"), [](const auto& p) { return std::string(p.param); });
#else
INSTANTIATE_TEST_SUITE_P(Backends, WindowTwoRunsTest, ::testing::Values("headless"), [](const auto& p) { return std::string(p.param); });
#endif

}  // namespace
}  // namespace tamsil::framework
