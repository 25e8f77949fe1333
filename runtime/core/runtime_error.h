// Runtime errors: numbered programming errors inside the runtime that end the program. The text
// comes from the runtime's string table; a detail word may follow.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

// The text of a runtime error number: "Window is already open" for 535, "Internal error 02" for
// 502; an unknown number gives "Runtime error N".
std::string RuntimeErrorText(int number);

// The line shown for an error: the text, then " : " and the detail when there is one.
std::string RuntimeErrorLine(int number, std::string_view detail);

// Reports the error to the user under the caption "Runtime error" and ends the program with exit
// code 2.
[[noreturn]] void RuntimeErrorReport(int number, std::string_view detail = {});

}  // namespace tamsil
