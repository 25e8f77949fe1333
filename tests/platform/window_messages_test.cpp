// Message order of window life and state changes, as the runtime's event translation relies on:
// the system command before the action, then the position and size messages.
#include <gtest/gtest.h>

#include "platform/controls/menu.h"
#include "platform/input/input.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

using Names = std::vector<std::string>;

class WindowMessagesTest : public ::testing::Test {
 protected:
  void TearDown() override { resetWindows(); }
};

TEST_F(WindowMessagesTest, CreateThenShowActivatesAndFocuses) {
  HWND w = createTestWindow();
  EXPECT_EQ(names(w), (Names{"WM_GETMINMAXINFO", "WM_NCCREATE", "WM_CREATE", "WM_SIZE", "WM_MOVE", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING",
                             "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_ACTIVATE", "WM_SETFOCUS"}));
  EXPECT_EQ(GetActiveWindow(), w);
  EXPECT_EQ(GetFocus(), w);
}

TEST_F(WindowMessagesTest, ClientAreaExcludesCaptionFrameAndMenu) {
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING, 1, "&File");
  HWND w = createTestWindow(WS_OVERLAPPEDWINDOW, bar);
  RECT client, outer;
  GetClientRect(w, &client);
  GetWindowRect(w, &outer);
  RECT adjusted = client;
  AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, TRUE, 0);
  EXPECT_EQ(adjusted.width(), outer.width());
  EXPECT_EQ(adjusted.height(), outer.height());
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  EXPECT_EQ(origin.x, outer.left + (outer.width() - client.right) / 2);
}

struct UserAction {
  const char* name;
  std::function<void(HWND)> act;
  Names expected;
};

class UserActionTest : public WindowMessagesTest, public ::testing::WithParamInterface<UserAction> {};

// The move/size sequence: system command, then the size-move loop around the position change.
TEST_P(UserActionTest, DeliversTheSystemCommandFirst) {
  HWND w = createTestWindow();
  recorded().clear();
  GetParam().act(w);
  pumpUntilIdle();
  EXPECT_EQ(names(w, {WM_GETMINMAXINFO, WM_NCACTIVATE}), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Actions, UserActionTest,
                         ::testing::Values(UserAction{"size",
                                                      [](HWND w) { input::sizeWindow(w, 400, 300); },
                                                      {"WM_SYSCOMMAND", "WM_ENTERSIZEMOVE", "WM_SIZING", "WM_WINDOWPOSCHANGING",
                                                       "WM_WINDOWPOSCHANGED", "WM_SIZE", "WM_EXITSIZEMOVE"}},
                                           UserAction{"move",
                                                      [](HWND w) { input::moveWindow(w, 50, 60); },
                                                      {"WM_SYSCOMMAND", "WM_ENTERSIZEMOVE", "WM_MOVING", "WM_WINDOWPOSCHANGING",
                                                       "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_EXITSIZEMOVE"}},
                                           UserAction{"maximize",
                                                      [](HWND w) { input::systemCommand(w, SC_MAXIMIZE); },
                                                      {"WM_SYSCOMMAND", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"}},
                                           UserAction{"minimize",
                                                      [](HWND w) { input::systemCommand(w, SC_MINIMIZE); },
                                                      {"WM_SYSCOMMAND", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE",
                                                       "WM_ACTIVATE", "WM_KILLFOCUS"}},
                                           UserAction{"close",
                                                      [](HWND w) { input::systemCommand(w, SC_CLOSE); },
                                                      {"WM_SYSCOMMAND", "WM_CLOSE", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED",
                                                       "WM_ACTIVATE", "WM_KILLFOCUS", "WM_DESTROY", "WM_NCDESTROY"}}),
                         [](const ::testing::TestParamInfo<UserAction>& p) { return std::string(p.param.name); });

TEST_F(WindowMessagesTest, RefusedSystemCommandChangesNothing) {
  setHook([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_SYSCOMMAND) return 0;  // the program cycles the command
    return std::nullopt;
  });
  HWND w = createTestWindow();
  RECT before, after;
  GetWindowRect(w, &before);
  input::sizeWindow(w, 500, 400);
  input::systemCommand(w, SC_MAXIMIZE);
  pumpUntilIdle();
  GetWindowRect(w, &after);
  EXPECT_EQ(before, after);
  EXPECT_FALSE(IsZoomed(w));
}

TEST_F(WindowMessagesTest, MaximizeThenRestoreReturnsToTheNormalRectangle) {
  HWND w = createTestWindow();
  RECT normal, now;
  GetWindowRect(w, &normal);
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  const Received last = recorded().back();
  EXPECT_EQ(last.msg, WM_SIZE);
  EXPECT_EQ(last.wParam, SIZE_MAXIMIZED);
  ShowWindow(w, SW_RESTORE);
  GetWindowRect(w, &now);
  EXPECT_EQ(now, normal);
  EXPECT_EQ(recorded().back().wParam, SIZE_RESTORED);
}

TEST_F(WindowMessagesTest, SizeLimitsFromMinMaxInfoBindTheUserButNotTheProgram) {
  setHook([](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg != WM_GETMINMAXINFO) return std::nullopt;
    auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
    mmi->ptMinTrackSize = {200, 150};
    mmi->ptMaxTrackSize = {600, 450};
    return 0;
  });
  HWND w = createTestWindow();
  input::sizeWindow(w, 50, 50);
  pumpUntilIdle();
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 200);
  EXPECT_EQ(r.height(), 150);
  input::sizeWindow(w, 900, 900);
  pumpUntilIdle();
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 600);
  MoveWindow(w, 0, 0, 40, 30);
  GetWindowRect(w, &r);
  EXPECT_EQ(r.width(), 40);
}

TEST_F(WindowMessagesTest, DestroyReachesParentBeforeChildrenAndNcDestroyAfter) {
  HWND w = createTestWindow();
  std::vector<std::pair<HWND, UINT>> order;
  HWND child = CreateWindowExA(0, "TestWindow", "child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, w, nullptr);
  recorded().clear();
  DestroyWindow(w);
  for (const Received& r : recorded())
    if (r.msg == WM_DESTROY || r.msg == WM_NCDESTROY) order.emplace_back(r.hwnd, r.msg);
  EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{{w, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {w, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0), 0);  // a stale handle is harmless
}

TEST_F(WindowMessagesTest, SubclassedControlSeesMessagesFirstAndChainsToTheBase) {
  WNDCLASSA base;
  ASSERT_TRUE(GetClassInfoA("BUTTON", &base));  // class names compare without case
  static WNDPROC baseProc = base.lpfnWndProc;
  static int seen = 0;
  WNDCLASSA derived = base;
  derived.lpszClassName = "TestButton";
  derived.lpfnWndProc = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == BM_CLICK) ++seen;
    return CallWindowProcA(baseProc, h, m, wp, lp);
  };
  ASSERT_NE(RegisterClassA(derived), 0);
  EXPECT_EQ(RegisterClassA(derived), 0);  // a second registration fails
  HWND w = createTestWindow();
  HWND b = CreateWindowExA(0, "TestButton", "OK", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, w, reinterpret_cast<HMENU>(0x4007));
  recorded().clear();
  SendMessageA(b, BM_CLICK, 0, 0);
  EXPECT_EQ(seen, 1);
  // Backends draw it as the built-in control it forwards to.
  EXPECT_EQ(detail::findWindow(b)->kind, detail::ControlKind::Button);
  ASSERT_FALSE(recorded().empty());
  EXPECT_EQ(recorded().back().msg, WM_COMMAND);
  EXPECT_EQ(LOWORD(recorded().back().wParam), 0x4007);
  EXPECT_EQ(HIWORD(recorded().back().wParam), BN_CLICKED);
}

TEST_F(WindowMessagesTest, RegisteredMessagesAreSharedByNameAndNamed) {
  const UINT a = RegisterWindowMessageA("Kestrel_Test_Message");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("KESTREL_TEST_MESSAGE"), a);
  EXPECT_NE(RegisterWindowMessageA("Kestrel_Other_Message"), a);
  EXPECT_EQ(RegisterWindowMessageA(""), 0u);
  EXPECT_EQ(messageName(a), "Kestrel_Test_Message");
}

TEST_F(WindowMessagesTest, TheWindowIconIsKeptAndReplaced) {
  HWND w = createTestWindow();
  const LONG_PTR first = LoadIconA(IDI_ASTERISK), second = LoadIconA(IDI_HAND);
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, first), 0);
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, second), first);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_BIG, 0), second);
}

TEST_F(WindowMessagesTest, TimersArriveAsTimerMessagesUntilKilled) {
  HWND w = createTestWindow();
  SetTimer(w, 1, 10, nullptr);
  MSG m;
  do {
    ASSERT_TRUE(GetMessageA(&m, w, WM_TIMER, WM_TIMER));
  } while (m.message != WM_TIMER);
  EXPECT_EQ(m.hwnd, w);
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
}

}  // namespace
}  // namespace platform::testing
