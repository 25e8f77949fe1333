#include "framework/ini/registry_text.h"

#include <vector>

#include "platform/system/last_error.h"
#include "platform/system/registry.h"

namespace tamsil::framework {

using namespace platform;

namespace {

constexpr LONG kFileNotFound = LONG(ERROR_FILE_NOT_FOUND);

// An open registry key, closed when it goes.
class OpenKey {
 public:
  OpenKey(std::uintptr_t root, std::string_view path, bool create) {
    const std::string sub(path);
    const HKEY parent = reinterpret_cast<HKEY>(root);
    status_ = create ? RegCreateKeyExA(parent, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr)
                     : RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &key_);
  }
  ~OpenKey() {
    if (status_ == 0) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  LONG status() const { return status_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG status_ = kFileNotFound;
};

}  // namespace

std::uintptr_t registryRoot(std::uint32_t extraData) { return extraData ? extraData : 0x80000000u; }

std::string readRegistryText(std::uintptr_t root, std::string_view key, std::string_view name) {
  const OpenKey k(root, key, false);
  if (k.status() != 0) return {};
  const std::string valueName(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(k.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != 0) return {};
  std::vector<BYTE> data(size);
  if (RegQueryValueExA(k.get(), valueName.c_str(), nullptr, &type, data.data(), &size) != 0) return {};
  data.resize(size);
  if (type == REG_DWORD && data.size() == 4)
    return std::to_string(std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24);
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

bool writeRegistryText(std::uintptr_t root, std::string_view key, std::string_view name, std::string_view value) {
  const OpenKey k(root, key, true);
  if (k.status() != 0) return false;
  std::string data(value);
  const std::string valueName(name);
  return RegSetValueExA(k.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1)) == 0;
}

bool deleteRegistryValue(std::uintptr_t root, std::string_view key, std::string_view name) {
  const OpenKey k(root, key, false);
  if (k.status() == kFileNotFound) return true;
  if (k.status() != 0) return false;
  const LONG status = RegDeleteValueA(k.get(), std::string(name).c_str());
  return status == 0 || status == kFileNotFound;
}

}  // namespace tamsil::framework
