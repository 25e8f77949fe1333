// The runtime's own message box: a modal window the runtime builds from platform controls (a
// dialog frame, an icon, the text, one push button per flag), used by StopProgram, HaltProgram,
// the runtime error report and the framework's error reporter. It answers with the flag of the
// pressed button. A program can install a hook that replaces it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsil::window {

// Button flags; a request names its buttons as their sum.
inline constexpr unsigned BtnOk = 1, BtnYes = 2, BtnNo = 4, BtnAbort = 8, BtnRetry = 16, BtnIgnore = 32, BtnCancel = 64, BtnHelp = 128;

enum class MessageIcon { None, Stop, Question, Exclamation, Information };

// Style bits: SystemModal disables every window of the thread (not only the current one) while
// the box is up; CanCopy shows the text in a read-only edit so it can be selected and copied.
inline constexpr unsigned kMessageSystemModal = 1, kMessageCanCopy = 2;

struct MessageBoxRequest {
  std::string text;  // "|" and line breaks start new lines
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  unsigned buttons = BtnOk;    // 0 counts as OK alone
  unsigned defaultButton = 0;  // one of the buttons; otherwise the first
  unsigned style = 0;
};

// Shows the box (or calls the installed hook) and returns the flag of the pressed button. With
// nobody to answer (headless, or a script that has run out), the default button is taken; every
// box shown unattended is written to stderr as a "dialog: message box ..." line.
unsigned RuntimeMessageBox(const MessageBoxRequest& request);

// The fixed text of one button flag ("&Yes"), or the replacement caption the settings file gives
// for it (TSLBUTTON); empty for a value that is not a single flag.
std::string buttonText(unsigned flag);

// The text as the box lays it out: "|" and "\r\n" become "\n".
std::string messageLines(std::string_view text);

// The hook that replaces the box: it gets the request and answers with a button flag. Installing
// returns the hook that was installed before; null removes it.
using MessageHook = unsigned (*)(const MessageBoxRequest&);
MessageHook SetMessageHook(MessageHook hook);
MessageHook CurrentMessageHook();

}  // namespace tamsil::window
