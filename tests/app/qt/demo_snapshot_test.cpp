// The demo window on qt/offscreen as a person would see it: a snapshot taken by the program's own
// script shows the grid drawn with the sample sheet (the sample picture among its cells, and
// nothing drawn beyond column B), and again after the window was made larger.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/support/temp_profile.h"
#include "tests/tools/run_tool.h"

namespace kestrel::testing {
namespace {

// The sample picture's sky, as the cover was drawn (the top of its gradient).
const QColor kCoverSky("#1d4e89");

bool near(QColor a, QColor b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance && std::abs(a.blue() - b.blue()) <= tolerance;
}

// How many pixels of the rectangle are close to `colour`.
int countNear(const QImage& image, QRect area, QColor colour, int tolerance) {
  int n = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += near(image.pixelColor(x, y), colour, tolerance);
  return n;
}

// How many different colours the rectangle holds (text, lines, widgets drawn in it).
int colours(const QImage& image, QRect area) {
  std::set<QRgb> seen;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) seen.insert(image.pixel(x, y));
  return int(seen.size());
}

class DemoSnapshotTest : public ::testing::Test {
 protected:
  TempProfileDir profile_{"demo_snapshot_test"};
};

TEST_F(DemoSnapshotTest, TheWindowShowsTheFilledSampleSheet) {
  const auto work = profile_.path() / "work";
  std::filesystem::create_directories(work);
  std::filesystem::copy_file(std::filesystem::path(KESTREL24_DIR) / "cover.jpg", work / "cover.jpg");
  const auto shot = work / "demo.png", larger = work / "larger.png";
  std::ofstream(work / "s.script") << "snapshot " << shot.string() << "\nresize 1100 760\nwait 200\nsnapshot " << larger.string()
                                   << "\nmenu File > Exit\n";
  const std::string program = std::filesystem::absolute(KESTREL24_PROGRAM).string();
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(work);  // the program finds the sample picture where it runs
  const auto run =
      tamsil::testing::runProcess(program, {},
                                  {"TAMSIL_PLATFORM=qt", "QT_QPA_PLATFORM=offscreen", "TAMSIL_SCRIPT=" + (work / "s.script").string(),
                                   "TAMSIL_PROFILE_DIR=" + profile_.path().string()});
  std::filesystem::current_path(previous);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const auto& file : {shot, larger}) {
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(file.string()))) << file;
    ASSERT_GT(image.width(), 600);
    // The grid's cells lie in the left part of the window, under the menu bar.
    const QRect sheet(0, 40, 340, 340), beyond(360, 120, image.width() - 400, 200);
    EXPECT_GT(countNear(image, sheet, kCoverSky, 40), 20) << file << ": the sample picture is not in the sheet";
    EXPECT_GT(colours(image, sheet), 40) << file << ": the sheet's cells are not drawn";
    EXPECT_LT(colours(image, beyond), 4) << file << ": something is drawn beyond the sheet's two columns";
  }
}

}  // namespace
}  // namespace kestrel::testing
