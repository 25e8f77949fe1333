#include "tests/platform/platform_test.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/backend.h"
#include "platform/dialogs/dialogs.h"
#include "platform/headless/headless_backend.h"
#include "platform/input/input.h"
#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::testing {

namespace {

Hook& hook() {
  static Hook h;
  return h;
}

LRESULT testProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  recorded().push_back({hwnd, msg, wParam, lParam});
  if (hook())
    if (auto r = hook()(hwnd, msg, wParam, lParam)) return *r;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Every platform test runs on the headless backend, with scripted input fed when idle as at
// program start.
class HeadlessEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    installBackend(headless::createBackend());
    SetIdleHook(script::idleHook());
  }
  void TearDown() override {
    resetWindows();
    SetIdleHook({});
    installBackend(nullptr);
  }
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

}  // namespace

std::vector<Received>& recorded() {
  static std::vector<Received> r;
  return r;
}

void setHook(Hook h) { hook() = std::move(h); }

HWND createTestWindow(DWORD style, HMENU menu) {
  static const bool registered = [] {
    WNDCLASSA wc;
    wc.lpfnWndProc = testProc;
    wc.lpszClassName = "TestWindow";
    return RegisterClassA(wc) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExA(0, "TestWindow", "Test", style, 10, 20, 300, 200, nullptr, menu);
}

std::vector<std::string> names(HWND hwnd, const std::vector<UINT>& ignore) {
  std::vector<std::string> out;
  for (const Received& r : recorded()) {
    if (r.hwnd != hwnd || std::find(ignore.begin(), ignore.end(), r.msg) != ignore.end()) continue;
    const auto n = messageName(r.msg);
    out.push_back(n.empty() ? std::to_string(r.msg) : std::string(n));
  }
  return out;
}

void pumpUntilIdle(HWND dialog) {
  for (;;) {
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) continue;
      if (!dialog || !IsDialogMessageA(dialog, &m)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      continue;
    }
    if (!input::hasPendingInput()) return;
    input::feedPendingInput();
  }
}

void resetWindows() {
  setHook(nullptr);
  for (HWND h : detail::topLevelWindows()) DestroyWindow(h);
  pumpUntilIdle();
  recorded().clear();
}

}  // namespace platform::testing
