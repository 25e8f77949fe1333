// A list box in columns on the Qt backend: the headings stand in a header above the items, its
// sections as wide as the tab stops make the columns, and a click on a row below the header still
// selects that row in the model.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QListWidget>
#include <QTest>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace platform::qt::testing {
namespace {

class QtColumnList : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = createFrame("Columns", 10, 10, 320, 200);
    list = createChild(frame, "listbox", "", WS_VISIBLE | LBS_NOTIFY, 4, 4, 300, 150, 7);
    for (const char* s : {"alpha\t1", "beta\t2", "gamma\t3"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    const int stops[] = {120};
    SendMessageA(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
    SendMessageA(list, LB_SETHEADINGS, 0, reinterpret_cast<LPARAM>("Name\tNumber"));
    drain();
    widget = widgetAs<QListWidget>(list);
  }
  void TearDown() override { resetWindows(); }
  QHeaderView* header() const { return widget->findChild<QHeaderView*>(); }

  HWND frame{}, list{};
  QListWidget* widget = nullptr;
};

TEST_F(QtColumnList, TheHeadingsStandInAHeaderAsWideAsTheColumns) {
  ASSERT_NE(widget, nullptr);
  QHeaderView* h = header();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(h->isVisible());
  ASSERT_EQ(h->count(), 2);
  EXPECT_EQ(h->model()->headerData(0, Qt::Horizontal).toString(), "Name");
  EXPECT_EQ(h->model()->headerData(1, Qt::Horizontal).toString(), "Number");
  EXPECT_EQ(h->sectionSize(0), 120);
  // The items start below the header, which spans the list's width.
  EXPECT_GE(widget->viewport()->geometry().top(), h->geometry().bottom());
  EXPECT_EQ(h->width(), widget->viewport()->width());
  // The item texts stay whole in the widget: the columns are drawn, not stored apart.
  EXPECT_EQ(widget->item(1)->text(), "beta\t2");
}

TEST_F(QtColumnList, AClickOnARowBelowTheHeaderSelectsIt) {
  ASSERT_NE(widget, nullptr);
  const QRect second = widget->visualItemRect(widget->item(1));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
  drain();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(widget->currentRow(), 1);
}

TEST_F(QtColumnList, WithoutHeadingsTheHeaderGoesAndTheItemsMoveUp) {
  ASSERT_NE(widget, nullptr);
  SendMessageA(list, LB_SETHEADINGS, 0, 0);
  SendMessageA(list, LB_SETTABSTOPS, 0, 0);
  drain();
  EXPECT_FALSE(header()->isVisible());
  EXPECT_EQ(widget->viewport()->geometry().top(), widget->contentsRect().top());
}

}  // namespace
}  // namespace platform::qt::testing
