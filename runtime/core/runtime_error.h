// Runtime errors: numbered programming errors inside the runtime that end the program. This is the
// runtime's string table for them; the report itself (RuntimeErrorReport, which shows the
// runtime's message box) belongs to the window layer, runtime/window/program_stop.h.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

// The text of a runtime error number: "Window is already open" for 535, "Internal error 02" for
// 502; an unknown number gives "Runtime error N".
std::string RuntimeErrorText(int number);

// The line shown for an error: the text, then " : " and the detail when there is one.
std::string RuntimeErrorLine(int number, std::string_view detail);

}  // namespace tamsil
