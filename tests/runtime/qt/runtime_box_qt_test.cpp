// The runtime's message box on the qt backend: a real window with the text, the icon and the
// buttons, which a script can photograph and answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include <unistd.h>

#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/message_box.h"
#include "tests/platform/qt/qt_test_support.h"

namespace tamsil::testing {
namespace {

using namespace window;

TEST(RuntimeBoxOnQt, ShowsTextIconAndButtonsAndTakesTheScriptsAnswer) {
  ThreadContextScope context;
  platform::qt::testing::drain();  // the qt backend is up and nothing is pending
  const auto png = std::filesystem::temp_directory_path() / ("runtime-box-" + std::to_string(getpid()) + ".png");
  const auto parsed = platform::script::parse("snapshot " + png.string() + "\npress No\n", "box.script");
  ASSERT_TRUE(parsed.errors.empty());
  platform::script::start(parsed.lines, "box.script");

  QStringList buttons;
  bool iconShown = false;
  QString text;
  platform::SetMessageTrace([&](platform::HWND h, platform::UINT m, platform::WPARAM, platform::LPARAM) {
    // When the script presses a button the box is on screen: read what Qt shows (the hook runs
    // inside delivery, so it only reads).
    if (m != platform::WM_LBUTTONDOWN) return;
    const auto top = platform::detail::findWindow(platform::GetAncestorTop(h));
    if (!top || top->text != "Save") return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || w->windowTitle() != QStringLiteral("Save")) continue;
      for (auto* b : w->findChildren<QPushButton*>()) buttons << b->text();
      for (auto* l : w->findChildren<QLabel*>()) {
        if (!l->pixmap().isNull()) iconShown = true;
        if (l->text().contains(QStringLiteral("changes"))) text = l->text();
      }
    }
  });
  MessageBoxRequest r;
  r.text = "Save the changes?|They are not saved yet.";
  r.caption = "Save";
  r.icon = MessageIcon::Question;
  r.buttons = BtnYes | BtnNo | BtnCancel;
  r.defaultButton = BtnNo;
  const unsigned answer = RuntimeMessageBox(r);
  platform::SetMessageTrace({});
  platform::script::stop();

  EXPECT_EQ(answer, BtnNo);
  EXPECT_EQ(buttons, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel")}));
  EXPECT_TRUE(iconShown);
  EXPECT_EQ(text, QStringLiteral("Save the changes?\nThey are not saved yet."));
  QImage picture;
  ASSERT_TRUE(picture.load(QString::fromStdString(png.string()), "PNG"));
  EXPECT_GT(picture.width(), 150);
  std::filesystem::remove(png);
}

}  // namespace
}  // namespace tamsil::testing
