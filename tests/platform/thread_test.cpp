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

// Several threads at once, each with windows of its own: every thread registers a class, creates
// a cascaded top-level window, sets a window timer and a thread timer, then sends a round of
// messages to the next thread's window while answering those sent to its own.
class ThreadsTogether : public ::testing::Test {
 protected:
  static constexpr int kThreads = 4;
  static constexpr int kSends = 50;
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
    WORD atom = 0;
    UINT_PTR threadTimer = 0;
    LONG left = 0;
    int wrongResults = 0;
  };

  static inline std::atomic<int> wrongThread{0};
};

TEST_F(ThreadsTogether, CreateWindowsSetTimersAndSendAcrossThreads) {
  std::vector<HWND> windows(kThreads);
  std::vector<DWORD> ids(kThreads);
  std::vector<Seen> seen(kThreads);
  std::barrier created(kThreads);
  std::atomic<int> sent{0};
  {
    std::vector<std::unique_ptr<Thread>> threads;
    for (int i = 0; i < kThreads; ++i)
      threads.push_back(std::make_unique<Thread>([&, i] {
        ids[size_t(i)] = GetCurrentThreadId();
        const std::string name = "RingWindow" + std::to_string(i);
        WNDCLASSA wc;
        wc.lpfnWndProc = ringProc;
        wc.lpszClassName = name.c_str();
        Seen& mine = seen[size_t(i)];
        mine.atom = RegisterClassA(wc);
        const HWND w = CreateWindowExA(0, name.c_str(), "ring", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 200, 100, nullptr, nullptr);
        RECT r;
        GetWindowRect(w, &r);
        mine.left = r.left;
        SetTimer(w, 1, 10, nullptr);
        mine.threadTimer = SetTimer(nullptr, 0, 10, nullptr);
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
        KillTimer(nullptr, mine.threadTimer);
        DestroyWindow(w);
        UnregisterClassA(name.c_str());
      }));
  }
  EXPECT_EQ(wrongThread, 0);
  std::set<WORD> atoms;
  std::set<UINT_PTR> timers;
  std::set<LONG> lefts;
  for (const Seen& s : seen) {
    EXPECT_EQ(s.wrongResults, 0);
    atoms.insert(s.atom);
    timers.insert(s.threadTimer);
    lefts.insert(s.left);
  }
  // Process-wide counters hand out a different value to each thread.
  EXPECT_EQ(atoms.size(), size_t(kThreads));
  EXPECT_EQ(timers.size(), size_t(kThreads));
  EXPECT_EQ(lefts.size(), size_t(kThreads));  // cascaded: each window one step further
  for (HWND w : windows) EXPECT_FALSE(IsWindow(w));
}

}  // namespace
}  // namespace platform::testing
