// The runtime's message box under scripted headless runs, and the three ways a program ends from
// inside: StopProgram, HaltProgram and the runtime error report.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/diagnostic_log.h"
#include "runtime/core/startup.h"
#include "runtime/window/message_box.h"
#include "runtime/window/program_stop.h"
#include "tests/platform/platform_test.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

using namespace window;

MessageBoxRequest yesNoCancel() {
  MessageBoxRequest r;
  r.text = "Save the changes?|They will be lost otherwise.";
  r.caption = "Kestrel24";
  r.icon = MessageIcon::Question;
  r.buttons = BtnYes | BtnNo | BtnCancel;
  r.defaultButton = BtnNo;
  return r;
}

struct ScriptedAnswer {
  const char* name;
  const char* script;
  unsigned expected;
  bool answerQueued = false;  // the script's "answer" line runs before the box opens
};

class MessageBoxAnswerTest : public RuntimeTest, public ::testing::WithParamInterface<ScriptedAnswer> {};

TEST_P(MessageBoxAnswerTest, ReturnsTheFlagOfThePressedButton) {
  script(GetParam().script);
  ::testing::internal::CaptureStderr();
  if (GetParam().answerQueued) platform::script::step();
  const unsigned answer = RuntimeMessageBox(yesNoCancel());
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, GetParam().expected);
  EXPECT_NE(log.find("dialog: message box \"Kestrel24\" \"Save the changes?\\nThey will be lost otherwise.\""), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Scripts, MessageBoxAnswerTest,
                         ::testing::Values(ScriptedAnswer{"PressYes", "press Yes\n", BtnYes},
                                           ScriptedAnswer{"PressCancel", "press Cancel\n", BtnCancel},
                                           ScriptedAnswer{"EnterTakesTheDefault", "key Enter\n", BtnNo},
                                           ScriptedAnswer{"EscapeIsCancel", "key Escape\n", BtnCancel},
                                           ScriptedAnswer{"QueuedAnswer", "answer message yes\n", BtnYes, true},
                                           ScriptedAnswer{"UnknownAnswerTakesTheDefault", "answer message Retry\n", BtnNo, true},
                                           ScriptedAnswer{"NobodyAnswers", "", BtnNo}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(RuntimeTest, ButtonsHaveTheirFixedTextsInFlagOrder) {
  const std::pair<unsigned, const char*> expected[] = {
      {BtnOk, "OK"},        {BtnYes, "&Yes"},       {BtnNo, "&No"},        {BtnAbort, "&Abort"},
      {BtnRetry, "&Retry"}, {BtnIgnore, "&Ignore"}, {BtnCancel, "Cancel"}, {BtnHelp, "&Help"},
  };
  for (const auto& [flag, text] : expected) EXPECT_EQ(buttonText(flag), text) << flag;
  EXPECT_EQ(buttonText(0), "");
  EXPECT_EQ(buttonText(BtnYes | BtnNo), "");
  EXPECT_EQ(buttonText(256), "");
}

TEST_F(RuntimeTest, BarsAndLineBreaksStartNewLines) { EXPECT_EQ(messageLines("a|b\r\nc\nd\re"), "a\nb\nc\nd\ne"); }

// What the box holds while it is up: "class:text" per child, the font and the default button.
std::vector<std::string> gChildren;
std::string gFont;
platform::LRESULT gDefault = 0;

void snapshotBox(platform::HWND box) {
  using namespace platform;
  ASSERT_EQ(GetClassNameA(box), "#32770");
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    gChildren.push_back(GetClassNameA(c) + ":" + GetWindowTextString(c));
  gFont = FontFace(reinterpret_cast<HFONT>(SendMessageA(GetWindow(box, GW_CHILD), WM_GETFONT, 0, 0)));
  gDefault = SendMessageA(box, DM_GETDEFID, 0, 0);
}

TEST_F(RuntimeTest, TheBoxIsADialogOfPlatformControlsInTheHelvFont) {
  // A message queued before the box opens reaches a test window from the box's own loop, while
  // the box is up and before the script presses its button.
  constexpr platform::UINT kLook = platform::WM_USER + 5;
  platform::testing::setHook([](platform::HWND, platform::UINT m, platform::WPARAM, platform::LPARAM) -> std::optional<platform::LRESULT> {
    if (m == kLook) snapshotBox(platform::GetActiveWindow());
    return std::nullopt;
  });
  platform::PostMessageA(platform::testing::createTestWindow(), kLook, 0, 0);
  script("press Retry\n");
  MessageBoxRequest r;
  r.text = "Disk not ready";
  r.caption = "Drive A";
  r.icon = MessageIcon::Exclamation;
  r.buttons = BtnHelp | BtnCancel | BtnRetry;
  r.defaultButton = BtnHelp;
  ::testing::internal::CaptureStderr();
  const unsigned answer = RuntimeMessageBox(r);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, BtnRetry);
  EXPECT_EQ(gChildren, (std::vector<std::string>{"static:", "static:Disk not ready", "button:&Retry", "button:Cancel", "button:&Help"}));
  EXPECT_EQ(gFont, "Helv");
  EXPECT_EQ(platform::LOWORD(platform::WPARAM(gDefault)), platform::IDHELP);
}

unsigned gHookCalls = 0;
unsigned answerIgnore(const MessageBoxRequest& r) {
  ++gHookCalls;
  return r.buttons & BtnIgnore;
}

TEST_F(RuntimeTest, AnInstalledMessageHookReplacesTheBox) {
  gHookCalls = 0;
  const MessageHook before = SetMessageHook(answerIgnore);
  ::testing::internal::CaptureStderr();
  const unsigned answer = RuntimeMessageBox({"x", "y", MessageIcon::None, BtnAbort | BtnIgnore, BtnAbort, 0});
  const std::string log = ::testing::internal::GetCapturedStderr();
  SetMessageHook(before);
  EXPECT_EQ(answer, BtnIgnore);
  EXPECT_EQ(gHookCalls, 1u);
  EXPECT_EQ(log.find("dialog:"), std::string::npos);  // no box was shown
}

TEST_F(RuntimeTest, StopAnsweredWithIgnoreReturnsToTheCaller) {
  script("press Ignore\n");
  ::testing::internal::CaptureStderr();
  StopProgram("Halfway", true);
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("message box \"Stop\" \"Halfway\\nExit?\" -> \"Ignore\""), std::string::npos) << log;
}

bool gStopFlag = false;
TEST_F(RuntimeTest, AStopHookIsCalledWithTheFlagInsteadOfTheBox) {
  const StopHook before = SetStopHook([](bool flag) { gStopFlag = flag; });
  StopProgram("never shown", true);
  SetStopHook(before);
  EXPECT_TRUE(gStopFlag);
}

using ProgramEndDeathTest = RuntimeTest;

TEST_F(ProgramEndDeathTest, StopAnsweredWithAbortEndsTheProgramWithZero) {
  EXPECT_EXIT(
      {
        script("press Abort\n");
        StopProgram("Stopping", false);
        std::fputs("returned\n", stderr);
        std::_Exit(9);
      },
      ::testing::ExitedWithCode(0), "message box \"Stop\" \"Stopping\" -> \"Abort\"");
}

TEST_F(ProgramEndDeathTest, StopTakesAbortWhenNobodyAnswers) {
  EXPECT_EXIT(StopProgram("", true), ::testing::ExitedWithCode(0), "message box \"Stop\" \"Exit\\?\" -> \"Abort\" \\(default\\)");
}

TEST_F(ProgramEndDeathTest, HaltShowsItsTextThenEndsWithItsCode) {
  EXPECT_EXIT(HaltProgram(7, "Out of paper"), ::testing::ExitedWithCode(7), "message box \"Halt\" \"Out of paper\" -> \"OK\"");
  EXPECT_EXIT(
      {
        SetHaltHook([](int code) { std::fprintf(stderr, "halt hook %d\n", code); });
        HaltProgram(5, "not shown");
      },
      ::testing::ExitedWithCode(5), "halt hook 5");
}

TEST_F(ProgramEndDeathTest, RuntimeErrorShowsTextAndDetailThenEndsWithTwo) {
  EXPECT_EXIT(RuntimeErrorReport(RuntimeError::WindowAlreadyOpen, "X"), ::testing::ExitedWithCode(kRuntimeErrorExitCode),
              "message box \"Runtime error\" \"Window is already open : X\\\\nDo you want to GPF\\?\" -> \"No\" "
              "\\(default\\)");
  // Yes ends the program with the same code and leaves the error in the diagnostic log.
  EXPECT_EXIT(
      {
        SetDiagnosticLogName(::testing::TempDir() + "gpf.log");
        script("press Yes\n");
        RuntimeErrorReport(RuntimeError::WindowNotOpen);
      },
      ::testing::ExitedWithCode(kRuntimeErrorExitCode), "-> \"Yes\"");
  std::ifstream log(::testing::TempDir() + "gpf.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str(), "Runtime error: Window is not open\r\n");
}

TEST_F(ProgramEndDeathTest, TheErrorHookReplacesTheBoxOnlyWhilePostingIsAllowed) {
  EXPECT_EXIT(
      {
        SetErrorHook([](int n, std::string_view text) { std::fprintf(stderr, "hook %d %.*s\n", n, int(text.size()), text.data()); });
        RuntimeErrorReport(RuntimeError::AcceptWithoutWindow);
      },
      ::testing::ExitedWithCode(2), "hook 537 ACCEPT loop requires a window");
  EXPECT_EXIT(
      {
        SetErrorHook([](int, std::string_view) { std::fputs("hook called\n", stderr); });
        DisallowPosting();
        RuntimeErrorReport(RuntimeError::AcceptWithoutWindow);
      },
      ::testing::ExitedWithCode(2), "message box \"Runtime error\" \"ACCEPT loop requires a window");
}

}  // namespace
}  // namespace tamsil::testing
