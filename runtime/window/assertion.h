// Internal assertions of the runtime: a failed one writes "Assertion failed: CONDITION\r\nFile
// FILE Line N" to the diagnostic log and then ends the program as runtime error 501 with that text
// as the detail. They guard the runtime's own invariants, never a program's input.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

[[noreturn]] void AssertionFailed(std::string_view condition, std::string_view file, int line);

// The text an assertion writes.
std::string assertionText(std::string_view condition, std::string_view file, int line);

}  // namespace tamsil

#define TSL_ASSERT(condition) ((condition) ? static_cast<void>(0) : ::tamsil::AssertionFailed(#condition, __FILE__, __LINE__))
