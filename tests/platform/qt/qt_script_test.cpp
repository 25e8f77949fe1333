// A scripted run on qt: a message box opened inside a handler is rendered, answered by the
// script's queued answer, and returns to the handler; the run then ends by closing the window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "platform/dialogs/dialogs.h"
#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace platform::qt::testing {
namespace {

constexpr int kAsk = 300;
int answer = 0;
QStringList boxButtons;  // the buttons of the box's widget, seen while it was up

LRESULT asker(HWND hwnd, UINT msg, WPARAM wParam, LPARAM, bool* handled) {
  if (msg == WM_COMMAND && LOWORD(wParam) == kAsk) {
    answer = MessageBoxA(hwnd, "Save the changes?", "Question", MB_YESNO | MB_ICONQUESTION);
    *handled = true;
  } else if (msg == WM_DESTROY) {
    PostQuitMessage(0);
  }
  return 0;
}

TEST(QtScriptedRun, MessageBoxInHandlerTakesQueuedAnswer) {
  const HWND frame = createFrame("Asker", 50, 50, 320, 200, nullptr, asker);
  createChild(frame, "button", "&Ask", BS_PUSHBUTTON, 10, 10, 80, 24, kAsk);
  SetMessageTrace([](HWND h, UINT m, WPARAM, LPARAM) {
    // When the script presses the box's button, the box is on screen as a Qt window. (The hook
    // runs inside delivery: it reads the model directly and sends no messages.)
    const auto owner = detail::findWindow(GetAncestorTop(h));
    if (m != WM_LBUTTONDOWN || !owner || owner->text != "Question") return;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->isVisible() && top->windowTitle() == QStringLiteral("Question"))
        for (auto* b : top->findChildren<QPushButton*>()) boxButtons << b->text();
  });
  const auto parsed = script::parse("answer message No\npress Ask\n", "ask.script");
  ASSERT_TRUE(parsed.errors.empty());
  script::start(parsed.lines, "ask.script");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  SetMessageTrace({});
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(boxButtons, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
  EXPECT_FALSE(IsWindow(frame)) << "the used-up script closes the window";
  EXPECT_EQ(script::errorCount(), 0);
}

}  // namespace
}  // namespace platform::qt::testing
