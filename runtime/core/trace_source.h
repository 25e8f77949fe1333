// Where the file drivers read their trace settings: a process-wide choice of a settings file, a
// location (a registry key) and whether the location is used. The program makes it through three
// runtime properties of the window layer (TraceSettingsFile, TraceSettingsLocation,
// TraceUseLocation); the file layer reads it (runtime/file/trace_settings.h). It lives in the core
// so that both reach it.
#pragma once

#include <string>

namespace tamsil {

struct TraceSource {
  std::string settingsFile;  // a profile file; empty: "win.ini"
  std::string location;      // a registry location ("HKEY_CURRENT_USER\Software\X")
  bool useLocation = false;  // read the location rather than the file
};

// Both under one lock: a change is seen whole by the next driver that reads its settings.
void setTraceSource(TraceSource source);
TraceSource traceSource();

}  // namespace tamsil
