// System settings kept per user. The drag-full-windows switch lives in the user's "system.ini"
// (section "Desktop") in the profile directory, as the real platform keeps it in the user's
// desktop settings; a change without SPIF_UPDATEINIFILE lasts until the process ends.
#include "platform/desktop/system.h"

#include <mutex>
#include <optional>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/system/profile.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform {

namespace {

constexpr const char* kFile = "system.ini";
constexpr const char* kSection = "Desktop";
constexpr const char* kDragFullWindows = "DragFullWindows";

std::mutex& settingsMutex() {
  static std::mutex m;
  return m;
}

// The value set for this session only, when there is one.
std::optional<bool>& sessionValue() {
  static std::optional<bool> v;
  return v;
}

}  // namespace

BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni) {
  std::lock_guard lock(settingsMutex());
  switch (action) {
    case SPI_GETDRAGFULLWINDOWS: {
      if (!param) return FALSE;
      const bool on = sessionValue() ? *sessionValue() : GetPrivateProfileIntA(kSection, kDragFullWindows, 1, kFile) != 0;
      *static_cast<BOOL*>(param) = on ? TRUE : FALSE;
      return TRUE;
    }
    case SPI_SETDRAGFULLWINDOWS: {
      const bool on = uiParam != 0;
      if (winIni & SPIF_UPDATEINIFILE) {
        if (!WritePrivateProfileStringA(kSection, kDragFullWindows, on ? "1" : "0", kFile)) return FALSE;
        sessionValue().reset();
      } else {
        sessionValue() = on;
      }
      return TRUE;
    }
    default: return FALSE;
  }
}

BOOL QueryEndSession() {
  std::vector<HWND> asked;
  for (HWND h : detail::topLevelWindows())
    if (GetWindowThreadProcessId(h) == GetCurrentThreadId()) asked.push_back(h);
  bool ends = true;
  for (HWND h : asked)
    if (IsWindow(h) && !SendMessageA(h, WM_QUERYENDSESSION, 0, 0)) {
      ends = false;
      break;
    }
  for (HWND h : asked)
    if (IsWindow(h)) SendMessageA(h, WM_ENDSESSION, ends ? TRUE : FALSE, 0);
  return ends ? TRUE : FALSE;
}

}  // namespace platform
