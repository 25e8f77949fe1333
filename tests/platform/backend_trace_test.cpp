// The same script drives the example program on both backends; the messages its window procedure
// receives must be the same, in the same order, with the same parameters. The example lays its
// controls out in pixels, so nothing in its trace depends on font metrics (dialog boxes measure
// their text, but their own windows are not in the example's trace); maximizing is left out
// because the screen's work area is the display's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/tools/run_tool.h"

namespace platform::testing {
namespace {

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string runOn(const std::string& backend) {
  const auto dir = std::filesystem::temp_directory_path() / ("backend-trace-" + backend + "-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto log = dir / "trace.txt";
  const auto r = tamsil::testing::runProcess(
      EXAMPLE_PROGRAM, {},
      {"TAMSIL_PLATFORM=" + backend, "QT_QPA_PLATFORM=offscreen", "TAMSIL_SCRIPT=" TRACE_SCRIPT, "EXAMPLE_LOG=" + log.string()});
  EXPECT_EQ(r.exitCode, 0) << backend << ": " << r.err;
  return readFile(log);
}

TEST(BackendTraceTest, BothBackendsDeliverTheSameMessages) {
  const std::string headless = runOn("headless");
  const std::string qt = runOn("qt");
  ASSERT_FALSE(headless.empty());
  EXPECT_NE(headless.find("WM_COMMAND id 205 code 0 from menu"), std::string::npos);  // Help > About
  std::istringstream a(headless), b(qt);
  std::string la, lb;
  for (int line = 1; std::getline(a, la); ++line) {
    ASSERT_TRUE(std::getline(b, lb)) << "qt trace ends at line " << line;
    ASSERT_EQ(la, lb) << "line " << line;
  }
  EXPECT_FALSE(std::getline(b, lb)) << "qt trace has more: " << lb;
}

}  // namespace
}  // namespace platform::testing
