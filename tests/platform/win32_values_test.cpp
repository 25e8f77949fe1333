// The platform's numbers must be the real platform's: stored window definitions, traces and the
// runtime compare them as numbers. Expected values are written out independently here.
#include <gtest/gtest.h>

#include "platform/messages.h"

namespace platform {
namespace {

struct Value {
  const char* name;
  unsigned long long actual;
  unsigned long long expected;
};

class Win32ValueTest : public ::testing::TestWithParam<Value> {};

TEST_P(Win32ValueTest, EqualsThePlatformValue) { EXPECT_EQ(GetParam().actual, GetParam().expected) << GetParam().name; }

#define V(name, value) \
  Value { #name, static_cast < unsigned long long>(name), value##ULL }

INSTANTIATE_TEST_SUITE_P(
    Messages, Win32ValueTest,
    ::testing::Values(V(WM_CREATE, 0x0001), V(WM_DESTROY, 0x0002), V(WM_MOVE, 0x0003), V(WM_SIZE, 0x0005), V(WM_ACTIVATE, 0x0006),
                      V(WM_SETFOCUS, 0x0007), V(WM_KILLFOCUS, 0x0008), V(WM_ENABLE, 0x000A), V(WM_SETTEXT, 0x000C), V(WM_GETTEXT, 0x000D),
                      V(WM_CLOSE, 0x0010), V(WM_QUERYENDSESSION, 0x0011), V(WM_QUIT, 0x0012), V(WM_SHOWWINDOW, 0x0018),
                      V(WM_GETMINMAXINFO, 0x0024), V(WM_WINDOWPOSCHANGING, 0x0046), V(WM_WINDOWPOSCHANGED, 0x0047), V(WM_NOTIFY, 0x004E),
                      V(WM_HELP, 0x0053), V(WM_NCCREATE, 0x0081), V(WM_NCDESTROY, 0x0082), V(WM_GETDLGCODE, 0x0087),
                      V(WM_NCLBUTTONDOWN, 0x00A1), V(WM_KEYDOWN, 0x0100), V(WM_KEYUP, 0x0101), V(WM_CHAR, 0x0102), V(WM_SYSKEYDOWN, 0x0104),
                      V(WM_COMMAND, 0x0111), V(WM_SYSCOMMAND, 0x0112), V(WM_TIMER, 0x0113), V(WM_INITMENU, 0x0116), V(WM_INITMENUPOPUP, 0x0117),
                      V(WM_MENUSELECT, 0x011F), V(WM_LBUTTONDOWN, 0x0201), V(WM_LBUTTONUP, 0x0202), V(WM_ENTERMENULOOP, 0x0211),
                      V(WM_EXITMENULOOP, 0x0212), V(WM_SIZING, 0x0214), V(WM_MDITILE, 0x0226), V(WM_MDICASCADE, 0x0227),
                      V(WM_MDIICONARRANGE, 0x0228), V(WM_ENTERSIZEMOVE, 0x0231), V(WM_EXITSIZEMOVE, 0x0232), V(WM_DROPFILES, 0x0233),
                      V(WM_CUT, 0x0300), V(WM_COPY, 0x0301), V(WM_PASTE, 0x0302), V(WM_CLEAR, 0x0303), V(WM_UNDO, 0x0304),
                      V(WM_DDE_INITIATE, 0x03E0), V(WM_DDE_EXECUTE, 0x03E8), V(WM_USER, 0x0400)));

INSTANTIATE_TEST_SUITE_P(SystemCommands, Win32ValueTest,
                         ::testing::Values(V(SC_SIZE, 0xF000), V(SC_MOVE, 0xF010), V(SC_MINIMIZE, 0xF020), V(SC_MAXIMIZE, 0xF030),
                                           V(SC_CLOSE, 0xF060), V(SC_RESTORE, 0xF120)));

INSTANTIATE_TEST_SUITE_P(MessageBox, Win32ValueTest,
                         ::testing::Values(V(MB_OK, 0x0), V(MB_OKCANCEL, 0x1), V(MB_ABORTRETRYIGNORE, 0x2), V(MB_YESNOCANCEL, 0x3),
                                           V(MB_YESNO, 0x4), V(MB_RETRYCANCEL, 0x5), V(MB_ICONHAND, 0x10), V(MB_ICONQUESTION, 0x20),
                                           V(MB_ICONEXCLAMATION, 0x30), V(MB_ICONASTERISK, 0x40), V(MB_DEFBUTTON2, 0x100),
                                           V(MB_DEFBUTTON3, 0x200), V(MB_SYSTEMMODAL, 0x1000), V(MB_TASKMODAL, 0x2000), V(IDOK, 1),
                                           V(IDCANCEL, 2), V(IDABORT, 3), V(IDRETRY, 4), V(IDIGNORE, 5), V(IDYES, 6), V(IDNO, 7),
                                           V(IDHELP, 9)));

INSTANTIATE_TEST_SUITE_P(Menus, Win32ValueTest,
                         ::testing::Values(V(MF_GRAYED, 0x1), V(MF_DISABLED, 0x2), V(MF_CHECKED, 0x8), V(MF_POPUP, 0x10),
                                           V(MF_BYPOSITION, 0x400), V(MF_SEPARATOR, 0x800)));

INSTANTIATE_TEST_SUITE_P(Controls, Win32ValueTest,
                         ::testing::Values(V(BN_CLICKED, 0), V(BM_GETCHECK, 0xF0), V(BM_CLICK, 0xF5), V(EN_CHANGE, 0x300),
                                           V(LB_ADDSTRING, 0x180), V(LB_GETCURSEL, 0x188), V(LBN_SELCHANGE, 1), V(CB_SETCURSEL, 0x14E),
                                           V(BS_DEFPUSHBUTTON, 1), V(BS_AUTOCHECKBOX, 3), V(BS_GROUPBOX, 7), V(WS_CHILD, 0x40000000),
                                           V(WS_VISIBLE, 0x10000000), V(WS_TABSTOP, 0x10000), V(WS_OVERLAPPEDWINDOW, 0xCF0000),
                                           V(SPI_SETDRAGFULLWINDOWS, 37), V(SPI_GETDRAGFULLWINDOWS, 38), V(VK_TAB, 9), V(VK_RETURN, 13),
                                           V(VK_F1, 0x70)));

#undef V

TEST(MessageNameTest, NamesComeFromTheSameTable) {
  EXPECT_EQ(messageName(0x0111), "WM_COMMAND");
  EXPECT_EQ(messageName(0x03E5), "WM_DDE_DATA");
  EXPECT_EQ(messageName(0xB01B), "");
}

}  // namespace
}  // namespace platform
