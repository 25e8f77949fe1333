#include "runtime/file/trace_settings.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/system/profile.h"
#include "platform/system/registry.h"

namespace tamsil::file {

namespace {

constexpr std::string_view kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
constexpr std::size_t kMaxTraceFile = 260;

bool isOn(const std::optional<std::string>& value) { return value && std::strtol(value->c_str(), nullptr, 10) != 0; }

// A registry value as text: a string as stored, a number in decimal; nothing when absent.
std::optional<std::string> registryValue(std::string_view root, const std::string& subkey, const char* name) {
  platform::HKEY rootKey = nullptr;
  for (std::size_t i = 0; i < std::size(kRoots); ++i)
    if (root == kRoots[i]) rootKey = reinterpret_cast<platform::HKEY>(std::uintptr_t(0x80000000u + i));
  platform::HKEY key = nullptr;
  if (!rootKey || platform::RegOpenKeyExA(rootKey, subkey.c_str(), 0, platform::KEY_READ, &key) != 0) return std::nullopt;
  platform::DWORD type = 0, size = 0;
  std::optional<std::string> text;
  if (platform::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == 0) {
    std::string bytes(size, '\0');
    if (platform::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<platform::BYTE*>(bytes.data()), &size) == 0) {
      if (type == platform::REG_DWORD && size == 4) {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data(), 4);
        text = std::to_string(v);
      } else if (type == platform::REG_SZ || type == platform::REG_EXPAND_SZ) {
        text = bytes.substr(0, bytes.find('\0'));
      }
    }
  }
  platform::RegCloseKey(key);
  return text;
}

}  // namespace

std::string traceSourceFlagText() { return traceSource().useLocation ? "1" : ""; }

std::optional<std::pair<std::string, std::string>> splitRegistryLocation(std::string_view location) {
  for (std::string_view root : kRoots)
    if (location.size() > root.size() && location.substr(0, root.size()) == root && location[root.size()] == '\\')
      return std::pair{std::string(root), std::string(location.substr(root.size() + 1))};
  return std::nullopt;
}

TraceSettings readTraceSettings(std::string_view driverName) {
  const TraceSource source = traceSource();
  std::function<std::optional<std::string>(const char*)> read;
  const auto where = source.useLocation ? splitRegistryLocation(source.location) : std::nullopt;
  if (where) {
    std::string subkey = where->second;
    if (!subkey.empty() && subkey.back() != '\\') subkey += '\\';
    subkey += driverName;
    read = [root = where->first, subkey](const char* value) { return registryValue(root, subkey, value); };
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
