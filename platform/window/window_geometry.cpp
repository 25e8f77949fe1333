// Window geometry and state: rectangles, coordinates, moving and sizing, showing, minimizing
// and maximizing, with the position messages the real platform sends.
#include "platform/window/window.h"

#include <algorithm>

#include "platform/queue/detail/thread_state.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/detail/window_helpers.h"

namespace platform {

using detail::clientOrigin;
using detail::clientRectOf;
using detail::findWindow;
using detail::nextActive;
using detail::notify;
using detail::Window;

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  auto w = findWindow(hwnd);
  if (!w || !rect) return FALSE;
  *rect = w->rect;
  if (w->style & WS_CHILD) {
    POINT o{0, 0};
    ClientToScreen(w->parent, &o);
    rect->left += o.x, rect->right += o.x, rect->top += o.y, rect->bottom += o.y;
  }
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  auto w = findWindow(hwnd);
  if (!w || !rect) return FALSE;
  *rect = clientRectOf(*w);
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
  if (!pt) return FALSE;
  for (auto w = findWindow(hwnd); w; w = (w->style & WS_CHILD) ? findWindow(w->parent) : nullptr) {
    const POINT o = clientOrigin(*w);
    pt->x += o.x, pt->y += o.y;
  }
  return IsWindow(hwnd);
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
  if (!pt || !IsWindow(hwnd)) return FALSE;
  POINT o{0, 0};
  ClientToScreen(hwnd, &o);
  pt->x -= o.x, pt->y -= o.y;
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
  auto w = findWindow(hwnd);
  if (!w) return FALSE;
  RECT target = w->rect;
  if (!(flags & SWP_NOMOVE)) target = {x, y, x + w->rect.width(), y + w->rect.height()};
  if (!(flags & SWP_NOSIZE)) target.right = target.left + std::max(0, cx), target.bottom = target.top + std::max(0, cy);
  if (flags & SWP_SHOWWINDOW) {
    if (w->style & WS_VISIBLE) flags &= ~SWP_SHOWWINDOW;
  }
  if (flags & SWP_HIDEWINDOW) {
    if (!(w->style & WS_VISIBLE)) flags &= ~SWP_HIDEWINDOW;
  }
  detail::changeWindowPos(hwnd, target, flags);
  if ((flags & SWP_SHOWWINDOW) && !(flags & SWP_NOACTIVATE) && !(w->style & WS_CHILD)) SetActiveWindow(hwnd);
  return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  Window probe;
  probe.style = style;
  probe.exStyle = exStyle;
  probe.menu = menu ? reinterpret_cast<HMENU>(1) : nullptr;
  const auto m = detail::frameMetrics(probe);
  rect->left -= m.left, rect->top -= m.top, rect->right += m.right, rect->bottom += m.bottom;
  return TRUE;
}

BOOL IsWindowVisible(HWND hwnd) {
  for (auto w = findWindow(hwnd); w; w = (w->style & WS_CHILD) ? findWindow(w->parent) : nullptr)
    if (!(w->style & WS_VISIBLE)) return FALSE;
  return IsWindow(hwnd);
}

namespace {

// The style bit that goes with a show state.
DWORD styleOf(ShowState state) {
  switch (state) {
    case ShowState::Minimized: return WS_MINIMIZE;
    case ShowState::Maximized: return WS_MAXIMIZE;
    case ShowState::Normal: break;
  }
  return 0;
}

}  // namespace

BOOL IsIconic(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && w->showState == ShowState::Minimized;
}

BOOL IsZoomed(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && w->showState == ShowState::Maximized;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = findWindow(hwnd);
  if (!w) return FALSE;
  const bool wasVisible = w->style & WS_VISIBLE;
  const bool child = w->style & WS_CHILD;
  auto show = [&](bool on) { detail::deliver(hwnd, WM_SHOWWINDOW, on, 0); };
  auto changeState = [&](ShowState state, RECT target) {
    {
      RecursiveLock lock(detail::modelMutex());
      if (w->showState == ShowState::Normal) w->normalRect = w->rect;
      w->showState = state;
      w->style = (w->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | styleOf(state);
    }
    UINT flags = SWP_NOZORDER | SWP_STATECHANGED | SWP_NOACTIVATE;
    if (!wasVisible) {
      show(true);
      flags |= SWP_SHOWWINDOW;
    }
    detail::changeWindowPos(hwnd, target, flags);
    notify(hwnd, Change::State);
  };
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      show(false);
      detail::changeWindowPos(hwnd, w->rect, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      if (!child && GetActiveWindow() == hwnd) SetActiveWindow(nextActive(hwnd));
      if (HWND f = GetFocus(); f && (f == hwnd || IsChild(hwnd, f))) SetFocus(nullptr);
      return TRUE;
    case SW_MAXIMIZE: {
      MINMAXINFO mmi{};
      const RECT work = backend().workArea();
      const auto m = detail::frameMetrics(*w);
      // Maximized, the frame's borders lie just outside the work area; the caption stays on it.
      mmi.ptMaxPosition = {work.left - m.left, work.top - m.bottom};
      mmi.ptMaxSize = {work.width() + m.left + m.right, work.height() + m.bottom + m.bottom};
      mmi.ptMaxTrackSize = mmi.ptMaxSize;
      detail::deliver(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
      if (w->showState != ShowState::Maximized)
        changeState(ShowState::Maximized,
                    {mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x, mmi.ptMaxPosition.y + mmi.ptMaxSize.y});
      if (!child) SetActiveWindow(hwnd);
      return wasVisible;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (w->showState != ShowState::Minimized) changeState(ShowState::Minimized, {-32000, -32000, -32000 + 160, -32000 + 28});
      if (!child && GetActiveWindow() == hwnd) SetActiveWindow(nextActive(hwnd));
      return wasVisible;
    case SW_RESTORE:
      if (w->showState != ShowState::Normal) changeState(ShowState::Normal, w->normalRect);
      else if (!wasVisible) {
        show(true);
        detail::changeWindowPos(hwnd, w->rect, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (!child) SetActiveWindow(hwnd);
      return wasVisible;
    default:  // SW_SHOW, SW_SHOWNORMAL, SW_SHOWNA, SW_SHOWNOACTIVATE, SW_SHOWDEFAULT
      if (cmd == SW_SHOWNORMAL && w->showState != ShowState::Normal) {
        changeState(ShowState::Normal, w->normalRect);
      } else if (!wasVisible) {
        show(true);
        detail::changeWindowPos(hwnd, w->rect, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (!child && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) SetActiveWindow(hwnd);
      return wasVisible;
  }
}

namespace detail {

void changeWindowPos(HWND hwnd, RECT target, UINT flags) {
  auto w = findWindow(hwnd);
  if (!w) return;
  WINDOWPOS wp;
  wp.hwnd = hwnd;
  wp.x = target.left, wp.y = target.top, wp.cx = target.width(), wp.cy = target.height();
  wp.flags = flags;
  deliver(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  if (!IsWindow(hwnd)) return;
  const RECT before = w->rect;
  {
    RecursiveLock lock(modelMutex());
    if (!(wp.flags & SWP_NOMOVE)) w->rect = {wp.x, wp.y, wp.x + w->rect.width(), wp.y + w->rect.height()};
    if (!(wp.flags & SWP_NOSIZE)) w->rect.right = w->rect.left + wp.cx, w->rect.bottom = w->rect.top + wp.cy;
    if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  }
  // The changed record says what really changed, so WM_MOVE and WM_SIZE follow only real changes
  // (and a state change always re-sends the size).
  if (w->rect.left == before.left && w->rect.top == before.top) wp.flags |= SWP_NOMOVE;
  if (w->rect.width() == before.width() && w->rect.height() == before.height() && !(wp.flags & SWP_STATECHANGED)) wp.flags |= SWP_NOSIZE;
  if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE)) notify(hwnd, Change::Geometry);
  if (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) notify(hwnd, Change::Visibility);
  wp.x = w->rect.left, wp.y = w->rect.top, wp.cx = w->rect.width(), wp.cy = w->rect.height();
  deliver(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

}  // namespace detail

}  // namespace platform
