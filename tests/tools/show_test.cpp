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
    ::testing::Values(ShowCase{"LoadExcelBook", "menu File > Load Excel Book\n",
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
  EXPECT_NE(r.err.find("dialog: message box \"Runtime error\" \"Internal error 02 : WSLDIAL\\nDo you want to GPF?\" "
                       "-> \"No\" (default)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

#ifdef KESTREL_HAVE_QT
// Under qt without a display, a script can take a picture of the window, frame and title included.
TEST(ShowSnapshotTest, WritesAPictureOfTheWholeWindow) {
  const auto png = std::filesystem::temp_directory_path() / ("tamsil-show-" + std::to_string(getpid()) + ".png");
  const auto script = std::filesystem::temp_directory_path() / ("tamsil-show-snap-" + std::to_string(getpid()) + ".script");
  std::ofstream(script) << "snapshot " << png.string() << "\nmenu File > Exit\n";
  const ToolResult r = runTool({"show", "Kestrel24$Kestr001", "P1$WINDOW"},
                               {"TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=offscreen", "TAMSIL_SCRIPT=" + script.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::ifstream in(png, std::ios::binary);
  std::string header(24, '\0');
  in.read(header.data(), 24);
  ASSERT_EQ(header.substr(1, 3), "PNG");
  auto be32 = [&](size_t at) {
    return (unsigned(std::uint8_t(header[at])) << 24) | (unsigned(std::uint8_t(header[at + 1])) << 16) |
           (unsigned(std::uint8_t(header[at + 2])) << 8) | unsigned(std::uint8_t(header[at + 3]));
  };
  // 536 by 358 dialog units plus frame, caption and menu bar: wider than high, and big.
  EXPECT_GT(be32(16), be32(20));
  EXPECT_GT(be32(20), 358u);
  std::filesystem::remove(png);
}
#endif

}  // namespace
}  // namespace tamsil::testing
