// Scripted runs: a file of user actions, one per line, fed to the program whenever its message
// queue is empty, plus queued answers for the next dialogs. The grammar is in docs/scripting.md.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/queue/queue.h"

namespace platform::script {

struct Line {
  int number = 0;
  std::string verb;
  std::vector<std::string> args;  // menu path items, or the rest of the line as one argument
};

// Parses a whole script; every error is "FILE:LINE: message".
struct ParseResult {
  std::vector<Line> lines;
  std::vector<std::string> errors;
};
ParseResult parse(std::string_view text, std::string_view fileName);

// A control or menu text as a person reads it, which is how script lines name controls and menu
// items: no '&' marks, nothing from a tab on (the accelerator), no trailing "..." and no blanks
// around what is left. Two texts name the same item when these agree without case.
std::string visibleText(std::string_view text);

// Loads and parses a script file; errors as above (or one for an unreadable file).
ParseResult load(const std::string& path);

// Starts feeding the lines; replaces any script already running.
void start(std::vector<Line> lines, std::string fileName);
bool active();  // a script was started (it stays active after its last line, closing windows)
// Ends a script early; later idle passes do nothing (tests use it between cases).
void stop();
// A run with nobody to watch it and no script behaves as if an empty script had run: idle passes
// close the windows as a user would, so the run ends. The program's start sets this up.
void closeWindowsWhenIdle();

// Called by GetMessage when the thread's queue is empty. Performs the next action and returns
// true, or returns false when there is nothing to do right now. Only the thread that started the
// script (else the first thread) runs steps.
bool step();
// When the next step is due (a "wait" line, or the end of an idle run); nothing otherwise.
std::optional<std::chrono::steady_clock::time_point> nextStepAt();

// The scripted-input source as GetMessage's idle hook: the next step of pending user input (also
// a person's menu choice on the Qt backend), else the next script line. Program start installs it
// with SetIdleHook.
IdleHook idleHook();

// Queued answers for the next dialogs of a kind ("file", "save", "message", "print").
std::optional<std::string> takeAnswer(std::string_view kind);
// True once the script has no more lines to run: dialogs then take their default.
bool exhausted();
// Errors met while running (also written to stderr as "FILE:LINE: message").
int errorCount();

}  // namespace platform::script
