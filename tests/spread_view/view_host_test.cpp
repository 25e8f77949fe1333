// The grid's view put on a platform window through the Qt backend (as on an OLE control's
// window): a SpreadView stands for the window at its rectangle, shows the book, follows the
// window, and goes with it.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>

#include "components/spread/view/window_view.h"
#include "platform/window/view.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"
#include "tests/spread/spread_test_support.h"

namespace spread::view {
namespace {

using namespace platform;
using namespace platform::qt::testing;

class GridOnAWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = createFrame("Grid host", 40, 40, 500, 400);
    control = createChild(frame, "static", "", WS_VISIBLE, 20, 30, 300, 200, 7);
    ASSERT_EQ(spread::test::Put(book, "MaxRows", {spread::test::I4(40)}), S_OK);
    spread::test::At(book, 3, 2);
    ASSERT_EQ(spread::test::Put(book, "Text", {spread::test::Str("hosted")}), S_OK);
    book.setEventSink(&sink);
  }
  void TearDown() override { resetWindows(); }

  AddressedBook book;
  spread::test::RecordingSink sink;
  HWND frame = nullptr, control = nullptr;
};

TEST_F(GridOnAWindow, TheWindowShowsTheBooksGridAtItsRectangle) {
  auto holder = std::make_shared<SpreadWindowView>(book);
  ASSERT_TRUE(SetWindowView(control, holder));
  QPointer<SpreadView> view = holder->view();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(widgetOf(control), view.data());
  EXPECT_EQ(view->geometry(), QRect(20, 30, 300, 200));
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(view->model()->rowCount(), 40);
  EXPECT_EQ(view->model()->index(2, 1).data().toString().toStdString(), "hosted");

  // Input on it reaches the book and its events.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 1)).center());
  EXPECT_EQ(book.activeSheet().activeRow, 3);
  EXPECT_EQ(book.activeSheet().activeCol, 2);
  ASSERT_FALSE(sink.events.empty());
  EXPECT_EQ(sink.events.back(), "Click 2 3");

  MoveWindow(control, 10, 10, 200, 150);
  EXPECT_EQ(view->geometry(), QRect(10, 10, 200, 150));
  DestroyWindow(control);
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(holder->view(), nullptr);
}

TEST_F(GridOnAWindow, RemovingTheViewGivesTheWindowBack) {
  auto holder = std::make_shared<SpreadWindowView>(book);
  ASSERT_TRUE(SetWindowView(control, holder));
  QPointer<SpreadView> view = holder->view();
  ASSERT_TRUE(SetWindowView(control, nullptr));
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(holder->view(), nullptr);
  EXPECT_NE(widgetOf(control), nullptr);
}

}  // namespace
}  // namespace spread::view
