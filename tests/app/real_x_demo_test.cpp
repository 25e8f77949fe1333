// A person's path through Kestrel24 under a real X server: open the File menu with the mouse and
// choose Print..., click the edit cell and type into it, press the button cell, leave through
// File > Exit; click a cell and cut it through the Edit menu. The grid's call log and the printed
// sheet show what reached it; the program must end by itself with 0.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/x11/x_session.h"

namespace kestrel::testing {
namespace {

using namespace std::chrono_literals;

// Places in the window (pixels from its top-left corner: the menu bar, then the grid with its
// headers, as the sample sheet lays out its cells).
struct Point {
  int x, y;
};
constexpr Point kFileMenu{20, 10}, kEditMenu{60, 10}, kEditCell{200, 65}, kButtonCell{240, 230};

std::string fileText(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class RealXDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XServer::shared().available()) GTEST_SKIP() << XServer::shared().why();
    dir_ = std::filesystem::temp_directory_path() / ("real_x_demo." + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  void click(const std::string& window, Point at) {
    xdo({"mousemove", "--window", window, std::to_string(at.x), std::to_string(at.y), "click", "1"});
    settle();
  }
  std::filesystem::path dir_;
};

TEST_F(RealXDemoTest, APersonPrintsTypesPressesTheButtonAndExits) {
  const std::string log = (dir_ / "calls.log").string();
  XProgram program(KESTREL24_PROGRAM, {}, {"OVSPREAD_CALLLOG=" + log, "TAMSIL_PRINT_PDF=" + (dir_ / "sheet.pdf").string()});
  const std::string w = program.window("Ostrevane Spread DEMO");
  ASSERT_FALSE(w.empty()) << "the demo window never appeared";
  settle(500ms);

  click(w, kFileMenu);
  xdo({"key", "r"});  // P&rint...
  settle();
  click(w, kEditCell);
  xdo({"type", "--delay", "30", "hello"});
  xdo({"key", "Return"});
  settle();
  click(w, kButtonCell);
  click(w, kFileMenu);
  xdo({"key", "x"});  // E&xit

  const Ending end = program.wait(10s);
  EXPECT_EQ(end.exitCode, 0) << end.describe();
  const std::string calls = fileText(log);
  EXPECT_NE(calls.find("put PrintJobName = BSTR:\"Ostrevane Spread Control DEMO\""), std::string::npos) << calls;
  EXPECT_NE(calls.find("call PrintSheet(I4:0)"), std::string::npos) << calls;
  EXPECT_EQ(fileText(dir_ / "sheet.pdf").substr(0, 5), "%PDF-") << "the print went to the PDF file";
  EXPECT_NE(calls.find("event Change(I4:2,I4:2)"), std::string::npos) << "typing reached the edit cell\n" << calls;
  EXPECT_NE(calls.find("event ButtonClicked(I4:2,I4:9,I2:0)"), std::string::npos) << "the button cell was pressed\n" << calls;
}

// Clicking into the grid gives it the focus the Edit menu's commands go to: Cut empties the clicked
// cell, as the printed sheet shows.
TEST_F(RealXDemoTest, APersonClicksACellAndCutsItThroughTheEditMenu) {
  const auto pdf = dir_ / "sheet.pdf";
  XProgram program(KESTREL24_PROGRAM, {}, {"TAMSIL_PRINT_PDF=" + pdf.string()});
  const std::string w = program.window("Ostrevane Spread DEMO");
  ASSERT_FALSE(w.empty()) << "the demo window never appeared";
  settle(500ms);

  click(w, kEditCell);
  click(w, kEditMenu);
  xdo({"key", "t"});  // Cu&t
  settle();
  click(w, kFileMenu);
  xdo({"key", "r"});  // P&rint...
  settle();
  click(w, kFileMenu);
  xdo({"key", "x"});  // E&xit

  const Ending end = program.wait(10s);
  EXPECT_EQ(end.exitCode, 0) << end.describe();
  const std::string printed = fileText(pdf);
  ASSERT_EQ(printed.substr(0, 5), "%PDF-") << "nothing was printed";
  EXPECT_NE(printed.find("(12/23/96)"), std::string::npos) << "the other cells stay";
  EXPECT_EQ(printed.find("(Type in me)"), std::string::npos) << "the clicked cell was not cut";
}

}  // namespace
}  // namespace kestrel::testing
