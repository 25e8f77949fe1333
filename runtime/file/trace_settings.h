// Where driver trace settings come from. Three process-wide properties choose the source: a
// settings file name, a location and a flag. With the flag on and a location that starts with a
// registry root ("HKEY_CLASSES_ROOT\", "HKEY_CURRENT_USER\", "HKEY_LOCAL_MACHINE\",
// "HKEY_USERS\"), the values are read from the registry, in the subkey named after the driver
// under that location; otherwise from the settings file (a profile file; an empty name means
// "win.ini") in the section "TW" + driver name. The values: "Profile" (trace on), "Details"
// (declarations and records too), "Flush" (flush after every line), "TraceFile" (the log, at
// most 260 characters, default driver name + ".LOG").
// Registry values may be strings or numbers (REG_SZ, REG_DWORD).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/core/trace_source.h"

namespace tamsil::file {

struct TraceSettings {
  bool on = false;
  bool details = false;
  bool flush = false;
  std::string traceFile;
};

// The source itself is the core's (runtime/core/trace_source.h), set through runtime properties.
using tamsil::setTraceSource;
using tamsil::TraceSource;
using tamsil::traceSource;
// The flag read back as a property: "1" or empty.
std::string traceSourceFlagText();

// The registry root a location starts with, and the subkey after it; nullopt when the location
// names no root. "HKEY_CURRENT_USER\Software\X" gives {"HKEY_CURRENT_USER", "Software\X"}.
std::optional<std::pair<std::string, std::string>> splitRegistryLocation(std::string_view location);

// The settings of one driver from the current source.
TraceSettings readTraceSettings(std::string_view driverName);

}  // namespace tamsil::file
