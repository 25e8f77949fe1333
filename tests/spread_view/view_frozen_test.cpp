// Frozen rows and columns: they stay at the top and left while the rest scrolls, are drawn there,
// take clicks there, and TopRow/LeftCol name the first line after them.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include "components/spread/view/spread_view.h"
#include "tests/spread_view/view_test_support.h"

namespace spread::view::test {
namespace {

using spread::test::I4;
using spread::test::Put;
using spread::test::RecordingSink;
using spread::test::Str;
using spread::test::UI4;

class FrozenLines : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_EQ(Put(book, "MaxRows", {I4(1000)}), platform::S_OK);
    ASSERT_EQ(Put(book, "MaxCols", {I4(30)}), platform::S_OK);
    // Row 1 red, column 1 blue, so the panes show in a picture.
    spread::test::At(book, 1, -1);
    ASSERT_EQ(Put(book, "BackColor", {UI4(0x0000FF)}), platform::S_OK);
    spread::test::At(book, -1, 1);
    ASSERT_EQ(Put(book, "BackColor", {UI4(0xFF0000)}), platform::S_OK);
    ASSERT_EQ(Put(book, "RowsFrozen", {I4(1)}), platform::S_OK);
    ASSERT_EQ(Put(book, "ColsFrozen", {I4(1)}), platform::S_OK);
    view = std::make_unique<SpreadView>(book);
    view->resize(500, 300);
    view->show();
    QApplication::processEvents();
    book.setEventSink(&sink);
  }
  void TearDown() override { book.setEventSink(nullptr); }

  // The colour at a point of the viewport (away from grid lines), in the view's picture.
  QColor colourAt(QPoint p) {
    const QImage shot = view->grab().toImage();
    return QColor(shot.pixel(view->viewport()->mapTo(view.get(), p)));
  }

  AddressedBook book;
  RecordingSink sink;
  std::unique_ptr<SpreadView> view;
};

TEST_F(FrozenLines, StayWhileTheRestScrolls) {
  view->verticalScrollBar()->setValue(200);
  view->horizontalScrollBar()->setValue(10);
  QApplication::processEvents();
  const int h = view->rowHeight(0), w = view->columnWidth(0);
  // The frozen row and column are where they were, drawn in their colours.
  EXPECT_EQ(view->visualRect(view->model()->index(0, 5)).top(), 0);
  EXPECT_EQ(view->visualRect(view->model()->index(300, 0)).left(), 0);
  EXPECT_EQ(view->indexAt(QPoint(w + 5, h / 2)).row(), 0);
  EXPECT_EQ(view->indexAt(QPoint(w / 2, h + 5)).column(), 0);
  EXPECT_EQ(view->indexAt(QPoint(w / 2, h / 2)), view->model()->index(0, 0));
  EXPECT_EQ(colourAt(QPoint(w + 20, h / 2)), QColor(Qt::red));
  EXPECT_EQ(colourAt(QPoint(w / 2, h + h / 2)), QColor(Qt::blue));
  // The first row shown after the frozen one is the book's top row.
  const QModelIndex below = view->indexAt(QPoint(w + 5, h + 2));
  EXPECT_EQ(below.row(), 201);
  EXPECT_EQ(below.column(), 11);
  EXPECT_EQ(book.activeSheet().topRow, 202);
  EXPECT_EQ(book.activeSheet().leftCol, 12);
  EXPECT_EQ(colourAt(QPoint(w + 20, h + h / 2)), QColor(Qt::white));
  // Their headers stay too: "1" and "A" over the scrolled headers.
  const QPoint rowHead = view->verticalHeader()->viewport()->mapTo(view.get(), QPoint(5, h / 2));
  const QPoint colHead = view->horizontalHeader()->viewport()->mapTo(view.get(), QPoint(w / 2, 5));
  QWidget* atRowHead = view->childAt(rowHead);
  QWidget* atColHead = view->childAt(colHead);
  auto* rowHeads = qobject_cast<QHeaderView*>(atRowHead ? atRowHead->parentWidget() : nullptr);
  auto* colHeads = qobject_cast<QHeaderView*>(atColHead ? atColHead->parentWidget() : nullptr);
  ASSERT_NE(rowHeads, nullptr);
  ASSERT_NE(colHeads, nullptr);
  EXPECT_NE(rowHeads, view->verticalHeader());
  EXPECT_EQ(rowHeads->logicalIndexAt(QPoint(5, h / 2)), 0);
  EXPECT_EQ(colHeads->logicalIndexAt(QPoint(w / 2, 5)), 0);
}

TEST_F(FrozenLines, TakeClicksWhereTheyAreDrawn) {
  view->verticalScrollBar()->setValue(50);
  QApplication::processEvents();
  const int h = view->rowHeight(0), w = view->columnWidth(0);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(w + 5, h / 2));
  EXPECT_EQ(book.activeSheet().activeRow, 1);
  EXPECT_EQ(book.activeSheet().activeCol, 2);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(w / 2, h + 3));
  EXPECT_EQ(book.activeSheet().activeCol, 1);
  EXPECT_EQ(book.activeSheet().activeRow, 52);
}

TEST_F(FrozenLines, AutomationsTopRowAndKeysKeepCellsOutFromUnderThePanes) {
  ASSERT_EQ(Put(book, "TopRow", {I4(100)}), platform::S_OK);
  view->follow();
  const int h = view->rowHeight(0), w = view->columnWidth(0);
  EXPECT_EQ(view->indexAt(QPoint(w + 5, h + 2)).row(), 99);
  // Up from the first row shown brings the row under the pane into sight below it.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(w + 5, h + 2));
  ASSERT_EQ(book.activeSheet().activeRow, 100);
  QTest::keyClick(view.get(), Qt::Key_Up);
  EXPECT_EQ(book.activeSheet().activeRow, 99);
  EXPECT_GE(view->visualRect(view->model()->index(98, 1)).top(), h);
}

TEST_F(FrozenLines, UnfrozenAgainTheViewScrollsWhole) {
  ASSERT_EQ(Put(book, "RowsFrozen", {I4(0)}), platform::S_OK);
  ASSERT_EQ(Put(book, "ColsFrozen", {I4(0)}), platform::S_OK);
  view->follow();
  view->verticalScrollBar()->setValue(30);
  QApplication::processEvents();
  EXPECT_EQ(view->indexAt(QPoint(5, 2)).row(), 30);
  EXPECT_EQ(book.activeSheet().topRow, 31);
}

}  // namespace
}  // namespace spread::view::test
