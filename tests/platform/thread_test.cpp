// Messages between threads: a post from a second thread wakes a waiting GetMessage, a send from
// another thread runs on the window's own thread and returns its result, and several threads
// creating windows, setting timers and sending to one another at once (run under ThreadSanitizer
// by scripts/sanitize) share the platform's process-wide state safely.
#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <set>
#include <string>
#include <vector>

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

TEST_F(ThreadTest, SendToThreadThatEndsWithoutAnsweringReturnsZero) {
  HWND target = nullptr;
  std::atomic<bool> created{false}, release{false};
  LRESULT result = -1;
  {
    Thread owner([&] {
      target = CreateWindowExA(0, "static", "owner", WS_OVERLAPPED, 0, 0, 50, 20, nullptr, nullptr);
      created = true;
      while (!release) std::this_thread::yield();  // never pumps its queue
      DestroyWindow(target);
    });
    while (!created) std::this_thread::yield();
    Thread sender([&] { result = SendMessageA(target, WM_USER + 3, 0, 0); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release = true;
    owner.join();
  }
  EXPECT_EQ(result, 0);
}

// Several threads at once, each with windows of its own: every thread registers classes, creates
// cascaded top-level windows and sets thread timers in a burst, then keeps one window with a
// timer and sends a round of messages to the next thread's window while answering those sent to
// its own.
class ThreadsTogether : public ::testing::Test {
 protected:
  static constexpr int kThreads = 4;
  static constexpr int kSends = 50;
  static constexpr int kBurst = 10;
  static constexpr UINT kAsk = WM_USER + 20;
  static constexpr UINT kAllSent = WM_USER + 21;

  static LRESULT ringProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAsk) {
      if (GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) ++wrongThread;
      return LRESULT(wParam * 2 + 1);
    }
    if (msg == WM_TIMER) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, GetWindowLongPtrA(hwnd, GWLP_USERDATA) + 1);
      return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  struct Seen {
    std::vector<WORD> atoms;
    std::vector<UINT_PTR> threadTimers;
    int wrongResults = 0;
  };

  static inline std::atomic<int> wrongThread{0};
};

TEST_F(ThreadsTogether, CreateWindowsSetTimersAndSendAcrossThreads) {
  std::vector<HWND> windows(kThreads);
  std::vector<DWORD> ids(kThreads);
  std::vector<Seen> seen(kThreads);
  std::barrier ready(kThreads), created(kThreads);
  std::atomic<int> sent{0};
  {
    std::vector<std::unique_ptr<Thread>> threads;
    for (int i = 0; i < kThreads; ++i)
      threads.push_back(std::make_unique<Thread>([&, i] {
        ids[size_t(i)] = GetCurrentThreadId();
        ready.arrive_and_wait();  // all at once, so the process-wide counters are contended
        Seen& mine = seen[size_t(i)];
        // Thread timers first: they take no lock shared with the other threads.
        for (int n = 0; n < kBurst; ++n) mine.threadTimers.push_back(SetTimer(nullptr, 0, 1000, nullptr));
        std::vector<std::string> names;
        for (int n = 0; n < kBurst; ++n) {
          names.push_back("RingWindow" + std::to_string(i) + "." + std::to_string(n));
          WNDCLASSA wc;
          wc.lpfnWndProc = ringProc;
          wc.lpszClassName = names.back().c_str();
          mine.atoms.push_back(RegisterClassA(wc));
          DestroyWindow(CreateWindowExA(0, names.back().c_str(), "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 200, 100, nullptr, nullptr));
        }
        const HWND w = CreateWindowExA(0, names[0].c_str(), "ring", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 200, 100, nullptr, nullptr);
        SetTimer(w, 1, 10, nullptr);
        windows[size_t(i)] = w;
        created.arrive_and_wait();

        const HWND next = windows[size_t((i + 1) % kThreads)];
        for (int n = 0; n < kSends; ++n)
          if (SendMessageA(next, kAsk, WPARAM(n), 0) != LRESULT(n * 2 + 1)) ++mine.wrongResults;
        if (++sent == kThreads)
          for (DWORD id : ids) PostThreadMessageA(id, kAllSent, 0, 0);
        // Answer the others until every send is done and the window timer has ticked twice.
        bool allSent = false;
        MSG m;
        while ((!allSent || GetWindowLongPtrA(w, GWLP_USERDATA) < 2) && GetMessageA(&m, nullptr, 0, 0)) {
          if (m.message == kAllSent) allSent = true;
          else DispatchMessageA(&m);
        }
        for (UINT_PTR id : mine.threadTimers) KillTimer(nullptr, id);
        DestroyWindow(w);
        for (const std::string& name : names) UnregisterClassA(name.c_str());
      }));
  }
  EXPECT_EQ(wrongThread, 0);
  std::set<WORD> atoms;
  std::set<UINT_PTR> timers;
  for (const Seen& s : seen) {
    EXPECT_EQ(s.wrongResults, 0);
    atoms.insert(s.atoms.begin(), s.atoms.end());
    timers.insert(s.threadTimers.begin(), s.threadTimers.end());
  }
  // Process-wide counters never hand out one value twice, however the threads interleave.
  EXPECT_EQ(atoms.size(), size_t(kThreads * kBurst));
  EXPECT_EQ(timers.size(), size_t(kThreads * kBurst));
  for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace platform::testing
