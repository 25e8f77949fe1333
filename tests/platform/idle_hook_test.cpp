// The idle hook: GetMessage runs it only when the queue is empty, a message it posts is the next
// one returned, and the time it names for its next work ends GetMessage's wait.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

using Clock = std::chrono::steady_clock;

class IdleHookTest : public ::testing::Test {
 protected:
  // Back to the scripted-input source the test environment installs, as program start does.
  void TearDown() override { SetIdleHook(script::idleHook()); }
};

TEST_F(IdleHookTest, RunsOnlyWhenQueueIsEmptyAndItsPostComesNext) {
  int runs = 0;
  IdleHook hook;
  hook.run = [&] {
    if (++runs == 2) PostThreadMessageA(GetCurrentThreadId(), WM_USER + 5, 0, 0);
    return runs <= 2;
  };
  SetIdleHook(hook);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 4u);
  EXPECT_EQ(runs, 0);  // a queued message goes before idle work
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 5u);
  EXPECT_EQ(runs, 2);
}

TEST_F(IdleHookTest, ItsNextTimeEndsTheWait) {
  const auto start = Clock::now();
  const auto due = start + std::chrono::milliseconds(30);
  bool ran = false;
  IdleHook hook;
  hook.run = [&] {
    if (ran || Clock::now() < due) return false;
    ran = true;
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 6, 0, 0);
    return true;
  };
  // Without this GetMessage would wait for a message that nothing else posts.
  hook.nextAt = [&]() -> std::optional<Clock::time_point> {
    if (ran) return std::nullopt;
    return due;
  };
  SetIdleHook(hook);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 6u);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));
}

TEST_F(IdleHookTest, WaitMessageReturnsAfterIdleWork) {
  int runs = 0;
  IdleHook hook;
  hook.run = [&] { return ++runs == 1; };
  SetIdleHook(hook);
  EXPECT_TRUE(WaitMessage());
  EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace platform::testing
