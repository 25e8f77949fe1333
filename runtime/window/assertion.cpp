#include "runtime/window/assertion.h"

#include <string>

#include "runtime/core/diagnostic_log.h"
#include "runtime/window/program_stop.h"

namespace tamsil {

std::string assertionText(std::string_view condition, std::string_view file, int line) {
  return "Assertion failed: " + std::string(condition) + "\r\nFile " + std::string(file) + " Line " + std::to_string(line);
}

void AssertionFailed(std::string_view condition, std::string_view file, int line) {
  const std::string text = assertionText(condition, file, line);
  DiagnosticLine(text);
  RuntimeErrorReport(RuntimeError::AssertionFailed, text);
}

}  // namespace tamsil
