// Widget adapters registered for a window class: windows of that class get the adapter's widget,
// its state goes through the adapter, a style that asks for another adapter rebuilds the widget,
// and the adapter decides what a mouse press on its widget means.
#include <gtest/gtest.h>

#include <QPoint>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/widget_adapter.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace platform::qt::testing {
namespace {

// A stand-in for a component's grid view: a table whose caption is the window text.
class TableAdapter : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new QTableWidget(2, 3, parent); }
  void attach(HWND hwnd, QWidget* widget) const override { widget->setProperty("attachedTo", QVariant::fromValue(quintptr(hwnd))); }
  void applyText(QWidget* widget, const WindowSnapshot& w) const override { widget->setAccessibleName(toQt(w.text)); }
  // Presses are the table's own business; none becomes a platform message.
  std::optional<bool> mouse(HWND, QWidget*, QWidget*, QMouseEvent*) const override { return true; }
};

// The same view as a tree, chosen by a style bit of the class.
class TreeAdapter : public WidgetAdapter {
 public:
  QWidget* create(QWidget* parent) const override { return new QTreeWidget(parent); }
};

constexpr DWORD kTreeStyle = 0x0001;
const TableAdapter kTable;
const TreeAdapter kTree;

LRESULT gridProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return DefWindowProcA(hwnd, msg, wParam, lParam); }

class QtWidgetAdapter : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = gridProc;
    wc.lpszClassName = "TestGridView";
    RegisterClassA(wc);
    registerWidgetAdapter("testgridview", [](const WindowSnapshot& w) -> const WidgetAdapter& {
      if (w.style & kTreeStyle) return kTree;
      return kTable;
    });
  }
  void SetUp() override { frame = createFrame("Grid", 40, 40, 400, 300); }
  void TearDown() override { resetWindows(); }
  HWND frame = nullptr;
};

TEST_F(QtWidgetAdapter, WindowOfRegisteredClassGetsAdaptersWidget) {
  // The class name is looked up without case.
  for (const char* cls : {"TestGridView", "TESTGRIDVIEW"}) {
    const HWND grid = createChild(frame, cls, "Orders", 0, 10, 10, 200, 120, 7);
    ASSERT_TRUE(grid) << cls;
    auto* table = widgetAs<QTableWidget>(grid);
    ASSERT_NE(table, nullptr) << cls;
    EXPECT_EQ(table->property("attachedTo").value<quintptr>(), quintptr(grid));
    EXPECT_EQ(table->accessibleName(), QStringLiteral("Orders"));
    EXPECT_EQ(table->geometry(), QRect(10, 10, 200, 120));
    EXPECT_EQ(table->focusPolicy(), Qt::NoFocus);  // focus follows the model alone
    DestroyWindow(grid);
  }
}

TEST_F(QtWidgetAdapter, TextChangeGoesThroughAdapter) {
  const HWND grid = createChild(frame, "TestGridView", "Orders", 0, 10, 10, 200, 120, 7);
  SetWindowTextA(grid, "Invoices");
  ASSERT_NE(widgetOf(grid), nullptr);
  EXPECT_EQ(widgetOf(grid)->accessibleName(), QStringLiteral("Invoices"));
}

TEST_F(QtWidgetAdapter, StyleThatChoosesAnotherAdapterRebuildsWidget) {
  const HWND grid = createChild(frame, "TestGridView", "Orders", 0, 10, 10, 200, 120, 7);
  ASSERT_NE(widgetAs<QTableWidget>(grid), nullptr);
  SetWindowLongPtrA(grid, GWL_STYLE, GetWindowLongPtrA(grid, GWL_STYLE) | kTreeStyle);
  EXPECT_EQ(widgetAs<QTableWidget>(grid), nullptr);
  ASSERT_NE(widgetAs<QTreeWidget>(grid), nullptr);
  EXPECT_TRUE(widgetOf(grid)->isVisible());
}

TEST_F(QtWidgetAdapter, AdapterDecidesWhatMousePressMeans) {
  const HWND grid = createChild(frame, "TestGridView", "Orders", 0, 10, 10, 200, 120, 7);
  const HWND plain = createChild(frame, "QtTestFrame", "", 0, 220, 10, 100, 100, 8);
  drain();
  delivered().clear();
  QTest::mouseClick(widgetOf(grid), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(widgetOf(plain), Qt::LeftButton, {}, QPoint(5, 5));
  drain();
  EXPECT_TRUE(deliveredTo(grid, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
  EXPECT_EQ(deliveredTo(plain, {WM_LBUTTONDOWN, WM_LBUTTONUP}).size(), 2u);
}

}  // namespace
}  // namespace platform::qt::testing
