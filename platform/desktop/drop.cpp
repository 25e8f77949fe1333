#include "platform/desktop/drop.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/messages.h"
#include "platform/window/window.h"

namespace platform {

namespace {

struct Drop {
  POINT at;
  std::vector<std::string> files;
};

// Drops by handle number; a freed or forged handle finds nothing.
struct Drops {
  std::mutex mutex;
  std::map<std::uintptr_t, Drop> byHandle;
  std::uintptr_t next = 1;
};

Drops& drops() {
  static Drops d;
  return d;
}

}  // namespace

namespace detail {

HDROP makeDrop(POINT at, std::vector<std::string> files) {
  Drops& d = drops();
  std::lock_guard lock(d.mutex);
  const std::uintptr_t handle = d.next++;
  d.byHandle[handle] = {at, std::move(files)};
  return reinterpret_cast<HDROP>(handle);
}

}  // namespace detail

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  const LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, accept ? ex | WS_EX_ACCEPTFILES : ex & ~LONG_PTR(WS_EX_ACCEPTFILES));
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size) {
  Drops& d = drops();
  std::lock_guard lock(d.mutex);
  const auto it = d.byHandle.find(reinterpret_cast<std::uintptr_t>(drop));
  if (it == d.byHandle.end()) return 0;
  const std::vector<std::string>& files = it->second.files;
  if (index == 0xFFFFFFFF) return UINT(files.size());
  if (index >= files.size()) return 0;
  const std::string& name = files[index];
  if (buffer && size > 0) {
    const size_t n = std::min<size_t>(name.size(), size - 1);
    std::memcpy(buffer, name.data(), n);
    buffer[n] = 0;
  }
  return UINT(name.size());
}

BOOL DragQueryPoint(HDROP drop, POINT* at) {
  Drops& d = drops();
  std::lock_guard lock(d.mutex);
  const auto it = d.byHandle.find(reinterpret_cast<std::uintptr_t>(drop));
  if (it == d.byHandle.end() || !at) return FALSE;
  *at = it->second.at;
  return TRUE;
}

void DragFinish(HDROP drop) {
  Drops& d = drops();
  std::lock_guard lock(d.mutex);
  d.byHandle.erase(reinterpret_cast<std::uintptr_t>(drop));
}

}  // namespace platform
