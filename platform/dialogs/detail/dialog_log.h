// Dialogs with nobody to see them (headless, or a scripted run) are written to stderr, one line
// each with what was shown and the answer taken, so tests and reviewers can follow the run.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// True when no person answers dialogs: a non-interactive backend or a running script.
bool unattended();
void logDialog(std::string_view line);
// A text quoted for a log line: double quotes around, control characters escaped.
std::string quoted(std::string_view text);

}  // namespace platform::detail
