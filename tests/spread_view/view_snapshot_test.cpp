// The demo's sample sheet in the view: every row shows its cell type as a person recognises it,
// in a picture taken of the view, with the sizes, headers and scroll bars the fill asked for.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <cmath>

#include "components/spread/view/spread_view.h"
#include "tests/spread_view/view_test_support.h"

namespace spread::view::test {
namespace {

class SampleSheetView : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    view = std::make_unique<SpreadView>(book);
    FillSampleSheet(book, SamplePicturePath());
    view->refresh();
    view->resize(view->sizeHint());
    view->show();
    QApplication::processEvents();
    shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // A cell's rectangle in the picture of the whole view.
  QRect cellRect(std::int32_t row, std::int32_t col) const {
    return view->visualRect(view->model()->index(row - 1, col - 1)).translated(view->viewport()->pos());
  }
  // Pixels inside a rectangle (its grid lines left out) that are not the white background.
  int inkIn(const QRect& r) const {
    int ink = 0;
    for (int y = r.top() + 1; y < r.bottom() - 1; ++y)
      for (int x = r.left() + 1; x < r.right() - 1; ++x)
        if (QColor(shot.pixel(x, y)).lightness() < 230) ++ink;
    return ink;
  }
  int pixelsLike(const QRect& r, QColor colour) const {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        const QColor c(shot.pixel(x, y));
        if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 && std::abs(c.blue() - colour.blue()) < 40) ++n;
      }
    return n;
  }

  AddressedBook book;
  std::unique_ptr<SpreadView> view;
  QImage shot;
};

struct ShownCase {
  std::int32_t row;
  const char* text;
};

TEST_F(SampleSheetView, EveryRowShowsTheTextOfItsType) {
  const ShownCase cases[] = {
      {kDateRow, "12/23/96"},
      {kEditRow, "Type in me"},
      {kCurrencyRow, "$1,000.00"},
      {kNumberRow, "1234.00"},
      {kPercentRow, "0.25%"},
      {kMaskRow, "(123) 456-7890"},
      {kStaticRow, "This is a static text celltype. The property TypeTextWordWrap is used for wrapping."},
      {kTimeRow, "01:23 AM"},
      {kButtonRow, "Press me"},
      {kComboRow, ""},
      {kPictureRow, ""},
      {kCheckRow, "Check me"},
      {kOwnerDrawnRow, "Ellipse"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(view->model()->index(c.row - 1, 1).data(Qt::DisplayRole).toString().toStdString(), c.text) << "row " << c.row;
  EXPECT_EQ(view->model()->index(kMaskRow - 1, 0).data(Qt::DisplayRole).toString().toStdString(), "PIC(Mask)");
}

TEST_F(SampleSheetView, SnapshotDrawsEveryCellOfTheSecondColumn) {
  ASSERT_TRUE(shot.save(SPREAD_VIEW_SNAPSHOT)) << SPREAD_VIEW_SNAPSHOT;
  for (std::int32_t row = kDateRow; row <= kOwnerDrawnRow; ++row) {
    const QRect r = cellRect(row, 2);
    ASSERT_TRUE(shot.rect().contains(r)) << "row " << row << " lies outside the view";
    EXPECT_GT(inkIn(r), 20) << "row " << row << " draws nothing";
  }
  // The label column and the headers are drawn too.
  EXPECT_GT(inkIn(cellRect(kDateRow, 1)), 20);
  EXPECT_TRUE(view->horizontalHeader()->isVisible());
  EXPECT_TRUE(view->verticalHeader()->isVisible());
}

TEST_F(SampleSheetView, PictureCellShowsThePictureKeepingItsShape) {
  const QRect cell = cellRect(kPictureRow, 2);
  const int red = pixelsLike(cell, Qt::red), blue = pixelsLike(cell, Qt::blue);
  EXPECT_GT(red, 0);
  EXPECT_GT(blue, 0);
  // 60 x 40 with a quarter of it blue: kept in shape, so about three red pixels to one blue.
  EXPECT_NEAR(double(red) / std::max(blue, 1), 3.0, 1.0);
}

TEST_F(SampleSheetView, OwnerDrawnCellIsAnEllipseAroundItsText) {
  const QRect cell = cellRect(kOwnerDrawnRow, 2).adjusted(0, 0, -1, -1);
  // The ellipse passes the middle of the left and right edges, not the corners.
  const auto dark = [&](int x, int y) { return QColor(shot.pixel(x, y)).lightness() < 160; };
  const int mid = cell.center().y();
  bool left = false, right = false;
  for (int x = cell.left(); x < cell.left() + 6; ++x) left = left || dark(x, mid);
  for (int x = cell.right() - 6; x <= cell.right(); ++x) right = right || dark(x, mid);
  EXPECT_TRUE(left);
  EXPECT_TRUE(right);
  EXPECT_FALSE(dark(cell.left() + 2, cell.top() + 2));
  EXPECT_FALSE(dark(cell.right() - 2, cell.bottom() - 2));
}

TEST_F(SampleSheetView, ButtonComboAndCheckBoxAreDrawnAsControls) {
  // A push button's face is not the cell's white; a combo box has its drop-down button at the
  // right; a check box has its box at the left.
  const QRect button = cellRect(kButtonRow, 2);
  EXPECT_LT(QColor(shot.pixel(button.left() + 6, button.center().y())).lightness(), 250);
  const QRect combo = cellRect(kComboRow, 2);
  EXPECT_GT(inkIn(QRect(combo.right() - 20, combo.top(), 20, combo.height())),
            inkIn(QRect(combo.center().x() - 10, combo.top(), 20, combo.height())));
  const QRect check = cellRect(kCheckRow, 2);
  EXPECT_GT(inkIn(QRect(check.left(), check.top(), 20, check.height())), 10);
}

TEST_F(SampleSheetView, SizesAreTheSheetsInPixels) {
  const double ppp = book.metrics().pixelsPerPoint();
  EXPECT_EQ(view->rowHeight(kTimeRow - 1), std::lround(35.0 * ppp));
  EXPECT_EQ(view->rowHeight(kComboRow - 1), std::lround(45.0 * ppp));
  EXPECT_EQ(view->rowHeight(kButtonRow - 1), std::lround(book.activeSheet().defaultRowHeight * ppp));
  EXPECT_EQ(view->columnWidth(1), std::lround(25.0 * book.charWidthPixels(book.sheet())));
  EXPECT_EQ(view->columnWidth(0), std::lround(12.0 * book.charWidthPixels(book.sheet())));
}

TEST_F(SampleSheetView, AutoSizeShowsTheVisibleRowsAndColumnsWithoutScrollBars) {
  EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  int height = 2 * view->frameWidth() + view->horizontalHeader()->height();
  for (int r = 0; r < 13; ++r) height += view->rowHeight(r);
  const int width = 2 * view->frameWidth() + view->verticalHeader()->width() + view->columnWidth(0) + view->columnWidth(1);
  EXPECT_EQ(view->sizeHint(), QSize(width, height));
  // Every row is in sight, the last one whole.
  EXPECT_EQ(view->rowAt(0), 0);
  EXPECT_LE(view->visualRect(view->model()->index(12, 1)).bottom(), view->viewport()->height() - 1);
}

TEST_F(SampleSheetView, ScrollBarsFollowTheProperty) {
  const std::pair<int, std::pair<Qt::ScrollBarPolicy, Qt::ScrollBarPolicy>> cases[] = {
      {0, {Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff}},
      {1, {Qt::ScrollBarAsNeeded, Qt::ScrollBarAlwaysOff}},
      {2, {Qt::ScrollBarAlwaysOff, Qt::ScrollBarAsNeeded}},
      {3, {Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded}},
  };
  for (const auto& [bars, policies] : cases) {
    ASSERT_EQ(spread::test::Put(book, "ScrollBars", {spread::test::I4(bars)}), platform::S_OK);
    view->follow();
    EXPECT_EQ(view->horizontalScrollBarPolicy(), policies.first) << bars;
    EXPECT_EQ(view->verticalScrollBarPolicy(), policies.second) << bars;
  }
}

}  // namespace
}  // namespace spread::view::test
