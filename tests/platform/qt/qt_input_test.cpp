// A person's input on the widgets arrives as the platform messages a scripted action gives.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include "platform/desktop/drop.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "tests/platform/qt/qt_sample_window.h"

namespace platform::qt::testing {
namespace {

// What a frame heard of files dropped on it, read from the drop before it is freed.
std::vector<std::string> gDropped;
POINT gDropAt{};
LRESULT dropHook(HWND, UINT msg, WPARAM wParam, LPARAM, bool* handled) {
  if (msg != WM_DROPFILES) return 0;
  const auto drop = reinterpret_cast<HDROP>(wParam);
  char name[260];
  for (UINT i = 0; i < DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
    DragQueryFileA(drop, i, name, sizeof name);
    gDropped.push_back(name);
  }
  DragQueryPoint(drop, &gDropAt);
  DragFinish(drop);
  *handled = true;
  return 0;
}

class QtInput : public ::testing::Test {
 protected:
  void SetUp() override { delivered().clear(); }
  void TearDown() override { resetWindows(); }
  SampleWindow w;
};

struct ClickCase {
  const char* name;
  int id;
  WPARAM checkAfter;
};

class QtClicks : public QtInput, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(QtClicks, RealClickPostsButtonMessagesAndParentHearsClicked) {
  const HWND control = w.item(GetParam().id);
  QWidget* widget = widgetOf(control);
  ASSERT_NE(widget, nullptr);
  const QPoint at = widget->rect().center();
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  drain();
  const auto mouse = deliveredTo(control, {WM_LBUTTONDOWN, WM_LBUTTONUP});
  ASSERT_EQ(mouse.size(), 2u);
  EXPECT_EQ(mouse[0].msg, WM_LBUTTONDOWN);
  EXPECT_EQ(mouse[1].msg, WM_LBUTTONUP);
  EXPECT_EQ(mouse[0].lParam, MAKELPARAM(WORD(at.x()), WORD(at.y())));  // buttons have no border
  const auto commands = deliveredTo(w.frame, {WM_COMMAND});
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, MAKEWPARAM(WORD(GetParam().id), BN_CLICKED));
  EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(control));
  // The widget does not toggle itself: it shows what the platform's control decided.
  EXPECT_EQ(WPARAM(SendMessageA(control, BM_GETCHECK, 0, 0)), GetParam().checkAfter);
  if (auto* b = qobject_cast<QAbstractButton*>(widget); b && b->isCheckable()) {
    EXPECT_EQ(b->isChecked(), GetParam().checkAfter == BST_CHECKED);
  }
  EXPECT_EQ(GetFocus(), control);
  EXPECT_EQ(QApplication::focusWidget(), widget);
}

INSTANTIATE_TEST_SUITE_P(Buttons, QtClicks,
                         ::testing::Values(ClickCase{"PushButton", kAdd, BST_UNCHECKED}, ClickCase{"CheckBox", kCheck, BST_CHECKED},
                                           ClickCase{"RadioButton", kRadio, BST_CHECKED}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(QtInput, TypingIntoLineEditReachesPlatformEditAsCharacters) {
  const HWND edit = w.item(kEdit);
  SetFocus(edit);
  auto* line = widgetAs<QLineEdit>(edit);
  ASSERT_NE(line, nullptr);
  QTest::keyClicks(line, "Hi 5!");
  drain();
  EXPECT_EQ(GetWindowTextString(edit), "Hi 5!");
  EXPECT_EQ(line->text(), QStringLiteral("Hi 5!"));
  std::string typed;
  for (const Delivered& d : deliveredTo(edit, {WM_CHAR})) typed += char(d.wParam);
  EXPECT_EQ(typed, "Hi 5!");
  // Keys the edit control handles itself: caret and deletion, through WM_KEYDOWN.
  QTest::keyClick(line, Qt::Key_Home);
  QTest::keyClick(line, Qt::Key_Delete);
  drain();
  EXPECT_EQ(GetWindowTextString(edit), "i 5!");
  EXPECT_EQ(line->text(), QStringLiteral("i 5!"));
}

TEST_F(QtInput, FilesDroppedOnAWindowThatAcceptsThemArriveAsDropFiles) {
  gDropped.clear();
  const HWND frame = createFrame("Drop", 10, 10, 200, 150, nullptr, dropHook);
  ASSERT_NE(widgetOf(frame), nullptr);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile("/tmp/one.txt"), QUrl::fromLocalFile("/tmp/two files.csv"), QUrl("https://example.org/x")});
  // As a person's drag: it enters the window (which takes it or not), then the files are dropped.
  const auto dropAt = [&](QPoint at) {
    QWidget* target = widgetOf(frame);  // a style change may have rebuilt the widget
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    drain();
    return drop.isAccepted();
  };
  EXPECT_FALSE(dropAt({50, 60}));  // the window has not asked for files
  EXPECT_TRUE(gDropped.empty());
  DragAcceptFiles(frame, TRUE);
  drain();
  EXPECT_TRUE(dropAt({50, 60}));
  EXPECT_EQ(gDropped, (std::vector<std::string>{"/tmp/one.txt", "/tmp/two files.csv"}));  // local files only
  EXPECT_EQ(gDropAt.x, 50);
}

TEST_F(QtInput, ShiftHeldDownGivesCapitalsThroughKeyState) {
  const HWND edit = w.item(kEdit);
  SetFocus(edit);
  auto* line = widgetAs<QLineEdit>(edit);
  QTest::keyClick(line, 'A', Qt::ShiftModifier);  // Shift goes down and up around the letter
  QTest::keyClick(line, 'a');
  drain();
  EXPECT_EQ(GetWindowTextString(edit), "Aa");
  const auto keys = deliveredTo(edit, {WM_KEYDOWN});
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[0].wParam, VK_SHIFT);
  EXPECT_EQ(keys[1].wParam, WPARAM('A'));
}

TEST_F(QtInput, MenuChoiceSendsMenuMessagesThenCommand) {
  QAction* about = widgetOf(w.frame)->findChild<QMenuBar*>()->actions()[1]->menu()->actions()[0];
  about->trigger();
  drain();
  const auto seen = deliveredTo(w.frame, {WM_INITMENU, WM_INITMENUPOPUP, WM_COMMAND});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].msg, WM_INITMENU);
  EXPECT_EQ(seen[1].msg, WM_INITMENUPOPUP);
  EXPECT_EQ(seen[1].wParam, reinterpret_cast<WPARAM>(w.help));
  EXPECT_EQ(seen[2].msg, WM_COMMAND);
  EXPECT_EQ(LOWORD(seen[2].wParam), kMenuAbout);
}

TEST_F(QtInput, AltAndAMnemonicOpensTheMenuAndItsItemIsChosenByKey) {
  auto* bar = widgetOf(w.frame)->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  QWidget* top = widgetOf(w.frame)->window();
  top->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(top));  // menu mnemonics belong to the active window
  QWidget* focus = widgetOf(w.item(kAdd));
  focus->setFocus();
  QTest::keyClick(focus, Qt::Key_H, Qt::AltModifier);
  QMenu* help = bar->actions()[1]->menu();
  ASSERT_TRUE(QTest::qWaitFor([&] { return help->isVisible(); }, 1000)) << "Alt+H opens Help";
  QTest::keyClick(help, Qt::Key_A);
  drain();
  const auto commands = deliveredTo(w.frame, {WM_COMMAND});
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(LOWORD(commands[0].wParam), kMenuAbout);
  // Alt with a letter no menu has stays the program's key.
  delivered().clear();
  QTest::keyClick(focus, Qt::Key_Q, Qt::AltModifier);
  drain();
  EXPECT_TRUE(
      std::any_of(delivered().begin(), delivered().end(), [](const Delivered& d) { return d.msg == WM_SYSKEYDOWN && d.wParam == 'Q'; }));
}

TEST_F(QtInput, ListClickSelectsItemAndNotifies) {
  const HWND list = w.item(kList);
  for (const char* item : {"alpha", "beta", "gamma"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  auto* widget = widgetAs<QListWidget>(list);
  const QRect second = widget->visualItemRect(widget->item(1));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
  drain();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(widget->currentRow(), 1);
  const auto commands = deliveredTo(w.frame, {WM_COMMAND});
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back().wParam, MAKEWPARAM(WORD(kList), LBN_SELCHANGE));
}

LRESULT refuseClose(HWND, UINT msg, WPARAM, LPARAM, bool* handled) {
  *handled = msg == WM_CLOSE;
  return 0;
}

struct CloseCase {
  const char* name;
  FrameHook hook;
  bool closes;
};

class QtClose : public ::testing::TestWithParam<CloseCase> {
 protected:
  void TearDown() override { resetWindows(); }
};

TEST_P(QtClose, ClosingTheWindowAsksTheProgramFirst) {
  delivered().clear();
  const HWND frame = createFrame("Closable", 40, 40, 300, 200, nullptr, GetParam().hook);
  QWidget* outer = widgetOf(frame);
  ASSERT_NE(outer, nullptr);
  outer->close();
  drain();
  const auto seen = deliveredTo(frame, {WM_SYSCOMMAND, WM_CLOSE});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].msg, WM_SYSCOMMAND);
  EXPECT_EQ(seen[0].wParam & 0xFFF0, SC_CLOSE);
  EXPECT_EQ(seen[1].msg, WM_CLOSE);
  EXPECT_EQ(IsWindow(frame) == FALSE, GetParam().closes);
  EXPECT_EQ(widgetOf(frame) == nullptr, GetParam().closes);
  if (!GetParam().closes) {
    EXPECT_TRUE(outer->isVisible());
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, QtClose, ::testing::Values(CloseCase{"Accepts", nullptr, true}, CloseCase{"Refuses", refuseClose, false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(QtInput, WindowResizedByThePlatformWindowSizesTheModel) {
  QWidget* outer = widgetOf(w.frame);
  RECT before;
  GetWindowRect(w.frame, &before);
  outer->windowHandle()->resize(outer->width() + 40, outer->height() + 30);
  QCoreApplication::processEvents();
  drain();
  RECT after;
  GetWindowRect(w.frame, &after);
  EXPECT_EQ(after.width(), before.width() + 40);
  EXPECT_EQ(after.height(), before.height() + 30);
  const auto seen = deliveredTo(w.frame, {WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].wParam & 0xFFF0, SC_SIZE);
  EXPECT_EQ(seen[2].msg, WM_SIZE);
}

}  // namespace
}  // namespace platform::qt::testing
