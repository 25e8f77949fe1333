// The loop's steps around delivery: activation handed between the windows of different threads,
// the question whether a closing window may close, the target of new windows, the message filter,
// the idle step and DDE acknowledgements.
#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "platform/desktop/drop.h"
#include "platform/input/input.h"
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

TEST_F(LoopStepsTest, NewWindowsAreOpenedForTheThreadsTarget) {
  Window first(kMain, "P1$WINDOW");
  OpenWindowOp(first);
  Window unowned(kMain, "P1$WINDOW");
  OpenWindowOp(unowned);
  EXPECT_EQ(platform::GetWindow(unowned.handle, platform::GW_OWNER), nullptr);
  SetTargetWindow(&first);
  EXPECT_EQ(TargetWindow(), &first);
  Window owned(kMain, "P1$WINDOW");
  OpenWindowOp(owned);
  EXPECT_EQ(platform::GetWindow(owned.handle, platform::GW_OWNER), first.handle);
  Window explicitOwner(kMain, "P1$WINDOW");
  OpenWindowOp(explicitOwner, &unowned);  // an owner given wins over the target
  EXPECT_EQ(platform::GetWindow(explicitOwner.handle, platform::GW_OWNER), unowned.handle);
  CloseWindowOp(first);
  EXPECT_EQ(TargetWindow(), nullptr);  // a closed target is forgotten
}

TEST_F(LoopStepsTest, TheIdleStepRunsWhenNothingWaitsAndItsPostsAreDelivered) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  int idled = 0;
  w.idle = [&] {
    if (++idled <= 2) PostEvent(0x3FF);
  };
  runLoop([&](int code, int) { return code == 0x3FF && idled == 2 ? -1 : 0; });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "1023 0", "1023 0"}));
  EXPECT_EQ(idled, 2);
}

TEST_F(LoopStepsTest, FilesDroppedOnAWindowAreTakenOverAndEventDropFollows) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  EXPECT_TRUE(DroppedFiles().empty());
  platform::input::dropFiles(w.control(21)->hwnd, {5, 5}, {"/tmp/a.txt", "/tmp/with blank.csv"});  // on a control: its window takes them
  platform::input::feedPendingInput();
  std::vector<std::string> seen;
  runLoop([&](int code, int) {
    if (code == event::Drop) seen = DroppedFiles();
    return code == event::Drop ? -1 : 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Drop 0"}));
  EXPECT_EQ(seen, (std::vector<std::string>{"/tmp/a.txt", "/tmp/with blank.csv"}));
}

TEST(DropFilesTest, TheDropHandleGivesCountNamesAndPointUntilFinished) {
  const platform::HDROP drop = platform::detail::makeDrop({7, 9}, {"/x/first.txt", "/y/second"});
  char buffer[8];
  EXPECT_EQ(platform::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(platform::DragQueryFileA(drop, 0, buffer, sizeof buffer), 12u);  // the full length
  EXPECT_STREQ(buffer, "/x/firs");                                           // cut to the buffer
  EXPECT_EQ(platform::DragQueryFileA(drop, 2, buffer, sizeof buffer), 0u);
  platform::POINT at{};
  EXPECT_TRUE(platform::DragQueryPoint(drop, &at));
  EXPECT_EQ(at, (platform::POINT{7, 9}));
  platform::DragFinish(drop);
  EXPECT_EQ(platform::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u);  // a freed handle finds nothing
  EXPECT_FALSE(platform::DragQueryPoint(drop, &at));
}

// A plain platform window of the test's thread that keeps what it receives: a DDE client, or
// another window whose messages the pump hands to the filter.
constexpr platform::UINT kTestMessage = platform::WM_USER + 5;
std::vector<std::pair<platform::WPARAM, platform::LPARAM>> gAcks;
std::vector<platform::WPARAM> gTestMessages;
platform::LRESULT recorderProc(platform::HWND h, platform::UINT msg, platform::WPARAM wp, platform::LPARAM lp) {
  if (msg == platform::WM_DDE_ACK) gAcks.emplace_back(wp, lp);
  if (msg == kTestMessage) gTestMessages.push_back(wp);
  return platform::DefWindowProcA(h, msg, wp, lp);
}

platform::HWND makeRecorder() {
  gAcks.clear();
  gTestMessages.clear();
  platform::WNDCLASSA wc;
  wc.lpfnWndProc = recorderProc;
  wc.lpszClassName = "KestrelRecorder";
  platform::RegisterClassA(wc);
  return platform::CreateWindowExA(0, "KestrelRecorder", "recorder", 0, 0, 0, 10, 10, nullptr, nullptr);
}

// The window's own messages go through its key handling and dialog navigation, which take them
// all; the filter sees what is left, the messages of the thread's other windows, and may keep
// them from their window.
TEST_F(LoopStepsTest, TheMessageFilterSeesTheThreadsOtherMessagesBeforeDispatch) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  const platform::HWND other = makeRecorder();
  std::vector<platform::WPARAM> filtered;
  SetMessageFilter([&](platform::MSG& m) {
    if (m.message != kTestMessage) return false;
    filtered.push_back(m.wParam);
    return m.wParam == 1;  // consumed: the window never hears it
  });
  platform::PostMessageA(other, kTestMessage, 1, 0);
  platform::PostMessageA(other, kTestMessage, 2, 0);
  platform::PostMessageA(w.handle, platform::WM_COMMAND, 0x4000 + 7, 0);  // File > Load Excel Book
  runLoop([](int code, int) { return code == event::Accepted ? -1 : 0; });
  EXPECT_TRUE(SetMessageFilter(nullptr));  // the test's filter was still installed
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Accepted 7"}));
  EXPECT_EQ(filtered, (std::vector<platform::WPARAM>{1, 2}));
  EXPECT_EQ(gTestMessages, (std::vector<platform::WPARAM>{2}));
  platform::DestroyWindow(other);
}

TEST_F(LoopStepsTest, DdePokeAndExecuteAreAcknowledgedAfterTheirEvents) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  const platform::HWND client = makeRecorder();
  const auto clientParam = reinterpret_cast<platform::WPARAM>(client);
  platform::PostMessageA(w.handle, platform::WM_DDE_EXECUTE, clientParam, platform::MAKELPARAM(0, 0x1234));
  platform::PostMessageA(w.handle, platform::WM_DDE_POKE, clientParam, platform::MAKELPARAM(0x0042, 0x5678));
  size_t acksAtExecute = 99;
  runLoop([&](int code, int) {
    if (code == event::DDEexecute) {
      acksAtExecute = gAcks.size();
      return 1;  // taken: a positive acknowledgement
    }
    if (code == event::DDEpoke) PostEvent(0x3FF);  // answered 0: a negative one
    return code == 0x3FF ? -1 : 0;
  });
  platform::MSG m;
  while (platform::PeekMessageA(&m, nullptr, 0, 0, platform::PM_REMOVE)) platform::DispatchMessageA(&m);
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:DDEexecute 0", "EVENT:DDEpoke 0", "1023 0"}));
  EXPECT_EQ(acksAtExecute, 0u);  // nothing is acknowledged before its event is handled
  ASSERT_EQ(gAcks.size(), 2u);
  EXPECT_EQ(gAcks[0].first, reinterpret_cast<platform::WPARAM>(w.handle));
  EXPECT_EQ(gAcks[0].second, platform::MAKELPARAM(kDdeAckPositive, 0));
  EXPECT_EQ(gAcks[1].second, platform::MAKELPARAM(0, 0x0042));
  platform::DestroyWindow(client);
}

TEST_F(LoopStepsTest, ADdeInitiateReachesEveryOtherWindowOfEveryThread) {
  Window first(kMain, "P1$WINDOW");
  OpenWindowOp(first);
  Window second(kMain, "P1$WINDOW");
  OpenWindowOp(second);
  std::mutex mutex;
  std::vector<platform::HWND> heard;
  platform::SetMessageTrace([&](platform::HWND h, platform::UINT msg, platform::WPARAM, platform::LPARAM) {
    std::lock_guard lock(mutex);
    if (msg == platform::WM_DDE_INITIATE) heard.push_back(h);
  });
  std::promise<std::pair<platform::HWND, int>> opened;
  platform::Thread other([&] {
    ThreadContextScope context;
    Window third(kMain, "P1$WINDOW");
    OpenWindowOp(third);
    opened.set_value({third.handle, context.context().number});
    Accept([&] { EndEventPass(EventCode() == 0x3FF ? -1 : 0); });
  });
  const auto [third, thirdThread] = opened.get_future().get();
  platform::SendMessageA(first.handle, platform::WM_DDE_INITIATE, 0, platform::MAKELPARAM(1, 2));
  platform::SetMessageTrace(nullptr);
  runLoop([](int code, int) { return code == event::LoseFocus ? -1 : 0; });  // the other thread's window took over
  PostEvent(0x3FF, 0, thirdThread);
  other.join();
  std::sort(heard.begin(), heard.end());
  std::vector<platform::HWND> expected{first.handle, second.handle, third};  // the first once, from the sender
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(heard, expected);
}

}  // namespace
}  // namespace tamsil::testing
