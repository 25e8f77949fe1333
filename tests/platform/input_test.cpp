// User input through the platform: menus, buttons, typing into entries, list selection, dialog
// navigation and the clipboard commands, each ending in the messages a program reacts to.
#include <gtest/gtest.h>

#include "platform/controls/menu.h"
#include "platform/desktop/clipboard.h"
#include "platform/dialogs/dialogs.h"
#include "platform/input/input.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

class InputTest : public ::testing::Test {
 protected:
  void TearDown() override { resetWindows(); }

  // A window with an entry, a list, a check box, a default button and a plain button.
  HWND makeForm() {
    HWND w = createTestWindow();
    entry = child(w, "edit", "", WS_TABSTOP, 10);
    list = child(w, "listbox", "", WS_TABSTOP | LBS_NOTIFY, 11);
    check = child(w, "button", "&Check", WS_TABSTOP | BS_AUTOCHECKBOX, 12);
    ok = child(w, "button", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 13);
    label = child(w, "static", "Label", 0, 14);
    other = child(w, "button", "Other", WS_TABSTOP, 15);
    SetFocus(entry);
    recorded().clear();
    return w;
  }

  static HWND child(HWND w, const char* cls, const char* text, DWORD style, int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 80, 60, w,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)));
  }

  // WM_COMMAND notifications the window received, as (id, code) pairs.
  std::vector<std::pair<int, int>> commands(HWND w) {
    std::vector<std::pair<int, int>> out;
    for (const Received& r : recorded())
      if (r.hwnd == w && r.msg == WM_COMMAND) out.emplace_back(LOWORD(r.wParam), HIWORD(r.wParam));
    return out;
  }

  HWND entry{}, list{}, check{}, ok{}, label{}, other{};
};

TEST_F(InputTest, ChoosingAMenuItemPostsItsIdentifierButNotForGrayedItems) {
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, 0x4007, "&Load");
  AppendMenuA(file, MF_STRING | MF_GRAYED, 0x4008, "&Save");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  HWND w = createTestWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, bar);
  recorded().clear();
  input::chooseMenu(w, {0, 0});
  input::chooseMenu(w, {0, 1});
  pumpUntilIdle();
  EXPECT_EQ(commands(w), (std::vector<std::pair<int, int>>{{0x4007, 0}}));
  EXPECT_EQ(names(w, {WM_MENUSELECT, WM_GETDLGCODE}),
            (std::vector<std::string>{"WM_ENTERMENULOOP", "WM_INITMENU", "WM_INITMENUPOPUP", "WM_EXITMENULOOP", "WM_COMMAND",
                                      "WM_ENTERMENULOOP", "WM_INITMENU", "WM_INITMENUPOPUP", "WM_EXITMENULOOP"}));
  EXPECT_EQ(CheckMenuItem(bar, 0x4007, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(bar, 0x4007, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
}

TEST_F(InputTest, TypingEditsTheFocusedEntryAndNotifiesItsParent) {
  HWND w = makeForm();
  input::type("Hello, World");
  input::key(VK_BACK);
  input::key(VK_HOME);
  input::key(VK_DELETE);
  pumpUntilIdle(w);
  EXPECT_EQ(GetWindowTextString(entry), "ello, Worl");
  const auto cmds = commands(w);
  EXPECT_EQ(std::count(cmds.begin(), cmds.end(), std::pair<int, int>{10, EN_CHANGE}), 14);
}

TEST_F(InputTest, ClipboardCommandsReachTheFocusedEntry) {
  HWND w = makeForm();
  input::type("abc");
  pumpUntilIdle(w);
  SendMessageA(entry, EM_SETSEL, 0, -1);
  SendMessageA(entry, WM_CUT, 0, 0);
  EXPECT_EQ(GetWindowTextString(entry), "");
  EXPECT_EQ(GetClipboardText(), "abc");
  SendMessageA(entry, WM_PASTE, 0, 0);
  SendMessageA(entry, WM_PASTE, 0, 0);
  EXPECT_EQ(GetWindowTextString(entry), "abcabc");
  SendMessageA(entry, WM_UNDO, 0, 0);
  EXPECT_EQ(GetWindowTextString(entry), "abc");
  SendMessageA(entry, EM_SETREADONLY, TRUE, 0);
  SendMessageA(entry, WM_CLEAR, 0, 0);
  EXPECT_EQ(GetWindowTextString(entry), "abc");
}

// The standard editing keys work in every entry: each step is keys, then the text and the
// selection they leave.
TEST_F(InputTest, StandardEditingKeysCopyCutPasteUndoAndSelectAll) {
  struct Step {
    char letter;  // pressed with Ctrl
    const char* text;
    DWORD selStart, selEnd;
  };
  HWND w = makeForm();
  input::type("abc");
  pumpUntilIdle(w);
  const Step steps[] = {{'A', "abc", 0, 3},    {'C', "abc", 0, 3}, {'X', "", 0, 0},   {'V', "abc", 3, 3},
                        {'V', "abcabc", 6, 6}, {'Z', "abc", 3, 3}, {'A', "abc", 0, 3}};
  for (const Step& s : steps) {
    input::key(UINT(s.letter), {.ctrl = true});
    pumpUntilIdle(w);
    DWORD a = 0, b = 0;
    SendMessageA(entry, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(GetWindowTextString(entry), s.text) << "Ctrl+" << s.letter;
    EXPECT_EQ(std::pair(a, b), std::pair(s.selStart, s.selEnd)) << "Ctrl+" << s.letter;
  }
  EXPECT_EQ(GetClipboardText(), "abc");
}

// A click puts the caret at the nearest character boundary (System font: 8 pixels a character,
// 16 a line); with Shift the selection runs from where it started.
TEST_F(InputTest, AClickPutsTheCaretWhereThePersonClicked) {
  struct Click {
    int x, y;
    bool shift;
    DWORD selStart, selEnd;
  };
  HWND w = makeForm();
  HWND text = child(w, "edit", "", WS_TABSTOP | ES_MULTILINE, 16);
  SetWindowTextA(entry, "abcdef");
  SetWindowTextA(text, "abc\r\ndefgh\r\nij");
  const std::pair<HWND, Click> clicks[] = {
      {entry, {17, 5, false, 2, 2}}, {entry, {500, 5, false, 6, 6}}, {entry, {3, 5, false, 0, 0}},     {entry, {29, 5, true, 0, 4}},
      {text, {9, 20, false, 6, 6}},  {text, {200, 2, false, 3, 3}},  {text, {100, 40, false, 14, 14}}, {text, {0, 900, false, 14, 14}},
  };
  for (const auto& [control, c] : clicks) {
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON | (c.shift ? MK_SHIFT : 0), MAKELPARAM(c.x, c.y));
    pumpUntilIdle(w);
    DWORD a = 0, b = 0;
    SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(GetFocus(), control);
    EXPECT_EQ(std::pair(a, b), std::pair(std::min(c.selStart, c.selEnd), std::max(c.selStart, c.selEnd))) << c.x << "," << c.y;
  }
}

TEST_F(InputTest, TabAndShiftTabCycleThroughTabStopsOnly) {
  HWND w = makeForm();
  std::vector<HWND> visited;
  for (int i = 0; i < 5; ++i) {
    input::key(VK_TAB);
    pumpUntilIdle(w);
    visited.push_back(GetFocus());
  }
  EXPECT_EQ(visited, (std::vector<HWND>{list, check, ok, other, entry}));
  EnableWindow(check, FALSE);
  input::key(VK_TAB, {.shift = true});
  input::key(VK_TAB, {.shift = true});
  input::key(VK_TAB, {.shift = true});
  pumpUntilIdle(w);
  EXPECT_EQ(GetFocus(), list);  // entry -> other -> ok -> (check disabled) list
  EXPECT_EQ(GetKeyState(int(VK_SHIFT)) & 0x8000, 0);
}

TEST_F(InputTest, EnterPressesTheDefaultButtonAndSpaceTheFocusedOne) {
  HWND w = makeForm();
  input::key(VK_RETURN);
  pumpUntilIdle(w);
  SetFocus(check);
  input::key(VK_SPACE);
  pumpUntilIdle(w);
  EXPECT_EQ(commands(w), (std::vector<std::pair<int, int>>{{13, BN_CLICKED}, {10, EN_KILLFOCUS}, {12, BN_CLICKED}}));
  EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
}

TEST_F(InputTest, ClickingAButtonFocusesItThenNotifiesOnRelease) {
  HWND w = makeForm();
  input::click(other);
  pumpUntilIdle(w);
  EXPECT_EQ(GetFocus(), other);
  EXPECT_EQ(commands(w), (std::vector<std::pair<int, int>>{{10, EN_KILLFOCUS}, {15, BN_CLICKED}}));
}

TEST_F(InputTest, SelectingAListItemNotifiesOncePerChange) {
  HWND w = makeForm();
  for (const char* s : {"one", "two", "three"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  recorded().clear();
  input::selectItem(list, 2);
  input::selectItem(list, 2);
  input::key(VK_UP);
  pumpUntilIdle(w);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  const auto cmds = commands(w);
  EXPECT_EQ(std::count(cmds.begin(), cmds.end(), std::pair<int, int>{11, LBN_SELCHANGE}), 2);
  EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("TWO")), 1);
  EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 9, 0), LB_ERR);
}

TEST_F(InputTest, DisabledWindowsIgnoreClicks) {
  HWND w = makeForm();
  EnableWindow(other, FALSE);
  SendMessageA(other, BM_CLICK, 0, 0);
  EXPECT_TRUE(commands(w).empty());
}

TEST_F(InputTest, DialogUnitsFollowTheFontMetrics) {
  RECT r{10, 8, 50, 22};
  MapDialogRectFor(CreateFontA(8, 400, "MS Sans Serif"), &r);
  EXPECT_EQ(r, (RECT{15, 13, 75, 36}));  // base units 6 x 13
  RECT s{4, 8, 8, 16};
  MapDialogRectFor(nullptr, &s);  // the System font: 8 x 16
  EXPECT_EQ(s, (RECT{8, 16, 16, 32}));
}

}  // namespace
}  // namespace platform::testing
