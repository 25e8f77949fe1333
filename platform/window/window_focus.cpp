// Enabling, the keyboard focus and window activation, with their messages in platform order.
#include "platform/window/window.h"

#include <algorithm>

#include "platform/queue/detail/thread_state.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"

namespace platform {

using detail::findWindow;
using detail::notify;

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = findWindow(hwnd);
  if (!w) return FALSE;
  const bool wasDisabled = w->style & WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  {
    RecursiveLock lock(detail::modelMutex());
    w->style = enable ? (w->style & ~WS_DISABLED) : (w->style | WS_DISABLED);
  }
  if (!enable && GetFocus() == hwnd) SetFocus(nullptr);
  notify(hwnd, Change::Enabled);
  detail::deliver(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && !(w->style & WS_DISABLED);
}

HWND GetFocus() { return detail::currentThread().focus; }

HWND SetFocus(HWND hwnd) {
  auto& ts = detail::currentThread();
  const HWND old = ts.focus;
  if (hwnd) {
    auto w = findWindow(hwnd);
    if (!w || w->thread != ts.id || w->destroying) return nullptr;
    if (const HWND top = GetAncestorTop(hwnd); ts.active != top) {
      SetActiveWindow(top);
      if (ts.focus == hwnd) return old;
    }
  }
  if (ts.focus == hwnd) return old;
  const HWND leaving = ts.focus;
  if (leaving && IsWindow(leaving)) detail::deliver(leaving, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  ts.focus = hwnd;
  if (leaving) notify(leaving, Change::Focus);
  if (hwnd && IsWindow(hwnd)) {
    detail::deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(leaving), 0);
    notify(hwnd, Change::Focus);
  }
  return old;
}

HWND GetActiveWindow() { return detail::currentThread().active; }

HWND SetActiveWindow(HWND hwnd) {
  auto& ts = detail::currentThread();
  if (hwnd) hwnd = GetAncestorTop(hwnd);
  const HWND old = ts.active;
  if (old == hwnd) return old;
  if (hwnd) {
    auto w = findWindow(hwnd);
    if (!w || w->thread != ts.id) return nullptr;
  }
  ts.active = hwnd;
  if (old && IsWindow(old)) {
    detail::deliver(old, WM_NCACTIVATE, FALSE, 0);
    detail::deliver(old, WM_ACTIVATE, MAKEWPARAM(WORD(WA_INACTIVE), WORD(IsIconic(old))), reinterpret_cast<LPARAM>(hwnd));
  }
  if (hwnd) {
    detail::deliver(hwnd, WM_NCACTIVATE, TRUE, 0);
    detail::deliver(hwnd, WM_ACTIVATE, MAKEWPARAM(WORD(WA_ACTIVE), WORD(IsIconic(hwnd))), reinterpret_cast<LPARAM>(old));
    notify(hwnd, Change::Focus);
  } else if (ts.focus) {
    SetFocus(nullptr);
  }
  return old;
}

}  // namespace platform
