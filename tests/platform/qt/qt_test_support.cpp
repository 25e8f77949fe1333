#include "tests/platform/qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/backend.h"
#include "platform/input/input.h"
#include "platform/input/script.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_text.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::qt::testing {

namespace {

class OffscreenQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string error;
    auto backend = createBackend(argc_, argv_, &error);
    ASSERT_TRUE(backend) << error;
    installBackend(std::move(backend));
    SetIdleHook(script::idleHook());
    SetMessageTrace([](HWND h, UINT m, WPARAM w, LPARAM l) { delivered().push_back({h, m, w, l}); });
  }
  void TearDown() override {
    resetWindows();
    SetMessageTrace({});
    SetIdleHook({});
    installBackend(nullptr);
  }

 private:
  // QApplication keeps references to these for its whole life.
  int argc_ = 1;
  char name_[16] = "qt-tests";
  char* argv_[2] = {name_, nullptr};
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new OffscreenQtEnvironment);

struct FrameHooks {
  std::vector<std::pair<HWND, FrameHook>> hooks;
  FrameHook pendingHook = nullptr;  // for the messages of CreateWindowExA itself
};
FrameHooks& frameHooks() {
  static FrameHooks h;
  return h;
}

LRESULT frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FrameHook hook = frameHooks().pendingHook;
  for (const auto& [h, f] : frameHooks().hooks)
    if (h == hwnd) hook = f;
  bool handled = false;
  if (hook) {
    const LRESULT r = hook(hwnd, msg, wParam, lParam, &handled);
    if (handled) return r;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

std::vector<Delivered>& delivered() {
  static std::vector<Delivered> d;
  return d;
}

std::vector<Delivered> deliveredTo(HWND hwnd, const std::vector<UINT>& keep) {
  std::vector<Delivered> out;
  for (const Delivered& d : delivered())
    if (d.hwnd == hwnd && std::find(keep.begin(), keep.end(), d.msg) != keep.end()) out.push_back(d);
  return out;
}

void drain() {
  for (;;) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    } else if (input::hasPendingInput()) {
      input::feedPendingInput();
    } else {
      return;
    }
  }
}

HWND createFrame(const char* title, int x, int y, int width, int height, HMENU menu, FrameHook hook) {
  static const bool registered = [] {
    WNDCLASSA wc;
    wc.lpfnWndProc = frameProc;
    wc.lpszClassName = "QtTestFrame";
    return RegisterClassA(wc) != 0;
  }();
  EXPECT_TRUE(registered);
  frameHooks().pendingHook = hook;
  const HWND h = CreateWindowExA(0, "QtTestFrame", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr, menu);
  frameHooks().pendingHook = nullptr;
  if (h && hook) frameHooks().hooks.emplace_back(h, hook);
  return h;
}

HWND createChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
  return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)));
}

QWidget* widgetOf(HWND hwnd) {
  const QString name = objectNameFor(hwnd);
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == name) return w;
  return nullptr;
}

void resetWindows() {
  for (HWND h : detail::topLevelWindows()) DestroyWindow(h);
  frameHooks().hooks.clear();
  drain();
  delivered().clear();
}

}  // namespace platform::qt::testing
