// Default processing of window messages, as the real platform's default window procedure does it
// for the messages the runtime relies on.
#include <algorithm>
#include <cstring>

#include "platform/controls/detail/controls.h"
#include "platform/desktop/drop.h"
#include "platform/input/input.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/view.h"
#include "platform/window/window.h"

namespace platform {

namespace {

LRESULT copyText(const std::string& text, WPARAM size, LPARAM buffer) {
  char* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return LRESULT(n);
}

void onWindowPosChanged(HWND hwnd, const WINDOWPOS& wp) {
  auto w = detail::findWindow(hwnd);
  if (!w) return;
  RECT client;
  GetClientRect(hwnd, &client);
  if (!(wp.flags & SWP_NOMOVE)) {
    POINT origin{0, 0};
    if (w->style & WS_CHILD) {
      const auto m = detail::frameMetrics(*w);
      origin = {w->rect.left + m.left, w->rect.top + m.top};
    } else {
      ClientToScreen(hwnd, &origin);
    }
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(origin.x), WORD(origin.y)));
  }
  if (!(wp.flags & SWP_NOSIZE)) {
    const WPARAM kind = IsIconic(hwnd) ? SIZE_MINIMIZED : IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    SendMessageA(hwnd, WM_SIZE, kind, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
  }
}

LRESULT onSysCommand(HWND hwnd, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_MOVE: detail::runMoveSize(hwnd, false); break;
    case SC_SIZE: detail::runMoveSize(hwnd, true); break;
    default: break;
  }
  return 0;
}

}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = detail::findWindow(hwnd);
  if (!w) return 0;
  if (std::shared_ptr<WindowView> view = GetWindowView(hwnd))
    if (const std::optional<LRESULT> answer = view->message(hwnd, msg, wParam, lParam)) return *answer;
  switch (msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName) detail::exchangeField(w->text, cs->lpszName);
      return TRUE;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      {
        RecursiveLock lock(detail::modelMutex());
        w->text = text ? text : "";
      }
      detail::notify(hwnd, Change::Text);
      return TRUE;
    }
    case WM_GETTEXT: {
      RecursiveLock lock(detail::modelMutex());
      return copyText(w->text, wParam, lParam);
    }
    case WM_GETTEXTLENGTH: {
      RecursiveLock lock(detail::modelMutex());
      return LRESULT(w->text.size());
    }
    case WM_SETICON: {  // one icon serves both sizes
      const LONG_PTR old = detail::exchangeField(w->control.image, lParam);
      detail::notify(hwnd, Change::Image);
      return old;
    }
    case WM_GETICON: return w->control.image;
    case WM_SETFONT:
      detail::exchangeField(w->font, reinterpret_cast<HFONT>(wParam));
      detail::notify(hwnd, Change::Font);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SYSCOMMAND: return onSysCommand(hwnd, wParam);
    case WM_WINDOWPOSCHANGED: onWindowPosChanged(hwnd, *reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_ACTIVATE:
      // An activated window takes the focus unless one of its controls already has it.
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
        const HWND f = GetFocus();
        if (f != hwnd && !IsChild(hwnd, f)) SetFocus(hwnd);
      }
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the top-level window.
      if (wParam == VK_F1 + 3 && (lParam & (LPARAM(1) << 29))) PostMessageA(GetAncestorTop(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_DROPFILES: DragFinish(reinterpret_cast<HDROP>(wParam)); return 0;  // nobody took the files
    case WM_NCHITTEST: return 1;                                               // HTCLIENT
    case WM_QUERYENDSESSION: return TRUE;
    case WM_QUERYOPEN: return TRUE;
    case WM_MOUSEACTIVATE: return 1;  // MA_ACTIVATE
    case WM_ERASEBKGND: return TRUE;
    default: return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // A subclass forwarding to a built-in control makes the window that control for the backends.
  if (const auto kind = detail::builtinKindOf(proc); kind != detail::ControlKind::None)
    if (auto w = detail::findWindow(hwnd); w && w->kind == detail::ControlKind::None) {
      detail::exchangeField(w->kind, kind);
      detail::notify(hwnd, Change::Style);
    }
  return proc(hwnd, msg, wParam, lParam);
}

namespace detail {

void runMoveSize(HWND hwnd, bool sizing) {
  RECT target;
  if (!input::takeMoveSizeTarget(hwnd, &target)) return;  // nobody is dragging the frame
  SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  if (sizing) {
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = {112, 27};
    mmi.ptMaxTrackSize = {32767, 32767};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    // Whatever the program allows, the frame keeps a client area of at least one pixel each way:
    // a window shown on screen cannot be smaller, and the model must not say otherwise.
    if (const auto w = detail::findWindow(hwnd)) {
      const detail::FrameMetrics f = detail::frameMetrics(*w);
      mmi.ptMinTrackSize.x = std::max(mmi.ptMinTrackSize.x, f.left + f.right + 1);
      mmi.ptMinTrackSize.y = std::max(mmi.ptMinTrackSize.y, f.top + f.bottom + 1);
    }
    constexpr WPARAM kBottomRight = 8;  // WMSZ_BOTTOMRIGHT: the edge being dragged
    SendMessageA(hwnd, WM_SIZING, kBottomRight, reinterpret_cast<LPARAM>(&target));
    const LONG cx = std::clamp(target.width(), mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    const LONG cy = std::clamp(target.height(), mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
    target.right = target.left + cx, target.bottom = target.top + cy;
  } else {
    SendMessageA(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&target));
  }
  if (IsWindow(hwnd)) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (sizing ? 0 : SWP_NOSIZE);
    SetWindowPos(hwnd, nullptr, target.left, target.top, target.width(), target.height(), flags);
  }
  SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace detail

}  // namespace platform
