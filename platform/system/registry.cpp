#include "platform/system/registry.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>

#include "platform/system/detail/atomic_file.h"
#include "platform/system/detail/registry_store.h"
#include "platform/system/last_error.h"
#include "platform/system/profile.h"

namespace platform {

namespace {

constexpr const char* kFile = "registry.dat";

// The process's registry: the store read from the user's file on first use, and open key handles
// (registry numbers, so a closed handle is simply unknown).
struct Registry {
  std::mutex mutex;
  std::optional<std::filesystem::path> loadedFrom;
  detail::RegistryStore store;
  std::map<std::uintptr_t, std::string> open;  // handle to key path
  std::uintptr_t next = 0x1000;

  // Reads the user's file on first use, and again whenever the profile directory has changed.
  void load() {
    const std::filesystem::path file = profilePath(kFile);
    if (loadedFrom == file) return;
    loadedFrom = file;
    open.clear();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    store.parse(text.str());
  }

  bool save() { return detail::writeFileAtomically(profilePath(kFile), store.serialize()); }

  // The path of a handle: one of the four roots, or an open key.
  std::optional<std::string> pathOf(HKEY key) {
    const auto h = reinterpret_cast<std::uintptr_t>(key);
    static constexpr const char* kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    if (h >= 0x80000000u && h <= 0x80000003u) return kRoots[h - 0x80000000u];
    auto it = open.find(h);
    if (it == open.end()) return std::nullopt;
    return it->second;
  }

  HKEY handleFor(const std::string& path) {
    open[next] = path;
    return reinterpret_cast<HKEY>(next++);
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

// Joins a parent path and a relative subkey ("A\B" + "C\D"); nullopt for a malformed subkey.
std::optional<std::string> join(const std::string& parent, const char* subKey) {
  if (!subKey || !*subKey) return parent;
  std::string_view sub(subKey);
  // A line break would end the key's heading line in the registry file.
  if (sub.front() == '\\' || sub.back() == '\\' || sub.find("\\\\") != std::string_view::npos ||
      sub.find_first_of("\r\n") != std::string_view::npos)
    return std::nullopt;
  return parent + "\\" + std::string(sub);
}

// Runs f(registry, key) for the key a handle stands for, under the registry's lock; an unknown
// handle or a key deleted while open gives the platform's error instead.
template <class F>
LONG onKey(HKEY key, F&& f) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.load();
  auto path = r.pathOf(key);
  if (!path) return LONG(ERROR_INVALID_HANDLE);
  detail::RegistryKey* k = r.store.find(*path);
  if (!k) return LONG(ERROR_BADKEY);
  return f(r, *k);
}

// Runs f(registry, path) for the path of a subkey under a handle, under the registry's lock; an
// unknown handle or a malformed subkey gives the platform's error instead.
template <class F>
LONG onSubKey(HKEY key, const char* subKey, F&& f) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.load();
  auto parent = r.pathOf(key);
  if (!parent) return LONG(ERROR_INVALID_HANDLE);
  auto path = join(*parent, subKey);
  if (!path) return LONG(ERROR_BADKEY);
  return f(r, *path);
}

LONG copyOut(std::string_view text, char* name, DWORD* size) {
  if (!size) return LONG(ERROR_INVALID_PARAMETER);
  if (!name || *size <= text.size()) {
    *size = DWORD(text.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, text.data(), text.size());
  name[text.size()] = '\0';
  *size = DWORD(text.size());
  return LONG(ERROR_SUCCESS);
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, DWORD, HKEY* result) {
  if (!result) return LONG(ERROR_INVALID_PARAMETER);
  return onSubKey(key, subKey, [&](Registry& r, const std::string& path) {
    detail::RegistryKey* k = r.store.find(path);
    if (!k) return LONG(ERROR_FILE_NOT_FOUND);
    *result = r.handleFor(k->path);
    return LONG(ERROR_SUCCESS);
  });
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, DWORD, void*, HKEY* result, DWORD* disposition) {
  if (!result) return LONG(ERROR_INVALID_PARAMETER);
  return onSubKey(key, subKey, [&](Registry& r, const std::string& path) {
    auto [k, created] = r.store.create(path);
    if (!k) return LONG(ERROR_BADKEY);
    if (created && !r.save()) {
      r.store.remove(path);
      return LONG(ERROR_ACCESS_DENIED);
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = r.handleFor(k->path);
    return LONG(ERROR_SUCCESS);
  });
}

LONG RegCloseKey(HKEY key) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto h = reinterpret_cast<std::uintptr_t>(key);
  if (h >= 0x80000000u && h <= 0x80000003u) return LONG(ERROR_SUCCESS);
  return r.open.erase(h) ? LONG(ERROR_SUCCESS) : LONG(ERROR_INVALID_HANDLE);
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  return onKey(key, [&](Registry&, detail::RegistryKey& k) {
    auto it = k.values.find(detail::lowerCase(valueName ? valueName : ""));
    if (it == k.values.end()) return LONG(ERROR_FILE_NOT_FOUND);
    const detail::RegistryValue& v = it->second;
    if (type) *type = v.type;
    if (!size) return data ? LONG(ERROR_INVALID_PARAMETER) : LONG(ERROR_SUCCESS);
    const DWORD room = *size;
    *size = DWORD(v.data.size());
    if (!data) return LONG(ERROR_SUCCESS);
    if (room < v.data.size()) return ERROR_MORE_DATA;
    std::memcpy(data, v.data.data(), v.data.size());
    return LONG(ERROR_SUCCESS);
  });
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (!data && size) return LONG(ERROR_INVALID_PARAMETER);
  if (type == REG_DWORD && size != 4) return LONG(ERROR_INVALID_PARAMETER);
  return onKey(key, [&](Registry& r, detail::RegistryKey& k) {
    detail::RegistryValue v;
    v.name = valueName ? valueName : "";
    v.type = type;
    if (data) v.data.assign(data, data + size);
    // A text stored without its terminating NUL gets one, as the real platform adds it.
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && (v.data.empty() || v.data.back() != 0)) v.data.push_back(0);
    const std::string lower = detail::lowerCase(v.name);
    auto previous = k.values.find(lower);
    std::optional<detail::RegistryValue> old;
    if (previous != k.values.end()) old = previous->second;
    k.values[lower] = std::move(v);
    if (r.save()) return LONG(ERROR_SUCCESS);
    if (old) k.values[lower] = *old;
    else k.values.erase(lower);
    return LONG(ERROR_ACCESS_DENIED);
  });
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
  return onKey(key, [&](Registry& r, detail::RegistryKey& k) {
    auto it = k.values.find(detail::lowerCase(valueName ? valueName : ""));
    if (it == k.values.end()) return LONG(ERROR_FILE_NOT_FOUND);
    const detail::RegistryValue old = it->second;
    k.values.erase(it);
    if (r.save()) return LONG(ERROR_SUCCESS);
    k.values[detail::lowerCase(old.name)] = old;
    return LONG(ERROR_ACCESS_DENIED);
  });
}

LONG RegDeleteKeyA(HKEY key, const char* subKey) {
  if (!subKey || !*subKey) return LONG(ERROR_ACCESS_DENIED);  // a key does not delete itself
  return onSubKey(key, subKey, [&](Registry& r, const std::string& path) {
    detail::RegistryKey* k = r.store.find(path);
    if (!k) return LONG(ERROR_FILE_NOT_FOUND);
    if (!r.store.children(path).empty()) return LONG(ERROR_ACCESS_DENIED);
    const detail::RegistryKey old = *k;
    r.store.remove(path);
    if (r.save()) return LONG(ERROR_SUCCESS);
    *r.store.create(old.path).first = old;
    return LONG(ERROR_ACCESS_DENIED);
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char*, DWORD*, void*) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.load();
  auto path = r.pathOf(key);
  if (!path) return LONG(ERROR_INVALID_HANDLE);
  const auto kids = r.store.children(*path);
  if (index >= kids.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& full = kids[index]->path;
  return copyOut(std::string_view(full).substr(full.rfind('\\') + 1), name, nameSize);
}

LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, DWORD* type, BYTE* data, DWORD* dataSize) {
  return onKey(key, [&](Registry&, detail::RegistryKey& k) {
    if (index >= k.values.size()) return ERROR_NO_MORE_ITEMS;
    const detail::RegistryValue& v = std::next(k.values.begin(), std::ptrdiff_t(index))->second;
    if (const LONG rc = copyOut(v.name, name, nameSize); rc != LONG(ERROR_SUCCESS)) return rc;
    if (type) *type = v.type;
    if (dataSize) {
      const DWORD room = *dataSize;
      *dataSize = DWORD(v.data.size());
      if (data) {
        if (room < v.data.size()) return ERROR_MORE_DATA;
        std::memcpy(data, v.data.data(), v.data.size());
      }
    }
    return LONG(ERROR_SUCCESS);
  });
}

}  // namespace platform
