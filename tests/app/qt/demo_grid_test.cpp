// The demo's grid driven by scripted runs on qt/offscreen, as a person would use it: keys reach
// the grid once it has the focus (typing into a cell), the Edit menu's Cut, Copy and Paste act on
// the grid's selection through the clipboard, and the sample picture is found beside the program
// when the program starts in another folder. What the sheet holds afterwards is read from the
// PDF its Print writes (TAMSIL_PRINT_PDF), whose texts stand as they are drawn.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_profile.h"
#include "tests/tools/run_tool.h"

namespace kestrel::testing {
namespace {

// The grid is field 20; a control's identifier is its field plus 0x4000.
constexpr const char* kFocusGrid = "focus #16404\n";
// From the first cell (the "Date" label) to the edit cell holding "Type in me".
constexpr const char* kToEditCell = "key Right\nkey Down\n";

class DemoGridTest : public ::testing::Test {
 protected:
  DemoGridTest() { std::filesystem::create_directories(work_); }

  // Runs the program in `folder` with the script and then File > Print; the printed PDF's text.
  std::string runAndPrint(const std::string& script, const std::filesystem::path& folder) {
    const auto pdf = work_ / "sheet.pdf";
    std::ofstream(work_ / "s.script") << script << "menu File > Print\nmenu File > Exit\n";
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const auto run =
        tamsil::testing::runProcess(std::filesystem::absolute(KESTREL24_PROGRAM).string(), {},
                                    {"TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=offscreen", "TAMSIL_SCRIPT=" + (work_ / "s.script").string(),
                                     "TAMSIL_PROFILE_DIR=" + profile_.path().string(), "TAMSIL_PRINT_PDF=" + pdf.string()});
    std::filesystem::current_path(previous);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempProfileDir profile_{"demo_grid_test"};
  std::filesystem::path work_ = profile_.path() / "work";
};

struct EditCase {
  const char* name;
  std::string script;
  bool typeInMe, date;  // whether the printed sheet shows "Type in me" and the date
  const char* also;     // a further text it shows, or null
};

class DemoEditTest : public DemoGridTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(DemoEditTest, TheGridTakesKeysAndTheEditMenuWhenFocused) {
  const EditCase& c = GetParam();
  const std::string pdf = runAndPrint(c.script, work_);
  ASSERT_NE(pdf.find("%PDF"), std::string::npos);
  EXPECT_EQ(pdf.find("(Type in me)") != std::string::npos, c.typeInMe);
  EXPECT_EQ(pdf.find("(12/23/96)") != std::string::npos, c.date);
  if (c.also) {
    EXPECT_NE(pdf.find(std::string("(") + c.also + ")"), std::string::npos) << c.also;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, DemoEditTest,
    ::testing::Values(EditCase{"Untouched", "", true, true, nullptr},
                      EditCase{"TypedIntoTheEditCell", std::string(kFocusGrid) + kToEditCell + "type Hello\nkey Enter\n", false, true, "Hello"},
                      EditCase{"CutEmptiesTheCell", std::string(kFocusGrid) + kToEditCell + "menu Edit > Cut\n", false, true, nullptr},
                      // Clear empties the sheet; the copied text comes back at the first cell.
                      EditCase{"CopyClearPaste",
                               std::string(kFocusGrid) + kToEditCell + "menu Edit > Copy\nmenu Edit > Clear\nmenu Edit > Paste\n", true, false,
                               nullptr},
                      EditCase{"CopyLeavesTheCell", std::string(kFocusGrid) + kToEditCell + "menu Edit > Copy\n", true, true, nullptr},
                      // Without the focus the command goes to the Close button, which takes none.
                      EditCase{"NotFocused", "focus Close\nmenu Edit > Cut\n", true, true, "Date"}),
    [](const auto& p) { return std::string(p.param.name); });

// The sample picture's sky, as the cover was drawn (the top of its gradient).
const QColor kCoverSky("#1d4e89");

int countNear(const QImage& image, QRect area, QColor colour, int tolerance) {
  int n = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor p = image.pixelColor(x, y);
      n += std::abs(p.red() - colour.red()) <= tolerance && std::abs(p.green() - colour.green()) <= tolerance &&
           std::abs(p.blue() - colour.blue()) <= tolerance;
    }
  return n;
}

TEST_F(DemoGridTest, TheSamplePictureIsFoundBesideTheProgramFromAnotherFolder) {
  ASSERT_FALSE(std::filesystem::exists(work_ / "cover.jpg"));
  const auto shot = work_ / "elsewhere.png";
  runAndPrint("snapshot " + shot.string() + "\n", work_);
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(shot.string())));
  EXPECT_GT(countNear(image, QRect(0, 40, 340, 340), kCoverSky, 40), 20) << "the sample picture is not in the sheet";
}

// A person's keys on the grid raise the selection and key-release events as well: Shift+Down
// widens the selection (SelChange), and every key let go is heard (KeyUp).
TEST_F(DemoGridTest, KeysOnTheGridRaiseSelChangeAndKeyUp) {
  const auto log = work_ / "calls.log";
  std::ofstream(work_ / "keys.script") << kFocusGrid << "key Shift+Down\ntype x\nmenu File > Exit\n";
  const auto run =
      tamsil::testing::runProcess(std::filesystem::absolute(KESTREL24_PROGRAM).string(), {},
                                  {"TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=offscreen", "TAMSIL_SCRIPT=" + (work_ / "keys.script").string(),
                                   "TAMSIL_PROFILE_DIR=" + profile_.path().string(), "OVSPREAD_CALLLOG=" + log.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::ifstream in(log);
  std::stringstream lines;
  lines << in.rdbuf();
  EXPECT_NE(lines.str().find("event SelChange"), std::string::npos) << lines.str();
  EXPECT_NE(lines.str().find("event KeyUp"), std::string::npos) << lines.str();
}

}  // namespace
}  // namespace kestrel::testing
