// The loop's steps around delivery: activation handed between the windows of different threads,
// the question whether a closing window may close, the target of new windows, the message filter,
// the idle step and DDE acknowledgements.
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/window/event_codes.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using namespace std::chrono_literals;
using Events = std::vector<std::string>;

constexpr const char* kMain = "RuntimeTest$Main";  // tests/runtime/data/RtMain.windef

class LoopStepsTest : public RuntimeTest {};

// What the windows of both threads saw, in the order they saw it.
class Journal {
 public:
  void note(std::string what) {
    std::lock_guard lock(mutex_);
    seen_.push_back(std::move(what));
  }
  Events seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  std::mutex mutex_;
  Events seen_;
};

TEST_F(LoopStepsTest, ActivationPassingToAnotherThreadLosesFocusHereBeforeItGainsThere) {
  Window first(kMain, "P1$WINDOW");
  OpenWindowOp(first);
  Journal journal;
  std::promise<void> opened;
  platform::Thread other([&] {
    ThreadContextScope context;
    Window second(kMain, "P1$WINDOW");
    OpenWindowOp(second);  // shown and activated: the program now works in this window
    opened.set_value();
    Accept([&] {
      const int code = EventCode();
      journal.note("second " + std::string(eventName(code)));
      EndEventPass(code == event::GainFocus ? -1 : 0);
    });
    CloseWindowOp(second);
  });
  opened.get_future().wait();
  std::this_thread::sleep_for(100ms);  // the other loop would run ahead here if nothing held it back
  runLoop([&](int code, int) {
    journal.note("first " + std::string(eventName(code)));
    return code == event::LoseFocus ? -1 : 0;
  });
  other.join();
  const Events seen = journal.seen();
  const auto at = [&](const char* what) { return std::find(seen.begin(), seen.end(), what) - seen.begin(); };
  ASSERT_LT(at("first EVENT:LoseFocus"), std::ptrdiff_t(seen.size())) << ::testing::PrintToString(seen);
  ASSERT_LT(at("second EVENT:GainFocus"), std::ptrdiff_t(seen.size())) << ::testing::PrintToString(seen);
  EXPECT_LT(at("first EVENT:LoseFocus"), at("second EVENT:GainFocus")) << ::testing::PrintToString(seen);
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:LoseFocus 0"}));
}

TEST_F(LoopStepsTest, ActivationWithinOneThreadPassesSilently) {
  Window first(kMain, "P1$WINDOW");
  OpenWindowOp(first);
  Window second(kMain, "P1$WINDOW");
  OpenWindowOp(second);
  platform::SetActiveWindow(first.handle);
  platform::SetActiveWindow(second.handle);
  runLoop([](int code, int) { return code == event::OpenWindow ? -1 : 0; });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0"}));
  EXPECT_TRUE(second.queue.pending.empty());
  ASSERT_EQ(first.queue.pending.size(), 1u);  // its own OpenWindow, never delivered
  EXPECT_EQ(first.queue.pending.front()->event(), event::OpenWindow);
}

// The window refuses to close as often as `refusals` says, then lets itself close.
struct CloseCase {
  const char* name;
  int refusals;
  Events expected;
  bool openAfterwards;
};

class CloseQuestionTest : public LoopStepsTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestionTest, AClosingWindowIsAskedBeforeItIsDestroyed) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  int asked = 0;
  w.mayClose = [&] {
    const bool may = asked++ >= GetParam().refusals;
    if (!may) PostEvent(0x3FF);  // the program says why it stays open
    return may;
  };
  runLoop([&](int code, int) {
    if (code == event::OpenWindow || code == 0x3FF) PostEvent(event::CloseWindow);
    return code == 0x3FF && asked > 1 ? -1 : 0;
  });
  EXPECT_EQ(events, GetParam().expected);
  EXPECT_EQ(w.handle != nullptr, GetParam().openAfterwards);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseQuestionTest,
    ::testing::Values(
        CloseCase{"MayClose", 0, {"EVENT:OpenWindow 0", "EVENT:CloseWindow 0"}, false},
        CloseCase{"RefusedOnceThenClosed", 1, {"EVENT:OpenWindow 0", "EVENT:CloseWindow 0", "1023 0", "EVENT:CloseWindow 0"}, false},
        CloseCase{"AlwaysRefused", 100, {"EVENT:OpenWindow 0", "EVENT:CloseWindow 0", "1023 0", "EVENT:CloseWindow 0", "1023 0"}, true}),
    [](const ::testing::TestParamInfo<CloseCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tamsil::testing
