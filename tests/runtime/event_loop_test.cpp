// The event loop on stored windows: which events the loop body sees, in which order, and what
// handlers, the completion pass, the posting switch and cycled window events do to them.
#include <gtest/gtest.h>

#include "platform/desktop/system.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/core/startup.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/runtime_settings.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using Events = std::vector<std::string>;

constexpr const char* kMain = "RuntimeTest$Main";  // tests/runtime/data/RtMain.windef
constexpr const char* kBuilder = "ASCMEON";

class EventLoopTest : public RuntimeTest {};

TEST_F(EventLoopTest, MenuItemsPostAcceptedUnlessTheyCarryAnAction) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  script("menu File > Load Excel Book\nmenu Edit > Copy\nmenu File > Exit\n");
  runLoop();
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Accepted 7", "EVENT:CloseWindow 0"}));
  EXPECT_EQ(w.handle, nullptr);  // closed by the CloseWindow the body let through
}

TEST_F(EventLoopTest, UserSizingSendsSizeThenPostsSized) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  script("resize 800 600\n");
  runLoop();
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Size 0", "EVENT:Sized 0", "EVENT:CloseWindow 0"}));
  EXPECT_TRUE(w.sized);
}

TEST_F(EventLoopTest, CycledMoveLeavesTheWindowWhereItWas) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  platform::RECT before, afterMove, maximized;
  platform::GetWindowRect(w.handle, &before);
  RegisterEventHandler(w, event::Move, [](Window&, const EventRecord&) { return 5; });
  script("move 300 200\nmaximize\n");
  runLoop([&](int code, int) {
    if (code == event::Maximize) platform::GetWindowRect(w.handle, &afterMove);  // before the action
    if (code == event::Maximized) platform::GetWindowRect(w.handle, &maximized);
    return 0;
  });
  EXPECT_EQ(events,
            (Events{"EVENT:OpenWindow 0", "EVENT:Maximize 0", "EVENT:Moved 0", "EVENT:Sized 0", "EVENT:Maximized 0", "EVENT:CloseWindow 0"}));
  EXPECT_EQ(afterMove, before);
  EXPECT_NE(maximized, before);
  EXPECT_EQ(w.stateWord & 0x4000u, 0x4000u);
}

TEST_F(EventLoopTest, WithoutMoveSizeEventsTheWindowMovesSilently) {
  Window w("FWERROR", "$WINDOW");
  OpenWindowOp(w);
  platform::RECT before, during;
  platform::GetWindowRect(w.handle, &before);
  script("move 300 200\nresize 500 400\n");
  runLoop([&](int code, int) {
    if (code == event::CloseWindow) platform::GetWindowRect(w.handle, &during);
    return 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:CloseWindow 0"}));
  EXPECT_EQ(during.left, 300);
  EXPECT_EQ(during.width(), 500);
}

struct HandlerCase {
  const char* name;
  std::vector<HandlerRegistration> handlers;  // registered in this order
  Events expected;
  bool stillOpen;
};

class HandlerTest : public EventLoopTest, public ::testing::WithParamInterface<HandlerCase> {};

EventHandler answer(int level) {
  return [level](Window&, const EventRecord&) { return level; };
}

TEST_P(HandlerTest, AnswersDecideWhatTheBodySees) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  for (const auto& h : GetParam().handlers) RegisterEventHandler(w, h.code, h.handler, h.field, h.anyField);
  script("menu File > Load Excel Book\n");
  runLoop();
  EXPECT_EQ(events, GetParam().expected);
  EXPECT_EQ(w.handle != nullptr, GetParam().stillOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandlerTest,
    ::testing::Values(
        HandlerCase{"CycleHidesTheEvent", {{event::Accepted, answer(5), 7, false}}, {"EVENT:OpenWindow 0", "EVENT:CloseWindow 0"}, false},
        HandlerCase{"BreakEndsTheLoop", {{event::Accepted, answer(3), 0, true}}, {"EVENT:OpenWindow 0"}, true},
        HandlerCase{"ZeroPassesOn", {{-1, answer(0), 0, true}}, {"EVENT:OpenWindow 0", "EVENT:Accepted 7", "EVENT:CloseWindow 0"}, false},
        HandlerCase{"NewestFirst",
                    {{event::Accepted, answer(3), 0, true}, {event::Accepted, answer(5), 7, false}},
                    {"EVENT:OpenWindow 0", "EVENT:CloseWindow 0"},
                    false},
        HandlerCase{"OtherFieldIsNotAsked",
                    {{event::Accepted, answer(3), 8, false}},
                    {"EVENT:OpenWindow 0", "EVENT:Accepted 7", "EVENT:CloseWindow 0"},
                    false}),
    [](const ::testing::TestParamInfo<HandlerCase>& p) { return std::string(p.param.name); });

TEST_F(EventLoopTest, BreakFromTheBodyEndsTheLoopAndLeavesTheWindowOpen) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  script("menu File > Load Excel Book\nmenu File > Save\n");
  runLoop([](int code, int) { return code == event::Accepted ? -1 : 0; });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Accepted 7"}));
  EXPECT_NE(w.handle, nullptr);
  CloseWindowOp(w);
  EXPECT_EQ(w.handle, nullptr);
}

TEST_F(EventLoopTest, CompletionPassAcceptsBoundControlsInOrderThenCompletes) {
  Window w(kBuilder, "P3$BUILDERWINDOW");
  OpenWindowOp(w);
  runLoop([](int code, int) {
    if (code == event::OpenWindow) SelectField(0);
    return code == event::Completed ? -1 : 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Accepted 1", "EVENT:Accepted 2", "EVENT:Accepted 3", "EVENT:Accepted 5",
                            "EVENT:Completed 0"}));
}

TEST_F(EventLoopTest, CompletionPassStopsAtTheFirstRefusingControlAndFocusesIt) {
  Window w(kBuilder, "P3$BUILDERWINDOW");
  OpenWindowOp(w);
  w.control(3)->accepts = [] { return false; };
  const platform::HWND refusing = w.control(3)->hwnd;
  platform::HWND focusAtClose = nullptr;
  script("idle\n");  // when the pass has stopped, the script closes the window
  runLoop([&](int code, int) {
    if (code == event::OpenWindow) SelectField(0);
    if (code == event::CloseWindow) focusAtClose = platform::GetFocus();
    return 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Accepted 1", "EVENT:Accepted 2", "EVENT:CloseWindow 0"}));
  EXPECT_EQ(focusAtClose, refusing);
}

TEST_F(EventLoopTest, SelectedForTheFocusedControlIsDropped) {
  Window w(kBuilder, "P3$BUILDERWINDOW");
  OpenWindowOp(w);
  runLoop([](int code, int) {
    if (code == event::OpenWindow) {
      PostEvent(event::Selected, 5);
      PostEvent(event::Selected, 5);
      PostEvent(event::Accepted, 10);
    }
    return code == event::Accepted ? -1 : 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Selected 5", "EVENT:Accepted 10"}));
  EXPECT_EQ(platform::GetFocus(), w.control(5)->hwnd);
}

TEST_F(EventLoopTest, TabMovesTheFocusThroughSelectedEvents) {
  Window w(kBuilder, "P3$BUILDERWINDOW");
  OpenWindowOp(w);
  EXPECT_EQ(platform::GetFocus(), w.control(1)->hwnd);  // a window opens with its first tab stop focused
  script("key Tab\nkey Tab\nkey Shift+Tab\n");
  runLoop();
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:Selected 2", "EVENT:Selected 3", "EVENT:Selected 2", "EVENT:CloseWindow 0"}));
}

TEST_F(EventLoopTest, AnAlertedKeyBecomesAlertKeyForTheFocusedControl) {
  Window w(kBuilder, "P3$BUILDERWINDOW");
  OpenWindowOp(w);
  w.control(5)->alertKeys = {265, 40};  // Shift+Tab and Down
  std::uint32_t keyOfAlert = 0;
  script("focus #16389\nkey Shift+Tab\nkey Down\nkey Tab\n");
  runLoop([&](int code, int) {
    if (code == event::AlertKey && !keyOfAlert) keyOfAlert = currentThreadContext()->lastKeyCode;
    return 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "EVENT:AlertKey 5", "EVENT:AlertKey 5", "EVENT:Selected 7", "EVENT:CloseWindow 0"}));
  EXPECT_EQ(keyOfAlert, 265u);
}

TEST_F(EventLoopTest, AfterTheMainProcedurePostsAreDroppedButCloseStillCloses) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  script("menu File > Exit\n");
  runLoop([](int code, int) {
    if (code == event::OpenWindow) {
      DisallowPosting();
      PostEvent(event::Accepted, 7);
    }
    return 0;
  });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0"}));
  EXPECT_EQ(w.handle, nullptr);
}

// A registration taken back (here by the handlers themselves, the newer one taking both) is not
// asked again; the focus field is the focused control's.
TEST_F(EventLoopTest, UnregisteredHandlersAreNotAskedAndTheFocusFieldIsKnown) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  int older = 0, newer = 0, first = 0, focus = -1;
  first = RegisterEventHandler(w, 0x3FF, [&](Window&, const EventRecord&) { return ++older, 0; });
  const int second = RegisterEventHandler(w, 0x3FF, [&](Window& win, const EventRecord&) {
    ++newer;
    UnregisterEventHandler(win, first);
    UnregisterEventHandler(win, first + 1);
    return 0;
  });
  EXPECT_EQ(second, first + 1);
  script("");
  runLoop([&](int code, int) {
    if (code == event::OpenWindow) {
      PostEvent(0x3FF), PostEvent(0x3FF);
      platform::SetFocus(w.control(21)->hwnd);
      focus = FocusField();
    }
    return 0;
  });
  EXPECT_EQ(newer, 1);
  EXPECT_EQ(older, 0);
  EXPECT_EQ(focus, 21);
  UnregisterEventHandler(w, 99);  // unknown: nothing happens
}

TEST_F(EventLoopTest, PostingDuringAnEventCopiesItsKeySnapshot) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  std::uint32_t seenKey = 99;
  RegisterEventHandler(
      w, event::Accepted,
      [&](Window&, const EventRecord& e) {
        seenKey = e.keyCode;
        return 3;
      },
      0, true);
  currentThreadContext()->lastKeyCode = 0;
  runLoop([](int code, int) {
    if (code == event::OpenWindow) {
      currentThreadContext()->lastKeyCode = 77;  // a key seen after the event was made
      PostEvent(event::Accepted, 21);
    }
    return 0;
  });
  EXPECT_EQ(seenKey, 0u);
}

TEST_F(EventLoopTest, EventsCarryTheCursorInClientCoordinatesAndPostsDuringAnEventCopyIt) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  platform::MoveWindow(w.handle, 40, 30, 900, 700, true);  // the screen and the client origin differ
  std::vector<platform::POINT> seen;
  const auto record = [&](Window&, const EventRecord& e) {
    seen.push_back({e.mouseX, e.mouseY});
    return 0;
  };
  RegisterEventHandler(w, event::Accepted, record, 21);
  RegisterEventHandler(w, 0x3FF, record);
  script("press Close\n");
  runLoop([](int code, int field) {
    if (code == event::Accepted && field == 21) {
      currentThreadContext()->lastCursor = {1, 1};  // the mouse moved after the event was made
      PostEvent(0x3FF);
    }
    return code == 0x3FF ? -1 : 0;
  });
  // The script clicks the middle of the button.
  const platform::HWND button = w.control(21)->hwnd;
  platform::RECT r;
  platform::GetClientRect(button, &r);
  platform::POINT centre{r.right / 2, r.bottom / 2};
  platform::ClientToScreen(button, &centre);
  platform::ScreenToClient(w.handle, &centre);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(centre, platform::POINT{});
  EXPECT_EQ(seen[0], centre);
  EXPECT_EQ(seen[1], centre);
}

TEST_F(EventLoopTest, CurrentEventReadsZeroOutsideAndAcceptedFieldOnlyForAccepted) {
  EXPECT_EQ(EventCode(), 0);
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  int accepted = -1;
  runLoop([&](int code, int) {
    accepted = AcceptedField();
    return code == event::OpenWindow ? -1 : 0;
  });
  EXPECT_EQ(accepted, 0);
}

TEST_F(EventLoopTest, TimerEventsArriveWhileTheTimerIsSet) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  int timers = 0;
  runLoop([&](int code, int) {
    if (code == event::OpenWindow) SetWindowTimer(w, 1);
    if (code == event::Timer && ++timers == 2) {
      SetWindowTimer(w, 0);
      return -1;
    }
    return 0;
  });
  EXPECT_EQ(timers, 2);
}

TEST_F(EventLoopTest, PostFromAnotherThreadArrivesThroughTheWindowQueue) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  const int self = currentThreadContext()->number;
  platform::Thread poster([self] {
    ThreadContextScope ctx;
    PostEvent(0x3FF, 0, self);
  });
  runLoop([](int code, int) { return code == 0x3FF ? -1 : 0; });
  EXPECT_EQ(events.back(), "1023 0");
}

TEST_F(EventLoopTest, PostFromAnotherThreadAfterThePlatformWindowIsGoneReachesTheThreadsNextWindow) {
  Window below(kMain, "P1$WINDOW");
  OpenWindowOp(below);
  Window gone(kMain, "P1$WINDOW");
  OpenWindowOp(gone);
  platform::DestroyWindow(gone.handle);  // taken away from outside: still the thread's current window
  const int self = currentThreadContext()->number;
  platform::Thread poster([self] {
    ThreadContextScope ctx;
    PostEvent(0x3FF, 0, self);
  });
  poster.join();
  CloseWindowOp(gone);
  script("");  // ends the loop if the event never comes
  runLoop([](int code, int) { return code == 0x3FF ? -1 : 0; });
  EXPECT_EQ(events, (Events{"EVENT:OpenWindow 0", "1023 0"}));
}

TEST_F(EventLoopTest, NotifyInfoReadsTheCodeThreadAndParameterOfANotifyOnly) {
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  const int self = currentThreadContext()->number;
  int sender = 0;
  platform::Thread poster([self, &sender] {
    ThreadContextScope ctx;
    sender = currentThreadContext()->number;
    PostNotify(7, self, 42);
  });
  struct Seen {
    bool ok;
    int code, thread;
    std::uintptr_t parameter;
  };
  std::vector<Seen> seen;
  runLoop([&](int code, int) {
    Seen s{false, -1, -1, 99};
    s.ok = NotifyInfo(s.code, s.thread, s.parameter);
    seen.push_back(s);
    return code == event::Notify ? -1 : 0;
  });
  poster.join();
  ASSERT_EQ(events.back(), "EVENT:Notify 0");
  ASSERT_GE(seen.size(), 2u);
  EXPECT_FALSE(seen.front().ok);  // "EVENT:OpenWindow" is no notification
  EXPECT_NE(sender, self);
  EXPECT_TRUE(seen.back().ok);
  EXPECT_EQ(seen.back().code, 7);
  EXPECT_EQ(seen.back().thread, sender);
  EXPECT_EQ(seen.back().parameter, 42u);
}

struct EndSessionCase {
  const char* name;
  bool applicationTitle;
  const char* caption;
};

class EndSessionTest : public RuntimeTest, public ::testing::WithParamInterface<EndSessionCase> {
 protected:
  void TearDown() override {
    SetRuntimeSetting(RuntimeSetting::ApplicationTitleCaption, false);
    RuntimeTest::TearDown();
  }
};

TEST_P(EndSessionTest, TheEndOfTheSessionIsRefusedWhileAWindowIsOpen) {
  SetRuntimeSetting(RuntimeSetting::ApplicationTitleCaption, GetParam().applicationTitle);
  Window w(kMain, "P1$WINDOW");
  OpenWindowOp(w);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(platform::QueryEndSession());
  const std::string shown = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(shown.find(std::string("message box \"") + GetParam().caption +
                       "\" \"Application still active.\\n\\nQuit the application before quitting Windows.\""),
            std::string::npos)
      << shown;
  EXPECT_NE(w.handle, nullptr);
  CloseWindowOp(w);
  EXPECT_TRUE(platform::QueryEndSession());
}

INSTANTIATE_TEST_SUITE_P(Caption, EndSessionTest,
                         ::testing::Values(EndSessionCase{"Product", false, "Tamsil 6.3 build Tamsil 6.300.00"},
                                           EndSessionCase{"ApplicationTitle", true, "Runtime test window"}),
                         [](const ::testing::TestParamInfo<EndSessionCase>& p) { return std::string(p.param.name); });

using EventLoopDeathTest = EventLoopTest;

TEST_F(EventLoopDeathTest, RuntimeErrorsEndTheProgramWithCodeTwo) {
  EXPECT_EXIT(
      {
        Window w(kMain, "P1$WINDOW");
        OpenWindowOp(w);
        OpenWindowOp(w);
      },
      ::testing::ExitedWithCode(2), "Window is already open : P1\\$WINDOW");
  EXPECT_EXIT(Accept([] {}), ::testing::ExitedWithCode(2), "ACCEPT loop requires a window");
  EXPECT_EXIT(
      {
        Window w(kMain, "P7$MISSING");
        OpenWindowOp(w);
      },
      ::testing::ExitedWithCode(2), "Internal error 02 : WSLDIAL");
}

}  // namespace
}  // namespace tamsil::testing
