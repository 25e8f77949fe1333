// Stored windows on the qt backend, offscreen: every kind of control is drawn, in the fonts and
// colours its definition gives, as a person expects to see it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/qt/qt_text.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/operations.h"
#include "tests/platform/qt/qt_test_support.h"

namespace tamsil::testing {
namespace {

using namespace window;
using platform::qt::testing::drain;
using platform::qt::testing::widgetOf;

class RuntimeWindowOnQt : public ::testing::Test {
 protected:
  void TearDown() override {
    windows_.clear();
    platform::qt::testing::resetWindows();
  }
  Window& open(const char* module, const char* label) {
    Window& w = *windows_.emplace_back(std::make_unique<Window>(module, label));
    OpenWindowOp(w);
    drain();
    return w;
  }
  // What the window's client area shows, children included.
  static QImage picture(const Window& w) {
    auto* client = widgetOf(w.handle)->findChild<QWidget*>(platform::qt::objectNameFor(w.handle) + QStringLiteral(":client"));
    return client->grab().toImage();
  }
  static QWidget* widget(Window& w, int field) {
    const Control* c = w.control(field);
    return c && c->hwnd ? widgetOf(c->hwnd) : nullptr;
  }
  static QColor at(const QImage& image, QPoint p) { return image.pixelColor(p); }

 private:
  ThreadContextScope context_;
  std::vector<std::unique_ptr<Window>> windows_;
};

constexpr QRgb kNavy = qRgb(0, 0, 0x80), kDark = qRgb(0x40, 0x40, 0x40), kWhite = qRgb(0xFF, 0xFF, 0xFF);

TEST_F(RuntimeWindowOnQt, TheCalendarPaintsItsPanelRuleAndDayBoxInTheirColours) {
  Window& w = open("FWUTIL", "P91$SCREEN");
  for (int field : {1000, 1005, 1006}) ASSERT_NE(widget(w, field), nullptr) << field;
  const QImage image = picture(w);
  const QRect panel = widget(w, 1000)->geometry(), rule = widget(w, 1005)->geometry(), box = widget(w, 1006)->geometry();
  EXPECT_EQ(at(image, panel.center() + QPoint(panel.width() / 4, 0)).rgb(), kNavy);  // beside the month text
  EXPECT_EQ(rule.height(), 1);
  EXPECT_EQ(at(image, rule.center()).rgb(), kWhite);
  EXPECT_EQ(at(image, box.topLeft() + QPoint(box.width() / 2, 0)).rgb(), kWhite);    // the box's frame
  EXPECT_EQ(at(image, box.center()).rgb(), kDark);                                   // filled with its slot 1
  EXPECT_EQ(at(image, QPoint(image.width() - 2, image.height() - 1)).rgb(), kDark);  // the window's slot 0
}

TEST_F(RuntimeWindowOnQt, TheCalendarWritesInWhiteArialSeven) {
  Window& w = open("FWUTIL", "P91$SCREEN");
  for (int field : {1002, 1004}) {
    auto* label = qobject_cast<QLabel*>(widget(w, field));
    ASSERT_NE(label, nullptr) << field;
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(label->font().pointSize(), 7);
    EXPECT_EQ(label->palette().color(QPalette::WindowText).rgb(), kWhite);
  }
}

TEST_F(RuntimeWindowOnQt, AGroupsCaptionStandsInItsFrameAboveTheControlsInside) {
  Window& w = open("FWUTIL", "P91$SCREEN");
  auto* group = qobject_cast<QGroupBox*>(widget(w, 1007));
  ASSERT_NE(group, nullptr);
  const QFontMetrics fm(group->font());
  const QRect caption(group->geometry().topLeft(),
                      QSize(fm.averageCharWidth() + fm.horizontalAdvance(QStringLiteral("Today")) + 4, fm.height()));
  EXPECT_FALSE(widget(w, 1008)->geometry().intersects(caption));
  // Some of the caption's pixels are its white text (smoothed at its edges) on the dark grey.
  const QImage image = picture(w);
  int light = 0;
  for (int x = caption.left(); x <= caption.right(); ++x)
    for (int y = caption.top(); y <= caption.bottom(); ++y) light += at(image, {x, y}).lightness() > 0xA0;
  EXPECT_GT(light, 20);
  // The frame's top line runs through the middle of the caption, not below it.
  const int line = group->geometry().top() + fm.height() / 2;
  EXPECT_NE(at(image, {group->geometry().right() - 4, line}).rgb(), kDark);
}

TEST_F(RuntimeWindowOnQt, ASheetShowsItsTabsAndAPressOnATabSelectsIt) {
  Window& w = open("FWQUERY", "$MULTIWINDOW");
  auto* sheet = qobject_cast<QTabWidget*>(widget(w, 1000));
  ASSERT_NE(sheet, nullptr);
  EXPECT_TRUE(sheet->isVisible());
  ASSERT_EQ(sheet->count(), 2);
  EXPECT_EQ(sheet->tabText(0), QStringLiteral("Fields"));
  EXPECT_EQ(sheet->tabText(1), QStringLiteral("Order"));
  EXPECT_EQ(sheet->currentIndex(), 0);
  QTabBar* bar = sheet->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  drain();
  EXPECT_EQ(platform::SendMessageA(w.control(1000)->hwnd, platform::TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(sheet->currentIndex(), 1);
}

TEST_F(RuntimeWindowOnQt, RichTextIsShownFormattedAndPlainTextAsItIs) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  auto* rich = qobject_cast<QTextEdit*>(widget(w, 11));
  ASSERT_NE(rich, nullptr);
  platform::SetWindowTextA(w.control(11)->hwnd, "<b>Bold</b> and plain");
  drain();
  EXPECT_EQ(rich->toPlainText(), QStringLiteral("Bold and plain"));
  QTextCursor cursor(rich->document());
  cursor.setPosition(1);
  EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
  platform::SetWindowTextA(w.control(11)->hwnd, "a < b");
  drain();
  EXPECT_EQ(rich->toPlainText(), QStringLiteral("a < b"));
}

TEST_F(RuntimeWindowOnQt, ControlsTakeTheirOwnColoursAndTheCheckBoxItsTextOnTheLeft) {
  Window& w = open("RuntimeTest$Look", "P1$LOOK");
  auto* entry = qobject_cast<QLineEdit*>(widget(w, 2));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(entry->palette().color(QPalette::Base).rgb(), kWhite);
  EXPECT_EQ(entry->palette().color(QPalette::HighlightedText).rgb(), qRgb(0, 0, 0));
  EXPECT_EQ(entry->palette().color(QPalette::Highlight).rgb(), qRgb(0xC0, 0xC0, 0xC0));
  auto* prompt = widget(w, 1);
  EXPECT_TRUE(prompt->font().bold());                                                // the window's font, weight 700
  EXPECT_EQ(prompt->palette().color(QPalette::WindowText).rgb(), qRgb(0xFF, 0, 0));  // colour 0x000000FF
  EXPECT_EQ(widget(w, 4)->layoutDirection(), Qt::RightToLeft);
  EXPECT_EQ(widget(w, 5)->layoutDirection(), Qt::LeftToRight);
}

}  // namespace
}  // namespace tamsil::testing
