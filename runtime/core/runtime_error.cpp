#include "runtime/core/runtime_error.h"

#include <cstdio>

namespace tamsil {

namespace {

struct ErrorText {
  int number;
  const char* text;
};

// The window layer's errors.
constexpr ErrorText kTexts[] = {
    {526, "Unable to open APPLICATION (APPLICATION already active)"},
    {527, "Unable to open APPLICATION (system is MODAL)"},
    {528, "Unable to open APPLICATION"},
    {529, "Unable to open WINDOW"},
    {530, "Unable to open MDI window (No APPLICATION active)"},
    {531, "Unable to open MDI window (system is MODAL)"},
    {532, "Unable to open MDI window on APPLICATION's thread"},
    {533, "Unable to open MDI WINDOW"},
    {534, "Too many keystrokes PRESSed"},
    {535, "Window is already open"},
    {536, "Window is not open"},
    {537, "ACCEPT loop requires a window"},
    {538, "PRINT must only be called for reports"},
    {539, "ENDPAGE must only be called for reports"},
    {540, "Unable to process ACCEPT (system is MODAL)"},
    {541, "Unable to create control (system is MODAL)"},
    {542, "Unable to complete operation (system is MODAL)"},
    {543, "Slider controls are only available in 32-bit programs"},
    {544, "Too Many VBX Hooks"},
    {545, "Attempt to execute a modal event for not current thread"},
};

}  // namespace

std::string RuntimeErrorText(int number) {
  for (const ErrorText& e : kTexts)
    if (e.number == number) return e.text;
  char buf[40];
  if (number >= 501 && number <= 515) std::snprintf(buf, sizeof buf, "Internal error %02d", number - 500);
  else std::snprintf(buf, sizeof buf, "Runtime error %d", number);
  return buf;
}

std::string RuntimeErrorLine(int number, std::string_view detail) {
  std::string line = RuntimeErrorText(number);
  if (!detail.empty()) line += " : " + std::string(detail);
  return line;
}

}  // namespace tamsil
