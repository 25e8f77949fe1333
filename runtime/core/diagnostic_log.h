// The runtime's diagnostic log: one line per report (assertions, heap reports, message traces),
// appended to "R41LOG.TXT" in the working directory. The first line of a run starts the file
// afresh, so a log never mixes runs; every line opens the file, appends and closes it again, so
// the lines written before a crash are on disk.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

inline constexpr std::string_view kDefaultDiagnosticLog = "R41LOG.TXT";

// Appends one line (ended with "\r\n") under the log's lock. When the profile key "auxtrace" of
// section "Tamsil" in win.ini has a value, the line also goes to the auxiliary device, which on
// this system is stderr ("aux: " and the line).
void DiagnosticLine(std::string_view line);

// Changes the log's file name; an empty name turns the log off. The first line written under a
// new name starts that file afresh as well.
void SetDiagnosticLogName(std::string name);
std::string DiagnosticLogName();

// For tests: a new run (the next line starts the file afresh; auxtrace is read again).
void ResetDiagnosticLogForTests();

}  // namespace tamsil
