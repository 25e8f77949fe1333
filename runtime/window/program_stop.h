// Ending the program from inside it: the STOP question, HALT with a message, and the report of a
// runtime error. Each can be replaced by a hook the program installs.
#pragma once

#include <string_view>

#include "runtime/core/runtime_error.h"

namespace tamsil {

// Shows `text` (and "Exit?" on a line of its own when `exitQuestion` is set) under the caption
// "Stop" with Abort (the default) and Ignore and a stop icon. Abort ends the program with exit
// code 0; Ignore returns. An installed stop hook is called with the flag instead, and returns.
void StopProgram(std::string_view text, bool exitQuestion);

// Shows `text`, when there is one, under the caption "Halt" with OK and a stop icon, then ends
// the program through Halt with `exitCode`. An installed halt hook is called with the exit code
// instead of the box. Like Halt it returns only on a thread other than the first (the first
// thread is asked to halt) or while a halt is already under way.
void HaltProgram(int exitCode, std::string_view text = {});

// Reports a runtime error and ends the program with exit code 2, whatever the answer. The text is
// the error's text from the runtime's table, then " : " and the detail when one is given. While
// posting is still allowed an installed error hook gets the number instead of the box; otherwise
// the "Runtime error" box asks "Do you want to GPF?" (Yes, No; No the default). Yes writes the
// error to the diagnostic log before the program ends; it never crashes the process.
[[noreturn]] void RuntimeErrorReport(RuntimeError error, std::string_view detail = {});

// Hooks; installing returns the hook installed before, null removes it.
using StopHook = void (*)(bool exitQuestion);
using HaltHook = void (*)(int exitCode);
using ErrorHook = void (*)(int number, std::string_view text);
StopHook SetStopHook(StopHook hook);
HaltHook SetHaltHook(HaltHook hook);
ErrorHook SetErrorHook(ErrorHook hook);
StopHook CurrentStopHook();
HaltHook CurrentHaltHook();
ErrorHook CurrentErrorHook();

inline constexpr int kRuntimeErrorExitCode = 2;

}  // namespace tamsil
