#include "platform/system/resource.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace platform {
namespace {

// A resource type or name: a number, or a text kept upper-cased so comparisons ignore case.
struct ResourceId {
  std::optional<WORD> number;
  std::string text;
  bool operator==(const ResourceId&) const = default;
};

std::string upperCased(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// "#123" names the number 123, as in Win32 resource scripts.
ResourceId idFromText(std::string_view s) {
  if (s.size() > 1 && s[0] == '#') {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(s.data() + 1, s.data() + s.size(), value);
    if (ec == std::errc() && end == s.data() + s.size() && value <= 0xFFFF) return {WORD(value), {}};
  }
  return {std::nullopt, upperCased(s)};
}

ResourceId idFromArgument(LPCSTR p) {
  if (IS_INTRESOURCE(p)) return {WORD(reinterpret_cast<std::uintptr_t>(p)), {}};
  return idFromText(p);
}

}  // namespace
}  // namespace platform

struct platform::HRSRC__ {
  ResourceId type;
  ResourceId name;
  WORD language;
  std::span<const unsigned char> bytes;
};

struct platform::HINSTANCE__ {
  std::string name;               // upper-cased; empty for the main module
  std::deque<HRSRC__> resources;  // a deque keeps handed-out handles valid while others are added
};

namespace platform {
namespace {

struct Registry {
  std::mutex lock;
  std::deque<HINSTANCE__> modules;
  Registry() { modules.push_back({}); }
};

// Built on first use: generated registrars run during static initialisation in any order.
Registry& registry() {
  static Registry r;
  return r;
}

HINSTANCE__* findModule(Registry& r, std::string_view upperName) {
  for (HINSTANCE__& m : r.modules)
    if (m.name == upperName) return &m;
  return nullptr;
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  Registry& r = registry();
  std::lock_guard guard(r.lock);
  if (moduleName == nullptr) return &r.modules.front();
  const std::string name = upperCased(moduleName);
  return name.empty() ? nullptr : findModule(r, name);
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
  if (!buffer || size == 0 || (module && module != GetModuleHandleA(nullptr))) return 0;
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || size_t(n) >= sizeof path) return buffer[0] = '\0', 0;
  const DWORD copied = std::min(DWORD(n), size - 1);
  std::memcpy(buffer, path, copied);
  buffer[copied] = '\0';
  return copied;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (name == nullptr || type == nullptr) return nullptr;
  const ResourceId wantedName = idFromArgument(name);
  const ResourceId wantedType = idFromArgument(type);
  Registry& r = registry();
  std::lock_guard guard(r.lock);
  HINSTANCE__& m = module ? *module : r.modules.front();
  for (HRSRC__& res : m.resources)
    if (res.type == wantedType && res.name == wantedName) return &res;
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  if (resource == nullptr) return nullptr;
  return const_cast<unsigned char*>(resource->bytes.data());
}

const void* LockResource(HGLOBAL loaded) { return loaded; }

DWORD SizeofResource(HMODULE, HRSRC resource) { return resource ? DWORD(resource->bytes.size()) : 0; }

HMODULE RegisterModule(std::string_view name) {
  Registry& r = registry();
  std::lock_guard guard(r.lock);
  const std::string upper = upperCased(name);
  if (HINSTANCE__* existing = findModule(r, upper)) return existing;
  r.modules.push_back({upper, {}});
  return &r.modules.back();
}

bool AddResource(HMODULE module, std::string_view type, std::string_view name, std::span<const unsigned char> bytes, WORD language) {
  if (type.empty() || name.empty()) return false;
  Registry& r = registry();
  std::lock_guard guard(r.lock);
  HINSTANCE__& m = module ? *module : r.modules.front();
  m.resources.push_back({idFromText(type), idFromText(name), language, bytes});
  return true;
}

std::vector<HMODULE> RegisteredModules() {
  Registry& r = registry();
  std::lock_guard guard(r.lock);
  std::vector<HMODULE> out;
  for (HINSTANCE__& m : r.modules) out.push_back(&m);
  return out;
}

ResourceRegistrar::ResourceRegistrar(std::string_view type, std::string_view name, std::span<const unsigned char> bytes) {
  AddResource(nullptr, type, name, bytes);
}

}  // namespace platform
