// Runtime errors: numbered programming errors inside the runtime that end the program. This is the
// runtime's table of them (runtime_error_list.inc: number, name, text); the report itself
// (RuntimeErrorReport, which shows the runtime's message box) belongs to the window layer,
// runtime/window/program_stop.h.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

// The runtime's error numbers. The number is what programs see (the error hook, TSLMSG overrides).
enum class RuntimeError : int {
// An enumerator's name cannot stand in parentheses.
#define RUNTIME_ERROR(name, value, text) name = value,     // NOLINT(bugprone-macro-parentheses)
#define RUNTIME_INTERNAL_ERROR(name, value) name = value,  // NOLINT(bugprone-macro-parentheses)
#include "runtime/core/runtime_error_list.inc"
#undef RUNTIME_ERROR
#undef RUNTIME_INTERNAL_ERROR
};

// The text of a runtime error number: "Window is already open" for 535, "Internal error 02" for
// 502, the file error texts for the file and operating-system error numbers ("File Not Found" for
// 2 and 302); any other number gives "Runtime error N".
std::string RuntimeErrorText(int number);

// The line shown for an error: the text, then " : " and the detail when there is one.
std::string RuntimeErrorLine(int number, std::string_view detail);

}  // namespace tamsil
