#include "runtime/file/trace_settings.h"

#include <cstdlib>
#include <mutex>

#include "platform/profile.h"

namespace tamsil::file {

namespace {

constexpr std::string_view kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                       "HKEY_USERS"};
constexpr std::size_t kMaxTraceFile = 260;

struct State {
  std::mutex mutex;
  TraceSource source;
  RegistryReader registry;
};

State& state() {
  static State s;
  return s;
}

bool isOn(const std::optional<std::string>& value) {
  return value && std::strtol(value->c_str(), nullptr, 10) != 0;
}

}  // namespace

void setTraceSource(TraceSource source) {
  std::lock_guard lock(state().mutex);
  state().source = std::move(source);
}

TraceSource traceSource() {
  std::lock_guard lock(state().mutex);
  return state().source;
}

std::string traceSourceFlagText() { return traceSource().useLocation ? "1" : ""; }

void setRegistryReader(RegistryReader reader) {
  std::lock_guard lock(state().mutex);
  state().registry = std::move(reader);
}

std::optional<std::pair<std::string, std::string>> splitRegistryLocation(std::string_view location) {
  for (std::string_view root : kRoots)
    if (location.size() > root.size() && location.substr(0, root.size()) == root && location[root.size()] == '\\')
      return std::pair{std::string(root), std::string(location.substr(root.size() + 1))};
  return std::nullopt;
}

TraceSettings readTraceSettings(std::string_view driverName) {
  TraceSource source;
  RegistryReader registry;
  {
    std::lock_guard lock(state().mutex);
    source = state().source;
    registry = state().registry;
  }
  std::function<std::optional<std::string>(const char*)> read;
  const auto where = source.useLocation ? splitRegistryLocation(source.location) : std::nullopt;
  if (where) {
    std::string subkey = where->second;
    if (!subkey.empty() && subkey.back() != '\\') subkey += '\\';
    subkey += driverName;
    read = [&, subkey](const char* value) -> std::optional<std::string> {
      return registry ? registry(where->first, subkey, value) : std::nullopt;
    };
  } else {
    const std::string section = "TW" + std::string(driverName);
    const std::string file = source.settingsFile.empty() ? "win.ini" : source.settingsFile;
    read = [section, file](const char* key) -> std::optional<std::string> {
      char buffer[kMaxTraceFile + 1];
      // A default that no real value has tells "absent" from "empty".
      platform::GetPrivateProfileStringA(section.c_str(), key, "\x01", buffer, sizeof buffer, file.c_str());
      if (buffer[0] == '\x01') return std::nullopt;
      return std::string(buffer);
    };
  }
  TraceSettings s;
  s.on = isOn(read("Profile"));
  s.details = isOn(read("Details"));
  s.flush = isOn(read("Flush"));
  s.traceFile = read("TraceFile").value_or("");
  if (s.traceFile.empty()) s.traceFile = std::string(driverName) + ".LOG";
  s.traceFile.resize(std::min(s.traceFile.size(), kMaxTraceFile));
  return s;
}

}  // namespace tamsil::file
