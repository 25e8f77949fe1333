// Mirroring: the model's windows become widgets of the right kind at the model's geometry, and
// model changes show on them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "platform/messages.h"
#include "platform/qt/qt_text.h"
#include "platform/queue/queue.h"
#include "tests/platform/qt/qt_sample_window.h"

namespace platform::qt::testing {
namespace {

class QtMirror : public ::testing::Test {
 protected:
  void TearDown() override { resetWindows(); }
  SampleWindow w;
};

struct KindCase {
  int id;
  const char* qtClass;
};

class QtMirrorKinds : public QtMirror, public ::testing::WithParamInterface<KindCase> {};

TEST_P(QtMirrorKinds, ControlIsWidgetOfItsKindAtModelRectangle) {
  const HWND control = w.item(GetParam().id);
  QWidget* widget = widgetOf(control);
  ASSERT_NE(widget, nullptr);
  EXPECT_TRUE(widget->inherits(GetParam().qtClass)) << widget->metaObject()->className();
  RECT r;
  GetWindowRect(control, &r);
  POINT origin{0, 0};
  ScreenToClient(w.frame, &origin);  // the rectangle in the frame's client coordinates
  EXPECT_EQ(widget->geometry(), QRect(r.left + origin.x, r.top + origin.y, r.width(), r.height()));
  EXPECT_EQ(widget->parentWidget()->objectName(), objectNameFor(w.frame) + ":client");
  EXPECT_TRUE(widget->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Controls, QtMirrorKinds,
                         ::testing::Values(KindCase{kEdit, "QLineEdit"}, KindCase{kList, "QListWidget"}, KindCase{kCheck, "QCheckBox"},
                                           KindCase{kAdd, "QPushButton"}, KindCase{kRadio, "QRadioButton"}, KindCase{kGroup, "QGroupBox"},
                                           KindCase{kLabel, "QLabel"}, KindCase{kNotes, "QPlainTextEdit"}, KindCase{kCombo, "QComboBox"}));

TEST_F(QtMirror, TopLevelHoldsMenuBarAboveClientArea) {
  QWidget* outer = widgetOf(w.frame);
  ASSERT_NE(outer, nullptr);
  EXPECT_TRUE(outer->isWindow());
  EXPECT_EQ(outer->windowTitle(), QStringLiteral("Sample"));
  RECT client;
  GetClientRect(w.frame, &client);
  POINT origin{0, 0};
  ClientToScreen(w.frame, &origin);
  EXPECT_EQ(outer->geometry(), QRect(origin.x, origin.y - 20, client.right, client.bottom + 20));
  auto* bar = outer->findChild<QMenuBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(0, 0, client.right, 20));
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("&File"));
  QMenu* file = bar->actions()[0]->menu();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->actions().size(), 3);
  EXPECT_EQ(file->actions()[0]->text(), QStringLiteral("&Open...\tCtrl+O"));
  EXPECT_TRUE(file->actions()[1]->isSeparator());
}

TEST_F(QtMirror, DefaultButtonAndStylesShow) {
  EXPECT_TRUE(widgetAs<QPushButton>(w.item(kAdd))->isDefault());
  EXPECT_FALSE(widgetAs<QPushButton>(w.item(kClear))->isDefault());
  EXPECT_EQ(widgetAs<QLabel>(w.item(kLabel))->text(), QStringLiteral("Name:"));
  EXPECT_EQ(widgetAs<QPlainTextEdit>(w.item(kNotes))->toPlainText(), QStringLiteral("one\ntwo"));
  EXPECT_FALSE(widgetAs<QComboBox>(w.item(kCombo))->isEditable());
}

struct ChangeCase {
  const char* name;
  std::function<void(const SampleWindow&)> change;
  std::function<bool(const SampleWindow&)> shows;
};

class QtMirrorChanges : public QtMirror, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(QtMirrorChanges, ModelChangeShowsOnWidget) {
  ASSERT_FALSE(GetParam().shows(w)) << "already true before the change";
  GetParam().change(w);
  drain();
  EXPECT_TRUE(GetParam().shows(w));
}

QAction* menuAction(const SampleWindow& w, int bar, int item) {
  auto* b = widgetOf(w.frame)->findChild<QMenuBar*>();
  return b->actions()[bar]->menu()->actions()[item];
}

const ChangeCase kChanges[] = {
    {"ButtonText", [](const SampleWindow& w) { SetWindowTextA(w.item(kAdd), "&Insert"); },
     [](const SampleWindow& w) { return widgetAs<QPushButton>(w.item(kAdd))->text() == "&Insert"; }},
    {"TitleText", [](const SampleWindow& w) { SetWindowTextA(w.frame, "Renamed"); },
     [](const SampleWindow& w) { return widgetOf(w.frame)->windowTitle() == "Renamed"; }},
    {"EditText", [](const SampleWindow& w) { SetWindowTextA(w.item(kEdit), "caf\xE9"); },
     [](const SampleWindow& w) { return widgetAs<QLineEdit>(w.item(kEdit))->text() == QString::fromUtf8("café"); }},
    {"EditSelection",
     [](const SampleWindow& w) {
       SetWindowTextA(w.item(kEdit), "abcdef");
       SendMessageA(w.item(kEdit), EM_SETSEL, 1, 4);
     },
     [](const SampleWindow& w) { return widgetAs<QLineEdit>(w.item(kEdit))->selectedText() == "bcd"; }},
    {"CheckState", [](const SampleWindow& w) { SendMessageA(w.item(kCheck), BM_SETCHECK, BST_CHECKED, 0); },
     [](const SampleWindow& w) { return widgetAs<QCheckBox>(w.item(kCheck))->isChecked(); }},
    {"ListItems",
     [](const SampleWindow& w) {
       SendMessageA(w.item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha"));
       SendMessageA(w.item(kList), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta"));
       SendMessageA(w.item(kList), LB_SETCURSEL, 1, 0);
     },
     [](const SampleWindow& w) {
       auto* l = widgetAs<QListWidget>(w.item(kList));
       return l->count() == 2 && l->item(0)->text() == "alpha" && l->currentRow() == 1;
     }},
    {"ComboSelection",
     [](const SampleWindow& w) {
       SendMessageA(w.item(kCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("red"));
       SendMessageA(w.item(kCombo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("green"));
       SendMessageA(w.item(kCombo), CB_SETCURSEL, 1, 0);
     },
     [](const SampleWindow& w) { return widgetAs<QComboBox>(w.item(kCombo))->currentText() == "green"; }},
    {"Disabled", [](const SampleWindow& w) { EnableWindow(w.item(kClear), FALSE); },
     [](const SampleWindow& w) { return !widgetOf(w.item(kClear))->isEnabled(); }},
    {"Hidden", [](const SampleWindow& w) { ShowWindow(w.item(kGroup), SW_HIDE); },
     [](const SampleWindow& w) { return widgetOf(w.item(kGroup))->isHidden(); }},
    {"Moved", [](const SampleWindow& w) { MoveWindow(w.item(kAdd), 300, 200, 90, 30); },
     [](const SampleWindow& w) { return widgetOf(w.item(kAdd))->geometry() == QRect(300, 200, 90, 30); }},
    {"FrameResized", [](const SampleWindow& w) { MoveWindow(w.frame, 60, 50, 600, 400); },
     [](const SampleWindow& w) {
       RECT c;
       GetClientRect(w.frame, &c);
       return c.right > 500 && widgetOf(w.frame)->size() == QSize(c.right, c.bottom + 20);
     }},
    {"Focus", [](const SampleWindow& w) { SetFocus(w.item(kEdit)); },
     [](const SampleWindow& w) { return QApplication::focusWidget() == widgetOf(w.item(kEdit)); }},
    {"Font",
     [](const SampleWindow& w) { SendMessageA(w.item(kLabel), WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontA(14, 400, "Serif")), 0); },
     [](const SampleWindow& w) { return widgetOf(w.item(kLabel))->font().pointSize() == 14; }},
    {"StaticIcon",
     [](const SampleWindow& w) {
       const HWND icon = createChild(w.frame, "static", "", SS_ICON, 400, 200, 32, 32, 120);
       SendMessageA(icon, STM_SETICON, WPARAM(LoadIconA(IDI_EXCLAMATION)), 0);
     },
     [](const SampleWindow& w) {
       auto* l = widgetAs<QLabel>(GetDlgItem(w.frame, 120));
       return l && !l->pixmap().isNull();
     }},
    {"StyleChangesKind", [](const SampleWindow& w) { SetWindowLongPtrA(w.item(kCheck), GWL_STYLE, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON); },
     [](const SampleWindow& w) { return widgetAs<QPushButton>(w.item(kCheck)) != nullptr; }},
    {"MenuCheck", [](const SampleWindow& w) { CheckMenuItem(w.bar, kMenuWrap, MF_BYCOMMAND | MF_CHECKED); },
     [](const SampleWindow& w) { return menuAction(w, 0, 2)->isChecked(); }},
    {"MenuGrayed", [](const SampleWindow& w) { EnableMenuItem(w.bar, kMenuAbout, MF_BYCOMMAND | MF_GRAYED); },
     [](const SampleWindow& w) { return !menuAction(w, 1, 0)->isEnabled(); }},
    {"MenuAppended", [](const SampleWindow& w) { AppendMenuA(w.help, MF_STRING, 0x4009, "&Index"); },
     [](const SampleWindow& w) { return widgetOf(w.frame)->findChild<QMenuBar*>()->actions()[1]->menu()->actions().size() == 2; }},
};

INSTANTIATE_TEST_SUITE_P(Model, QtMirrorChanges, ::testing::ValuesIn(kChanges), [](const auto& p) { return std::string(p.param.name); });

TEST_F(QtMirror, DestroyedWindowTakesItsWidgetsAlong) {
  const QString client = objectNameFor(w.frame) + ":client";
  DestroyWindow(w.item(kAdd));
  EXPECT_EQ(widgetOf(w.item(kAdd)), nullptr);
  const HWND frame = w.frame;
  DestroyWindow(frame);
  EXPECT_EQ(widgetOf(frame), nullptr);
  for (QWidget* widget : QApplication::allWidgets()) EXPECT_NE(widget->objectName(), client);
}

TEST_F(QtMirror, MenuRemovedGivesClientAreaBack) {
  SetMenu(w.frame, nullptr);
  RECT client;
  GetClientRect(w.frame, &client);
  QWidget* outer = widgetOf(w.frame);
  EXPECT_EQ(outer->findChild<QMenuBar*>(), nullptr);
  EXPECT_EQ(outer->size(), QSize(client.right, client.bottom));
}

}  // namespace
}  // namespace platform::qt::testing
