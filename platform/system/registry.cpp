#include "platform/system/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/system/detail/atomic_file.h"
#include "platform/system/detail/file_lock.h"
#include "platform/system/detail/registry_store.h"
#include "platform/system/last_error.h"
#include "platform/system/profile.h"

namespace platform {

namespace {

constexpr const char* kFile = "registry.dat";

// What a file's contents are known by: the file (device and inode) and its size and change time.
// Files are replaced whole, never written in place, so the same identity means the same text; the
// descriptor stays open so that the inode cannot be freed and given to a later file.
struct FileIdentity {
  int fd = -1;  // -1: no file was there
  struct stat st {};

  FileIdentity() = default;
  FileIdentity(FileIdentity&& o) noexcept { *this = std::move(o); }
  FileIdentity& operator=(FileIdentity&& o) noexcept {
    std::swap(fd, o.fd);
    std::swap(st, o.st);
    return *this;
  }
  ~FileIdentity() {
    if (fd >= 0) ::close(fd);
  }

  // Whether the file at path is still the one this identity was taken from.
  bool matches(const std::filesystem::path& path) const {
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0) return fd < 0 && errno == ENOENT;
    return fd >= 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino && now.st_size == st.st_size &&
           now.st_mtim.tv_sec == st.st_mtim.tv_sec && now.st_mtim.tv_nsec == st.st_mtim.tv_nsec && now.st_ctim.tv_sec == st.st_ctim.tv_sec &&
           now.st_ctim.tv_nsec == st.st_ctim.tv_nsec;
  }
};

// The whole text of the file at path, with the identity it was read under. A missing file, or
// something that is not a regular file, reads as empty; it is opened without waiting, so a pipe
// with no writer cannot block.
std::pair<std::string, FileIdentity> readWithIdentity(const std::filesystem::path& path) {
  std::pair<std::string, FileIdentity> out;
  FileIdentity& id = out.second;
  id.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (id.fd < 0) return out;
  if (::fstat(id.fd, &id.st) != 0 || !S_ISREG(id.st.st_mode)) return out;
  char buf[65536];
  for (off_t at = 0;;) {
    const ssize_t n = ::pread(id.fd, buf, sizeof buf, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.first.append(buf, size_t(n));
    at += n;
  }
  return out;
}

// The process's registry: the store as read from the user's file, kept up to date with it, and
// open key handles (registry numbers, so a closed handle is simply unknown). Several processes
// share the file: every change is made under the file's lock on the latest contents and written
// through at once, and every access first reads the file again if another process replaced it.
struct Registry {
  std::mutex mutex;
  std::optional<std::filesystem::path> loadedFrom;
  FileIdentity loaded;  // the file the store was last read from or written to
  detail::RegistryStore store;
  std::map<std::uintptr_t, std::string> open;  // handle to key path
  std::uintptr_t next = 0x1000;

  // Brings the store up to date with the user's file. A changed profile directory is another
  // registry altogether, so its handles go.
  void load() {
    const std::filesystem::path file = profilePath(kFile);
    if (loadedFrom != file) {
      loadedFrom = file;
      open.clear();
    } else if (loaded.matches(file)) {
      return;
    }
    adopt(file, std::nullopt);
  }

  // Takes the file's current contents as the store's, parsing them only when they differ from
  // `known` (the text the store already holds).
  void adopt(const std::filesystem::path& file, std::optional<std::string_view> known) {
    auto [text, id] = readWithIdentity(file);
    if (text != known) store.parse(text);
    loaded = std::move(id);
  }

  // Writes the store through; the caller holds the file's lock and made its change on contents
  // loaded under that lock.
  bool save() {
    const std::filesystem::path file = profilePath(kFile);
    const std::string text = store.serialize();
    if (!detail::writeFileAtomically(file, text, true)) return false;
    adopt(file, text);
    return true;
  }

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

enum class Access {
  kRead,    // the latest contents, read without waiting for writers (files are replaced whole)
  kChange,  // holds the file's lock from loading the latest contents until the change is written
};

// Runs f(registry, key) for the key a handle stands for, under the registry's lock (and the
// file's, for a change); an unknown handle or a key deleted while open gives the platform's error
// instead, as does a file that cannot be locked for a change.
template <class F>
LONG onKey(HKEY key, Access access, F&& f) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::optional<detail::FileLock> fileLock;
  if (access == Access::kChange && !fileLock.emplace(profilePath(kFile)).held()) return LONG(ERROR_ACCESS_DENIED);
  r.load();
  auto path = r.pathOf(key);
  if (!path) return LONG(ERROR_INVALID_HANDLE);
  detail::RegistryKey* k = r.store.find(*path);
  if (!k) return LONG(ERROR_BADKEY);
  return f(r, *k);
}

// Runs f(registry, path) for the path of a subkey under a handle, locked as onKey does; an
// unknown handle or a malformed subkey gives the platform's error instead.
template <class F>
LONG onSubKey(HKEY key, const char* subKey, Access access, F&& f) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::optional<detail::FileLock> fileLock;
  if (access == Access::kChange && !fileLock.emplace(profilePath(kFile)).held()) return LONG(ERROR_ACCESS_DENIED);
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
  return onSubKey(key, subKey, Access::kRead, [&](Registry& r, const std::string& path) {
    detail::RegistryKey* k = r.store.find(path);
    if (!k) return LONG(ERROR_FILE_NOT_FOUND);
    *result = r.handleFor(k->path);
    return LONG(ERROR_SUCCESS);
  });
}

LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD, char*, DWORD, DWORD, void*, HKEY* result, DWORD* disposition) {
  if (!result) return LONG(ERROR_INVALID_PARAMETER);
  return onSubKey(key, subKey, Access::kChange, [&](Registry& r, const std::string& path) {
    auto [k, created] = r.store.create(path);
    if (!k) return LONG(ERROR_BADKEY);
    if (created && !r.save()) {
      r.store.remove(path);
      return LONG(ERROR_ACCESS_DENIED);
    }
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    // Saving takes the file back as written and may parse it into a new store, which would leave
    // k pointing at a freed key: the key is looked up again.
    const detail::RegistryKey* saved = created ? r.store.find(path) : k;
    *result = r.handleFor(saved ? saved->path : path);
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
  return onKey(key, Access::kRead, [&](Registry&, detail::RegistryKey& k) {
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
  return onKey(key, Access::kChange, [&](Registry& r, detail::RegistryKey& k) {
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
  return onKey(key, Access::kChange, [&](Registry& r, detail::RegistryKey& k) {
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
  return onSubKey(key, subKey, Access::kChange, [&](Registry& r, const std::string& path) {
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
  return onKey(key, Access::kRead, [&](Registry&, detail::RegistryKey& k) {
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
