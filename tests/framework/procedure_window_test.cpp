// The window manager's lifecycle and event routing on the tests' form (headless): Execute's
// steps, what handler severities do to the loop, the Sized rule, registered buttons, components,
// refreshes and tear-down.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/window/window_resizer.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "tests/framework/procedure_test.h"

namespace tamsil::framework::testing {
namespace {

namespace event = window::event;
using Log = std::vector<std::string>;

using ProcedureWindowTest = ProcedureTest;

TEST_F(ProcedureWindowTest, ASetupThatFailsSkipsTheLoopAndStillTearsDown) {
  TestWindow pw;
  pw.setupResult = SevHalt;
  EXPECT_EQ(pw.Execute(), RequestCancelled);
  EXPECT_EQ(pw.loops, 0);
  EXPECT_EQ(pw.DEAD, 1);
  EXPECT_EQ(pw.CL, nullptr);
  EXPECT_EQ(pw.Teardown(), SevInform);  // a second tear-down changes nothing
  pw.EventLoop();                       // nor does a loop after it
  EXPECT_TRUE(pw.seen.empty());
}

TEST_F(ProcedureWindowTest, TeardownOfAnObjectNeverSetUpAnswersInform) {
  TestWindow pw;
  EXPECT_EQ(pw.Teardown(), SevInform);
  EXPECT_EQ(pw.DEAD, 0);
}

TEST_F(ProcedureWindowTest, SetupSetsTheDefaultsAndForgetsAStaleKey) {
  for (const std::uint32_t key : {2u, 130u, 65u}) {
    currentThreadContext()->lastKeyCode = key;
    TestWindow pw;
    pw.REQUEST = ChangeRecord;
    pw.setupResult = SevHalt;  // no window needed
    ASSERT_EQ(pw.Setup(), SevHalt);
    EXPECT_EQ(currentThreadContext()->lastKeyCode, key == 65 ? 65u : 0u);
    EXPECT_EQ(pw.ORIGINALREQUEST, ChangeRecord);
    EXPECT_EQ(pw.INSERTACTION, ActionFinish);
    EXPECT_EQ(pw.CHANGEACTION, ActionFinish);
    EXPECT_EQ(pw.DELETEACTION, ActionFinish);
    EXPECT_EQ(pw.CANCELACTION, 3);
    EXPECT_EQ(pw.AUTOREFRESH, 1);
    EXPECT_EQ(pw.AUTOTOOLBAR, 1);
    EXPECT_NE(pw.CL, nullptr);
    EXPECT_NE(pw.BUTTONS, nullptr);
    pw.Teardown();
  }
}

// A handler answering 3 ends the loop at that event; 5 skips the runtime's default processing of
// that one event only (here a close the window then refuses once).
TEST_F(ProcedureWindowTest, HaltEndsTheLoopAndInformSkipsOneDefault) {
  {
    TestWindow pw;
    pw.acceptedAnswers[kOk] = SevHalt;
    script("press OK\npress Save\n");
    EXPECT_EQ(pw.Execute(), RequestCancelled);
    EXPECT_EQ(pw.seen.back(), "EVENT:Accepted 3");
    EXPECT_EQ(pw.win->handle, nullptr);  // closed by the tear-down, not by the loop
  }
  {
    TestWindow pw;
    pw.closeAnswers = {SevInform};
    script("close\npress Save\n");
    EXPECT_EQ(pw.Execute(), RequestCancelled);
    // The refused close left the window open for the press; the script's end closed it.
    const auto refused = std::ranges::find(pw.seen, "EVENT:CloseWindow 0");
    ASSERT_NE(refused, pw.seen.end());
    const auto press = std::find(refused, pw.seen.end(), "EVENT:Accepted 4");
    ASSERT_NE(press, pw.seen.end());
    EXPECT_NE(std::find(press, pw.seen.end(), "EVENT:CloseWindow 0"), pw.seen.end());
  }
}

// The first Sized event comes from opening the window and does not refresh; every later one does,
// and every one posts EventResizeNeeded.
TEST_F(ProcedureWindowTest, TheFirstSizedDoesNotRefreshAndEverySizedPostsResizeNeeded) {
  TestWindow pw;
  script("resize 500 400\nresize 600 450\nresize 700 500\n");
  pw.Execute();
  EXPECT_EQ(count(pw.seen, "EVENT:Sized 0"), 3);
  EXPECT_EQ(count(pw.seen, "1023 0"), 3);
  EXPECT_EQ(std::ranges::count(pw.refreshedDuring, event::Sized), 2);
  EXPECT_TRUE(pw.INITED & ProcedureWindow::FirstSizedSeen);
}

struct ButtonCase {
  std::uint8_t action;
  std::uint8_t response;
};

class ButtonActionTest : public ProcedureTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonActionTest, ARegisteredButtonFinishesWithItsAction) {
  TestWindow pw;
  std::int32_t navigation = 7;
  ToolbarRouter router;
  pw.afterSetup = [&](TestWindow& w) {
    w.AddButtonAction(kCancel, GetParam().action);
    w.AttachToolbar(router);
    w.VCRREQUEST = &navigation;
  };
  window::Window* closedBy = nullptr;
  pw.onEvent = [&](int code, int) {
    if (code == event::CloseWindow) closedBy = pw.win.get();
  };
  script("press Cancel\n");
  EXPECT_EQ(pw.Execute(), GetParam().response);
  EXPECT_EQ(pw.RESPONSE, GetParam().response);
  EXPECT_EQ(closedBy, pw.win.get());  // closed at once by the button, not by the script's end
  EXPECT_EQ(count(pw.seen, "EVENT:CloseWindow 0"), 1);
  EXPECT_EQ(navigation, GetParam().response == RequestCancelled ? 0 : 7);  // a cancel clears the request
}

INSTANTIATE_TEST_SUITE_P(Actions, ButtonActionTest, ::testing::Values(ButtonCase{2, 2}, ButtonCase{1, 1}));

TEST_F(ProcedureWindowTest, ComponentsAreOfferedEachEventInOrderUntilOneAnswers) {
  Log log;
  RecordingComponent first("a", log), second("b", log);
  first.answers[event::Accepted] = SevInform;
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.AddComponent(first);
    w.AddComponent(second);
    w.AUTOREFRESH = 0;
  };
  pw.onEvent = [&](int code, int) {
    if (code == event::Accepted) log.push_back("accepted");
  };
  script("press Save\n");
  pw.Execute();
  const auto at = std::ranges::find(log, "accepted");
  ASSERT_NE(at, log.end());
  EXPECT_EQ(*(at + 1), "a:event");
  EXPECT_NE(*(at + 2), "b:event");                              // the first component took it
  EXPECT_EQ(count(log, "a:query") + count(log, "b:query"), 0);  // AUTOREFRESH 0 never asks
  EXPECT_EQ(std::ranges::count(pw.refreshedDuring, event::Accepted), 0);
  // Tear-down releases them in order and lets go of the list.
  EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"a:release", "b:release"}));
}

TEST_F(ProcedureWindowTest, AutoRefreshAsksUntilTheFirstComponentThatNeedsOne) {
  Log log;
  RecordingComponent first("a", log), second("b", log);
  first.needsRefresh = true;
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.AddComponent(first);
    w.AddComponent(second);
  };
  script("press Save\n");
  pw.Execute();
  EXPECT_GT(count(log, "a:query"), 0);
  EXPECT_EQ(count(log, "b:query"), 0);
  EXPECT_EQ(std::ranges::count(pw.refreshedDuring, event::Accepted), 1);  // once for the press
}

TEST_F(ProcedureWindowTest, RefreshResetsThenRedisplaysAndAcceptAllSuppressesIt) {
  Log log;
  RecordingComponent first("a", log), second("b", log);
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.AddComponent(first);
    w.AddComponent(second);
  };
  ASSERT_EQ(pw.Setup(), SevNone);
  pw.FORCEDRESET = 1;
  pw.Refresh(false);
  EXPECT_EQ(log, (Log{"a:reset!", "b:reset!", "a:display", "b:display"}));
  EXPECT_EQ(pw.FORCEDRESET, 0);
  log.clear();
  pw.Refresh(false);
  EXPECT_EQ(log, (Log{"a:reset", "b:reset", "a:display", "b:display"}));
  log.clear();
  window::SetProperty(*pw.win, 0, window::prop::AcceptAll, 1L);
  pw.Refresh(true);
  EXPECT_TRUE(log.empty());
  pw.UpdateComponents();
  pw.ArmAlertKeys();
  EXPECT_EQ(log, (Log{"a:update", "b:update", "a:arm", "b:arm"}));
  pw.Teardown();
}

TEST_F(ProcedureWindowTest, OpeningRunsFirstOpenOnceAndSelectsTheFirstField) {
  struct Upper : Translator {
    int calls = 0;
    void TranslateWindow(window::Window&) override { ++calls; }
  } translator;
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.FIRSTFIELD = kName;
    w.TRANSLATOR = &translator;
  };
  script("idle\n");
  pw.Execute();
  EXPECT_EQ(pw.firstOpens, 1);
  EXPECT_EQ(translator.calls, 1);
  EXPECT_TRUE(pw.INITED & ProcedureWindow::FirstOpenDone);
  EXPECT_NE(std::ranges::find(pw.seen, "EVENT:Selected 2"), pw.seen.end());
}

TEST_F(ProcedureWindowTest, LosingFocusSchedulesAForcedResetWhenAsked) {
  Log log;
  RecordingComponent c("a", log);
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.AddComponent(c);
    w.RESETONGAINFOCUS = 1;
  };
  pw.onEvent = [&](int code, int) {
    if (code == event::OpenWindow) window::PostEvent(event::LoseFocus), window::PostEvent(event::GainFocus);
  };
  script("idle\n");
  pw.Execute();
  EXPECT_EQ(count(log, "a:reset!"), 1);
}

TEST_F(ProcedureWindowTest, NotificationsReachOnNotify) {
  TestWindow pw;
  pw.onEvent = [&](int code, int) {
    if (code == event::OpenWindow) window::PostNotify(7, 0, 42);
  };
  script("idle\n");
  pw.Execute();
  ASSERT_EQ(pw.notified.size(), 3u);
  EXPECT_EQ(pw.notified[0], 7);
  EXPECT_EQ(pw.notified[1], currentThreadContext()->number);
  EXPECT_EQ(pw.notified[2], 42);
}

// The toolbar router: accepted controls go to its current target; choosing by id activates, and a
// new selection on a sheet asks the targets which one is active.
TEST_F(ProcedureWindowTest, TheToolbarRouterServesItsCurrentTarget) {
  struct Target : ToolbarTarget {
    std::vector<int> taken;
    int activated = 0;
    bool active = false;
    void TakeToolbar(int control, std::int32_t* navigation) override {
      taken.push_back(control);
      if (navigation) *navigation = control;
    }
    void Activate() override { ++activated; }
    bool IsActive() override { return active; }
  } one, two;
  ToolbarRouter router;
  router.TakeAccepted(5, nullptr);  // no list yet: nothing happens
  std::int32_t navigation = 0;
  TestWindow pw;
  pw.afterSetup = [&](TestWindow& w) {
    w.AttachToolbar(router);
    router.AddTarget(1, one);
    router.AddTarget(2, two);
    w.VCRREQUEST = &navigation;
  };
  pw.onEvent = [&](int code, int) {
    if (code == event::OpenWindow) {
      two.active = true;
      window::PostEvent(event::NewSelection, kSheet);
    }
  };
  script("press Save\n");
  pw.Execute();
  EXPECT_TRUE(one.taken.empty());
  EXPECT_EQ(two.taken, (std::vector<int>{kSave}));
  EXPECT_EQ(navigation, kSave);
  EXPECT_EQ(router.LIST, nullptr);  // released by the tear-down
  router.ResetTargets();
  router.AddTarget(1, one);
  router.AddTarget(2, two);
  router.ChooseTarget(1);
  EXPECT_EQ(router.current(), &one);
  EXPECT_EQ(one.activated, 1);
  router.ChooseTarget(9);  // unknown id: stays
  EXPECT_EQ(router.current(), &one);
}

TEST_F(ProcedureWindowTest, TeardownRestoresFilesAndReleasesResizerAndToolbar) {
  struct File : TrackedFile {
    std::vector<int> restored;
    std::uint16_t SaveState() override { return 0; }
    void RestoreState(std::uint16_t s) override { restored.push_back(s); }
  } a, b;
  TestWindow pw;
  ToolbarRouter router;
  std::unique_ptr<WindowResizer> resizer;
  pw.afterSetup = [&](TestWindow& w) {
    w.FILES = std::make_unique<std::vector<ProcedureWindow::FileEntry>>();
    w.FILES->push_back({&a, 4});
    w.FILES->push_back({&b, 9});
    w.AttachToolbar(router);
    resizer = std::make_unique<WindowResizer>(*w.win);
    resizer->Attach(StrategyScale);
    w.AttachResizer(*resizer);
    w.AddHistoryField(kName);
  };
  script("idle\n");
  pw.Execute();
  EXPECT_EQ(a.restored, (std::vector<int>{4}));
  EXPECT_EQ(b.restored, (std::vector<int>{9}));
  EXPECT_EQ(pw.FILES, nullptr);
  EXPECT_EQ(pw.HISTORY, nullptr);
  EXPECT_EQ(pw.BUTTONS, nullptr);
  EXPECT_EQ(resizer->CONTROLQUEUE, nullptr);
  EXPECT_EQ(router.LIST, nullptr);
  EXPECT_EQ(pw.DEAD, 1);
}

// A window with a resizer: every user resize reaches the resizer through EventResizeNeeded.
TEST_F(ProcedureWindowTest, SizedEventsReachTheResizer) {
  TestWindow pw;
  std::unique_ptr<WindowResizer> resizer;
  pw.afterSetup = [&](TestWindow& w) {
    resizer = std::make_unique<WindowResizer>(*w.win);
    resizer->Attach(StrategyScale);
    w.AttachResizer(*resizer);
  };
  std::vector<int> okLeft;
  pw.onEvent = [&](int code, int) {
    if (code == EventResizeNeeded) okLeft.push_back(int(window::GetProperty(*pw.win, kCancel, window::prop::Xpos).number()));
  };
  script("resize 900 600\n");
  pw.Execute();
  ASSERT_EQ(okLeft.size(), 1u);
  EXPECT_GT(okLeft[0], 240);  // the Cancel button kept its distance from the right edge
}

}  // namespace
}  // namespace tamsil::framework::testing
