#include "runtime/window/window_procs.h"

#include <atomic>
#include <vector>

#include "platform/desktop/drop.h"
#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/runtime_lock.h"
#include "runtime/core/startup.h"
#include "runtime/window/activation.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/property_internal.h"
#include "runtime/window/runtime_classes.h"
#include "runtime/window/runtime_settings.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

// Which event a control's notification becomes, by the kind of the control.
struct Notification {
  Kind kind;
  WORD code;
  int event;
};
constexpr Notification kNotifications[] = {
    {Kind::Button, BN_CLICKED, event::Accepted},      {Kind::Check, BN_CLICKED, event::Accepted}, {Kind::Radio, BN_CLICKED, event::Accepted},
    {Kind::List, LBN_SELCHANGE, event::NewSelection}, {Kind::List, LBN_DBLCLK, event::Accepted},  {Kind::Entry, EN_KILLFOCUS, event::Accepted},
    {Kind::Text, EN_KILLFOCUS, event::Accepted},
};
// Drop lists notify with the combo box's codes.
constexpr Notification kDropNotifications[] = {
    {Kind::List, CBN_SELCHANGE, event::NewSelection},
    {Kind::List, CBN_DROPDOWN, event::DroppingDown},
};

void onControlCommand(HWND hwnd, WORD code) {
  Control* c = detail::controlOf(hwnd);
  Window* w = c ? detail::windowOf(GetParent(hwnd)) : nullptr;
  if (!w) return;
  // An entry is accepted when it loses the focus with a changed value.
  if ((Kind(c->kind) == Kind::Entry || Kind(c->kind) == Kind::Text) && code == EN_KILLFOCUS) {
    if (!SendMessageA(hwnd, EM_GETMODIFY, 0, 0)) return;
    SendMessageA(hwnd, EM_SETMODIFY, FALSE, 0);
  }
  const bool drop = runtimeClassOf(hwnd) == "TslDrop";
  for (const Notification& n : drop ? std::span<const Notification>(kDropNotifications) : std::span<const Notification>(kNotifications))
    if (n.kind == Kind(c->kind) && n.code == code) {
      RuntimeLockGuard lock(runtimeLock());
      detail::postInternal(*w, n.event, c);
      return;
    }
}

void onCommand(HWND hwnd, Window& w, WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const HWND from = reinterpret_cast<HWND>(lParam);
  if (from && detail::controlOf(from)) {
    SendMessageA(from, QUERY_COMMAND, wParam, lParam);
    return;
  }
  if (auto it = w.commandFields.find(id); it != w.commandFields.end()) {
    Control* item = w.control(it->second);
    if (!item) return;
    if (item->action && detail::performStandardAction(w, *item)) return;
    RuntimeLockGuard lock(runtimeLock());
    detail::postInternal(w, event::Accepted, item);
    return;
  }
  if (id == IDCANCEL) PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

// A cancellable window event for a system command; true when the program refused it.
bool refusedSystemCommand(Window& w, HWND hwnd, WPARAM command) {
  if (!w.moveSizeEvents()) return false;
  int code = 0;
  switch (command & 0xFFF0) {
    case SC_MOVE: code = IsIconic(hwnd) ? 0 : event::Move; break;
    case SC_SIZE: code = IsIconic(hwnd) ? 0 : event::Size; break;
    case SC_RESTORE: code = event::Restore; break;
    case SC_MAXIMIZE: code = event::Maximize; break;
    case SC_MINIMIZE: code = event::Iconize; break;
    default: return false;
  }
  if (!code) return false;
  RuntimeLockGuard lock(runtimeLock());
  return SendWindowEvent(w, code) == 1;
}

void onStateChange(Window& w, HWND hwnd) {
  std::uint32_t state = 0;
  if (IsZoomed(hwnd)) state = kStateMaximized;
  else if (IsIconic(hwnd)) state = kStateMinimized;
  if ((w.stateWord & kStateSizeBits) == state) return;
  w.stateWord = (w.stateWord & ~std::uint32_t(kStateSizeBits)) | state;
  if (!w.moveSizeEvents()) return;
  RuntimeLockGuard lock(runtimeLock());
  detail::postInternal(w, state == kStateMaximized ? event::Maximized : state == kStateMinimized ? event::Iconized : event::Restored);
}

// A conversation asked for from one of the program's windows: every other window of every running
// thread hears it, so whichever serves the topic can answer. A forwarded request is not forwarded
// again (one forwarding at a time for the program).
void forwardInitiate(HWND from, WPARAM wParam, LPARAM lParam) {
  static std::atomic<bool> forwarding{false};
  if (forwarding.exchange(true)) return;
  std::vector<HWND> others;
  {
    RuntimeLockGuard lock(runtimeLock());
    for (ThreadContext* tc : runningThreadContexts())
      for (Window* other : tc->windows)
        if (other->handle && other->handle != from) others.push_back(other->handle);
  }
  for (HWND h : others) SendMessageA(h, WM_DDE_INITIATE, wParam, lParam);
  forwarding = false;
}

// A client's poke or execute becomes the window's event; the acknowledgement follows its handling.
void postDde(Window& w, int code, HWND client, LPARAM lParam) {
  RuntimeLockGuard lock(runtimeLock());
  EventPtr e = detail::makeEvent(w, code, nullptr);
  e->extra = std::uintptr_t(lParam);
  e->ddeClient = client;
  detail::queueEvent(w, std::move(e));
}

}  // namespace

LRESULT windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* w = detail::windowOf(hwnd);
  if (!w) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_COMMAND: onCommand(hwnd, *w, wParam, lParam); return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const HWND*>(lParam);  // the notifying window comes first
      if (header && detail::controlOf(*header)) return SendMessageA(*header, QUERY_NOTIFY, wParam, lParam);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        RuntimeLockGuard lock(runtimeLock());
        detail::windowActivated(*w);
      }
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CLOSE: {
      RuntimeLockGuard lock(runtimeLock());
      detail::postInternal(*w, event::CloseWindow);
      return 0;
    }
    case WM_SYSCOMMAND:
      if (refusedSystemCommand(*w, hwnd, wParam)) return 0;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_MOVE:
      if (w->moveSizeEvents() && !IsIconic(hwnd)) {
        RuntimeLockGuard lock(runtimeLock());
        detail::postInternal(*w, event::Moved);
      }
      return 0;
    case WM_SIZE:
      if (w->moveSizeEvents() && wParam != SIZE_MINIMIZED) {
        RuntimeLockGuard lock(runtimeLock());
        detail::postInternal(*w, event::Sized);
      }
      return 0;
    case WM_GETMINMAXINFO: {
      const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      if (lParam) detail::applySizeLimits(*w, *reinterpret_cast<MINMAXINFO*>(lParam));
      return r;
    }
    case WM_WINDOWPOSCHANGING:
      if (lParam) detail::holdToSizeLimits(*w, *reinterpret_cast<WINDOWPOS*>(lParam));
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_WINDOWPOSCHANGED: {
      const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      onStateChange(*w, hwnd);
      return r;
    }
    case WM_TIMER:
      if (wParam == detail::kWindowTimerId) {
        RuntimeLockGuard lock(runtimeLock());
        detail::postInternal(*w, event::Timer);
      }
      return 0;
    case WM_QUERYENDSESSION: {
      if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) SetActiveWindow(hwnd);
      const std::string caption =
          RuntimeSettingOn(RuntimeSetting::ApplicationTitleCaption) ? GetWindowTextString(hwnd) : std::string(kRuntimeCaption);
      MessageBoxA(hwnd, "Application still active.\n\nQuit the application before quitting Windows.", caption.c_str(),
                  MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
      return 0;
    }
    case WM_DESTROY:
      KillTimer(hwnd, detail::kWindowTimerId);
      w->timerSet = false;
      // Destroyed from outside (the desktop took the window away) rather than closed by the
      // program, which lets go of the window first: wake the loop, which then sees the window
      // gone and ends as after a close.
      PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
      return 0;
    case WM_DROPFILES: {
      // The names are taken over before the drop is freed; "EVENT:Drop" follows.
      const auto drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> files(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
      for (UINT i = 0; i < files.size(); ++i) {
        files[i].resize(DragQueryFileA(drop, i, nullptr, 0) + 1);
        files[i].resize(DragQueryFileA(drop, i, files[i].data(), UINT(files[i].size())));
      }
      DragFinish(drop);
      RuntimeLockGuard lock(runtimeLock());
      w->droppedFiles = std::move(files);
      detail::postInternal(*w, event::Drop);
      return 0;
    }
    case WM_DDE_INITIATE: forwardInitiate(hwnd, wParam, lParam); return 0;
    case WM_DDE_POKE: postDde(*w, event::DDEpoke, reinterpret_cast<HWND>(wParam), lParam); return 0;
    case WM_DDE_EXECUTE: postDde(*w, event::DDEexecute, reinterpret_cast<HWND>(wParam), lParam); return 0;
    case WM_ENTERMENULOOP: w->inMenu = true; return 0;
    case WM_EXITMENULOOP: w->inMenu = false; return 0;
    case WM_ENTERSIZEMOVE: w->sizeMoving = true; return 0;
    case WM_EXITSIZEMOVE: w->sizeMoving = false; return 0;
    case QUERY_POSTEVENT: {
      std::unique_ptr<EventPtr> event(reinterpret_cast<EventPtr*>(lParam));
      RuntimeLockGuard lock(runtimeLock());
      if (event && *event) w->queue.pending.push_back(*event);
      return 0;
    }
    case QUERY_SETUSE: ++w->setUseCount; return 0;
    case QUERY_SHUTDOWN: Halt(int(wParam)); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT controlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC base) {
  if (msg == QUERY_COMMAND) {
    onControlCommand(hwnd, HIWORD(wParam));
    return 0;
  }
  if (msg == QUERY_NOTIFY) return 0;
  return CallWindowProcA(base, hwnd, msg, wParam, lParam);
}

}  // namespace tamsil::window
