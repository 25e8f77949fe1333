// A component's view on a child window: its widget stands for the window in place of the class's
// adapter, follows the window's geometry, visibility and enabling as the platform changes them,
// goes when the view is replaced or removed or the window is destroyed, takes its own input, and
// shows in a picture of the window where the window is.
#include <gtest/gtest.h>

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <filesystem>

#include "platform/backend.h"
#include "platform/qt/widget_adapter.h"
#include "platform/window/view.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace platform::qt::testing {
namespace {

namespace fs = std::filesystem;

// A component's own widget: a filled frame that counts the input it gets.
class ViewWidget : public QFrame {
 public:
  ViewWidget(QWidget* parent, QColor colour) : QFrame(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setFocusPolicy(Qt::ClickFocus);
  }
  int presses = 0;
  int keys = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

class TestView : public QtWindowView {
 public:
  explicit TestView(QColor colour = Qt::magenta) : colour_(colour) {}
  QWidget* create(QWidget* parent) override {
    widget = new ViewWidget(parent, colour_);
    ++created;
    return widget;
  }
  void placed(QWidget* w) override { placedAt = w->geometry(); }
  void released(QWidget* w) override { releasedLive += w == widget.data(); }

  QPointer<ViewWidget> widget;
  QRect placedAt;
  int created = 0;
  int releasedLive = 0;  // released() calls for the widget it made, while it was alive

 private:
  QColor colour_;
};

class QtWindowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    delivered().clear();
    frame = createFrame("Sheet", 40, 40, 400, 300);
    control = createChild(frame, "static", "", WS_VISIBLE, 30, 20, 200, 120, 5);
  }
  void TearDown() override { resetWindows(); }
  std::shared_ptr<TestView> show(QColor colour = Qt::magenta) {
    auto view = std::make_shared<TestView>(colour);
    EXPECT_TRUE(SetWindowView(control, view));
    return view;
  }
  HWND frame = nullptr;
  HWND control = nullptr;
};

TEST_F(QtWindowViewTest, ViewsWidgetIsTheWindowsWidgetAtItsRectangle) {
  auto view = show();
  ASSERT_NE(view->widget, nullptr);
  EXPECT_EQ(widgetOf(control), view->widget.data());
  EXPECT_EQ(view->widget->parentWidget(), widgetOf(frame)->findChild<QWidget*>(widgetOf(frame)->objectName() + ":client"));
  EXPECT_EQ(view->widget->geometry(), QRect(30, 20, 200, 120));
  EXPECT_EQ(view->placedAt, QRect(30, 20, 200, 120));
  EXPECT_TRUE(view->widget->isVisible());
  EXPECT_EQ(view->widget->focusPolicy(), Qt::ClickFocus);  // the component's, not the mirror's
  EXPECT_EQ(view->created, 1);
}

TEST_F(QtWindowViewTest, FollowsThePlatformsChangesOfTheWindow) {
  auto view = show();
  MoveWindow(control, 50, 60, 120, 80);
  EXPECT_EQ(view->widget->geometry(), QRect(50, 60, 120, 80));
  EXPECT_EQ(view->placedAt, QRect(50, 60, 120, 80));
  SetWindowPos(control, nullptr, 0, 0, 90, 40, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(view->widget->geometry(), QRect(50, 60, 90, 40));
  ShowWindow(control, SW_HIDE);
  EXPECT_FALSE(view->widget->isVisible());
  ShowWindow(control, SW_SHOW);
  EXPECT_TRUE(view->widget->isVisible());
  EnableWindow(control, FALSE);
  EXPECT_FALSE(view->widget->isEnabled());
  EnableWindow(control, TRUE);
  EXPECT_TRUE(view->widget->isEnabled());
  // A style change that keeps the view keeps its widget.
  SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_CENTER);
  EXPECT_EQ(view->created, 1);
  EXPECT_EQ(widgetOf(control), view->widget.data());
}

TEST_F(QtWindowViewTest, ReplacedThenRemovedGivesTheClassWidgetBack) {
  auto first = show(Qt::red);
  auto second = show(Qt::blue);
  EXPECT_EQ(first->widget, nullptr);  // deleted
  EXPECT_EQ(first->releasedLive, 1);
  ASSERT_NE(second->widget, nullptr);
  EXPECT_EQ(widgetOf(control), second->widget.data());
  EXPECT_EQ(second->widget->geometry(), QRect(30, 20, 200, 120));

  ASSERT_TRUE(SetWindowView(control, nullptr));
  EXPECT_EQ(second->widget, nullptr);
  EXPECT_EQ(second->releasedLive, 1);
  auto* label = widgetAs<QLabel>(control);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->geometry(), QRect(30, 20, 200, 120));
  EXPECT_TRUE(label->isVisible());
}

// The view's widget is told before it goes, whether its own window or an ancestor is destroyed,
// and nothing of the backend or the model holds the view after.
class QtWindowViewGoes : public QtWindowViewTest, public ::testing::WithParamInterface<bool> {};

TEST_P(QtWindowViewGoes, WithTheWindowOrItsParent) {
  const bool parentFirst = GetParam();
  auto view = show();
  DestroyWindow(parentFirst ? frame : control);
  EXPECT_FALSE(IsWindow(control));
  EXPECT_EQ(view->widget, nullptr);
  EXPECT_EQ(view->releasedLive, 1);
  EXPECT_EQ(view.use_count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Destroyed, QtWindowViewGoes, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Parent" : "Window"; });

TEST_F(QtWindowViewTest, InputIsTheViewsOwn) {
  auto view = show();
  QTest::mouseClick(view->widget, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::keyClick(view->widget, Qt::Key_A);
  drain();
  EXPECT_EQ(view->widget->presses, 1);
  EXPECT_EQ(view->widget->keys, 1);
  EXPECT_TRUE(deliveredTo(control, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_CHAR}).empty());
  EXPECT_TRUE(deliveredTo(frame, {WM_KEYDOWN, WM_CHAR}).empty());
}

// Top-level windows show no view: their widget is the frame the mirror makes.
TEST_F(QtWindowViewTest, TopLevelWindowKeepsItsFrame) {
  QWidget* before = widgetOf(frame);
  auto view = std::make_shared<TestView>();
  ASSERT_TRUE(SetWindowView(frame, view));
  EXPECT_EQ(view->created, 0);
  EXPECT_EQ(widgetOf(frame), before);
}

TEST_F(QtWindowViewTest, PictureShowsTheViewWhereTheWindowIs) {
  auto view = show(QColor(0, 160, 0));
  const fs::path path = fs::temp_directory_path() / ("kestrel-view-" + std::to_string(::getpid()) + ".png");
  std::string error;
  ASSERT_TRUE(backend().snapshot(frame, path.string(), &error)) << error;
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(path.string()), "PNG"));
  fs::remove(path);
  RECT outer, inside;
  GetWindowRect(frame, &outer);
  GetWindowRect(control, &inside);
  inside = {inside.left - outer.left, inside.top - outer.top, inside.right - outer.left, inside.bottom - outer.top};
  const QRgb green = QColor(0, 160, 0).rgb();
  // Inside the control's rectangle the view's colour, just outside it not.
  for (const auto& [x, y] : {std::pair{inside.left + 1, inside.top + 1},
                             {inside.right - 2, inside.bottom - 2},
                             {(inside.left + inside.right) / 2, (inside.top + inside.bottom) / 2}})
    EXPECT_EQ(image.pixel(x, y), green) << x << "," << y;
  for (const auto& [x, y] :
       {std::pair{inside.left - 2, inside.top + 5}, {inside.right + 1, inside.top + 5}, {inside.left + 5, inside.bottom + 1}})
    EXPECT_NE(image.pixel(x, y), green) << x << "," << y;
}

}  // namespace
}  // namespace platform::qt::testing
