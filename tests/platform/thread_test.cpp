// Messages between threads: a post from a second thread wakes a waiting GetMessage, and a send
// from another thread runs on the window's own thread and returns its result.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

class ThreadTest : public ::testing::Test {
 protected:
  void TearDown() override { resetWindows(); }
};

TEST_F(ThreadTest, PostFromSecondThreadWakesWaitingGetMessage) {
  const DWORD self = GetCurrentThreadId();
  Thread poster([self] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PostThreadMessageA(self, WM_USER + 7, 42, 0);
  });
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 7);
  EXPECT_EQ(m.wParam, 42u);
  EXPECT_EQ(m.hwnd, nullptr);
}

TEST_F(ThreadTest, SendFromAnotherThreadRunsOnTheOwnerThread) {
  std::atomic<DWORD> ranOn{0};
  setHook([&](HWND, UINT msg, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_USER + 1) return std::nullopt;
    ranOn = GetCurrentThreadId();
    return LRESULT(w * 2);
  });
  HWND w = createTestWindow();
  std::atomic<LRESULT> result{0};
  std::atomic<bool> done{false};
  Thread sender([&] {
    result = SendMessageA(w, WM_USER + 1, 21, 0);
    done = true;
  });
  MSG m;
  while (!done) {
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    std::this_thread::yield();
  }
  EXPECT_EQ(result, 42);
  EXPECT_EQ(ranOn, GetCurrentThreadId());
  EXPECT_NE(sender.id(), GetCurrentThreadId());
}

TEST_F(ThreadTest, EachThreadHasItsOwnSlotAndNumber) {
  SetThreadSlot(reinterpret_cast<void*>(0x1));
  void* seen = reinterpret_cast<void*>(0x2);
  DWORD otherId = 0;
  Thread t([&] {
    seen = GetThreadSlot();
    otherId = GetCurrentThreadId();
  });
  t.join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(GetThreadSlot(), reinterpret_cast<void*>(0x1));
  EXPECT_EQ(GetCurrentThreadId(), 1u);  // the test's main thread touched the platform first
  EXPECT_GT(otherId, 1u);
  SetThreadSlot(nullptr);
}

TEST_F(ThreadTest, QuitEndsGetMessageWithItsCode) {
  PostQuitMessage(7);
  MSG m;
  EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.wParam, 7u);
}

}  // namespace
}  // namespace platform::testing
