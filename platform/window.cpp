#include "platform/window.h"

#include <algorithm>
#include <cstring>

#include "platform/detail/deliver.h"
#include "platform/detail/model.h"
#include "platform/detail/registry.h"
#include "platform/detail/thread_state.h"
#include "platform/menu.h"
#include "platform/queue.h"
#include "platform/thread.h"

namespace platform {

using detail::findWindow;
using detail::notify;
using detail::Window;

namespace {

// Client origin of a window in its parent's client coordinates (screen for top-level windows).
POINT clientOrigin(const Window& w) {
  const auto m = detail::frameMetrics(w);
  return {w.rect.left + m.left, w.rect.top + m.top};
}

RECT clientRectOf(const Window& w) {
  const auto m = detail::frameMetrics(w);
  return {0, 0, std::max<LONG>(0, w.rect.width() - m.left - m.right),
          std::max<LONG>(0, w.rect.height() - m.top - m.bottom)};
}

// Default placement of top-level windows given CW_USEDEFAULT: cascaded, three quarters of the
// work area, as the platform's window manager would place them.
RECT defaultTopLevelRect(int x, int y, int cx, int cy) {
  static int cascade = 0;
  const RECT work = backend().workArea();
  if (x == CW_USEDEFAULT) {
    x = work.left + 26 * (cascade % 8);
    y = work.top + 26 * (cascade % 8);
    ++cascade;
  }
  if (cx == CW_USEDEFAULT) {
    cx = work.width() * 3 / 4;
    cy = work.height() * 3 / 4;
  }
  return {x, y, x + cx, y + cy};
}

void destroyTree(HWND hwnd, bool top);

}  // namespace

WORD RegisterClassA(const WNDCLASSA& wc) {
  if (!wc.lpszClassName || !wc.lpfnWndProc) return 0;
  detail::WindowClass cls;
  cls.name = wc.lpszClassName;
  cls.proc = wc.lpfnWndProc;
  cls.style = wc.style;
  cls.extraBytes = std::max(0, wc.cbWndExtra);
  static WORD atom = 0xC000;
  return detail::registerClass(cls) ? ++atom : 0;
}

BOOL UnregisterClassA(const char* className) {
  return className && detail::unregisterClass(className) ? TRUE : FALSE;
}

BOOL GetClassInfoA(const char* className, WNDCLASSA* wc) {
  if (!className || !wc) return FALSE;
  auto cls = detail::findClass(className);
  if (!cls) return FALSE;
  wc->style = cls->style;
  wc->lpfnWndProc = cls->proc;
  wc->cbWndExtra = cls->extraBytes;
  wc->lpszClassName = cls->name.c_str();
  return TRUE;
}

std::string GetClassNameA(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w ? w->cls->name : std::string();
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menuOrId, void* param) {
  auto cls = className ? detail::findClass(className) : nullptr;
  if (!cls) return nullptr;
  const bool child = style & WS_CHILD;
  if (child && !findWindow(parent)) return nullptr;

  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->proc = cls->proc;
  w->kind = cls->kind;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->text = windowName ? windowName : "";
  w->thread = GetCurrentThreadId();
  w->extra.resize((size_t(cls->extraBytes) + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR));
  if (child) {
    w->parent = parent;
    w->id = LONG_PTR(reinterpret_cast<std::uintptr_t>(menuOrId));
    auto fix = [](int v) { return v == CW_USEDEFAULT ? 0 : v; };
    w->rect = {fix(x), fix(y), fix(x) + fix(width), fix(y) + fix(height)};
  } else {
    w->owner = parent ? GetAncestorTop(parent) : nullptr;
    w->menu = detail::findMenu(menuOrId) ? menuOrId : nullptr;
    w->rect = defaultTopLevelRect(x, y, width, height);
  }
  w->normalRect = w->rect;

  const HWND h = detail::addWindow(w);
  if (child) {
    std::lock_guard lock(detail::modelMutex());
    if (auto p = findWindow(parent)) p->children.push_back(h);
  }
  backend().windowCreated(h);

  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hMenu = menuOrId;
  cs.hwndParent = parent;
  cs.x = w->rect.left, cs.y = w->rect.top, cs.cx = w->rect.width(), cs.cy = w->rect.height();
  cs.style = LONG(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!child) {
    MINMAXINFO mmi{};
    detail::deliver(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  }
  if (!detail::deliver(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      detail::deliver(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (!IsWindow(h)) return nullptr;
  const RECT client = clientRectOf(*w);
  const POINT origin = clientOrigin(*w);
  detail::deliver(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(WORD(client.right), WORD(client.bottom)));
  detail::deliver(h, WM_MOVE, 0, MAKELPARAM(WORD(origin.x), WORD(origin.y)));
  if (style & WS_VISIBLE) ShowWindow(h, (style & WS_MAXIMIZE) ? SW_MAXIMIZE : SW_SHOW);
  return IsWindow(h) ? h : nullptr;
}

namespace {

void collectTree(HWND hwnd, std::vector<HWND>& out) {
  out.push_back(hwnd);
  auto w = findWindow(hwnd);
  if (!w) return;
  std::vector<HWND> kids;
  {
    std::lock_guard lock(detail::modelMutex());
    kids = w->children;
  }
  for (HWND c : kids) collectTree(c, out);
}

// Picks the window to activate when the active one goes away: its owner when it can take it,
// else the newest visible, enabled top-level window of the thread.
HWND nextActive(HWND leaving) {
  auto w = findWindow(leaving);
  if (w && w->owner && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner)) return w->owner;
  auto tops = detail::topLevelWindows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    if (*it == leaving) continue;
    auto t = findWindow(*it);
    if (t && !t->destroying && t->thread == GetCurrentThreadId() && IsWindowVisible(*it) &&
        IsWindowEnabled(*it))
      return *it;
  }
  return nullptr;
}

void destroyTree(HWND hwnd, bool top) {
  std::vector<HWND> tree;
  collectTree(hwnd, tree);
  for (HWND h : tree)
    if (auto w = findWindow(h)) w->destroying = true;
  // WM_DESTROY reaches a parent before its children, WM_NCDESTROY the children first.
  for (HWND h : tree) detail::deliver(h, WM_DESTROY, 0, 0);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) detail::deliver(*it, WM_NCDESTROY, 0, 0);
  auto& ts = detail::currentThread();
  for (HWND h : tree) {
    {
      std::lock_guard lock(ts.mutex);
      std::erase_if(ts.timers, [h](const detail::Timer& t) { return t.hwnd == h; });
    }
    if (ts.focus == h) ts.focus = nullptr;
    if (ts.active == h) ts.active = nullptr;
    backend().windowDestroyed(h);
  }
  if (top) {
    auto w = findWindow(hwnd);
    if (w && w->parent) {
      std::lock_guard lock(detail::modelMutex());
      if (auto p = findWindow(w->parent)) std::erase(p->children, hwnd);
    }
  }
  for (HWND h : tree) detail::removeWindow(h);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  auto w = findWindow(hwnd);
  if (!w || w->destroying || w->thread != GetCurrentThreadId()) return FALSE;
  auto& ts = detail::currentThread();
  // Owned top-level windows go first.
  for (HWND t : detail::topLevelWindows())
    if (auto o = findWindow(t); o && o->owner == hwnd) DestroyWindow(t);
  if (w->style & WS_VISIBLE)
    detail::changeWindowPos(hwnd, w->rect, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (ts.focus && (ts.focus == hwnd || IsChild(hwnd, ts.focus))) {
    if (!(w->style & WS_CHILD) && ts.active == hwnd) {
      w->destroying = true;
      SetActiveWindow(nextActive(hwnd));
    }
    if (ts.focus == hwnd || IsChild(hwnd, ts.focus)) SetFocus(nullptr);
  } else if (ts.active == hwnd) {
    w->destroying = true;
    SetActiveWindow(nextActive(hwnd));
  }
  const HMENU menu = w->menu;
  destroyTree(hwnd, true);
  if (menu) DestroyMenu(menu);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return findWindow(hwnd) ? TRUE : FALSE; }

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  std::lock_guard lock(detail::modelMutex());
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_HINSTANCE: return 0;
    default:
      if (index >= 0 && index % int(sizeof(LONG_PTR)) == 0 && size_t(index) / sizeof(LONG_PTR) < w->extra.size())
        return w->extra[size_t(index) / sizeof(LONG_PTR)];
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  Change change = Change::State;
  {
    std::lock_guard lock(detail::modelMutex());
    switch (index) {
      case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
      case GWLP_USERDATA: old = w->userData, w->userData = value; return old;
      case GWLP_ID: old = w->id, w->id = value; return old;
      case GWL_STYLE:
        old = LONG_PTR(w->style);
        // Visibility changes only through ShowWindow, as on the real platform's message path.
        w->style = (DWORD(value) & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
        change = Change::Style;
        break;
      case GWL_EXSTYLE: old = LONG_PTR(w->exStyle), w->exStyle = DWORD(value); change = Change::Style; break;
      case GWLP_HWNDPARENT:
        old = reinterpret_cast<LONG_PTR>(w->owner);
        if (!(w->style & WS_CHILD)) w->owner = reinterpret_cast<HWND>(value);
        return old;
      default:
        if (index >= 0 && index % int(sizeof(LONG_PTR)) == 0 && size_t(index) / sizeof(LONG_PTR) < w->extra.size()) {
          auto& slot = w->extra[size_t(index) / sizeof(LONG_PTR)];
          old = slot, slot = value;
        }
        return old;
    }
  }
  notify(hwnd, change);
  return old;
}

HWND GetParent(HWND hwnd) {
  auto w = findWindow(hwnd);
  if (!w) return nullptr;
  return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT relation) {
  auto w = findWindow(hwnd);
  if (!w) return nullptr;
  std::lock_guard lock(detail::modelMutex());
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (relation == GW_OWNER) return w->owner;
  std::vector<HWND> siblings;
  if (auto p = findWindow(w->parent))
    siblings = p->children;
  else
    siblings = detail::topLevelWindows();
  auto it = std::find(siblings.begin(), siblings.end(), hwnd);
  if (it == siblings.end() || siblings.empty()) return nullptr;
  switch (relation) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return std::next(it) == siblings.end() ? nullptr : *std::next(it);
    case GW_HWNDPREV: return it == siblings.begin() ? nullptr : *std::prev(it);
    default: return nullptr;
  }
}

HWND GetDlgItem(HWND parent, int id) {
  auto p = findWindow(parent);
  if (!p) return nullptr;
  std::lock_guard lock(detail::modelMutex());
  for (HWND c : p->children)
    if (auto w = findWindow(c); w && w->id == id) return c;
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  for (auto w = findWindow(hwnd); w && (w->style & WS_CHILD); w = findWindow(w->parent))
    if (w->parent == parent) return TRUE;
  return FALSE;
}

HWND GetAncestorTop(HWND hwnd) {
  auto w = findWindow(hwnd);
  while (w && (w->style & WS_CHILD)) {
    auto p = findWindow(w->parent);
    if (!p) break;
    w = p;
  }
  return w ? w->handle : nullptr;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  if (processId) *processId = 1;
  auto w = findWindow(hwnd);
  return w ? w->thread : 0;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  return IsWindow(hwnd) ? BOOL(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""))) : FALSE;
}

int GetWindowTextA(HWND hwnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  return IsWindow(hwnd) ? int(SendMessageA(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer))) : 0;
}

int GetWindowTextLengthA(HWND hwnd) {
  return IsWindow(hwnd) ? int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

std::string GetWindowTextString(HWND hwnd) {
  std::string s(size_t(GetWindowTextLengthA(hwnd)) + 1, '\0');
  s.resize(size_t(GetWindowTextA(hwnd, s.data(), int(s.size()))));
  return s;
}

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

BOOL IsIconic(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && w->showState == 1;
}

BOOL IsZoomed(HWND hwnd) {
  auto w = findWindow(hwnd);
  return w && w->showState == 2;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = findWindow(hwnd);
  if (!w) return FALSE;
  const bool wasVisible = w->style & WS_VISIBLE;
  const bool child = w->style & WS_CHILD;
  auto show = [&](bool on) {
    detail::deliver(hwnd, WM_SHOWWINDOW, on, 0);
  };
  auto changeState = [&](int state, RECT target) {
    if (w->showState == 0) w->normalRect = w->rect;
    w->showState = state;
    {
      std::lock_guard lock(detail::modelMutex());
      w->style = (w->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | (state == 1 ? WS_MINIMIZE : state == 2 ? WS_MAXIMIZE : 0);
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
      if (w->showState != 2)
        changeState(2, {mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                        mmi.ptMaxPosition.y + mmi.ptMaxSize.y});
      if (!child) SetActiveWindow(hwnd);
      return wasVisible;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (w->showState != 1) changeState(1, {-32000, -32000, -32000 + 160, -32000 + 28});
      if (!child && GetActiveWindow() == hwnd) SetActiveWindow(nextActive(hwnd));
      return wasVisible;
    case SW_RESTORE:
      if (w->showState != 0) changeState(0, w->normalRect);
      else if (!wasVisible) {
        show(true);
        detail::changeWindowPos(hwnd, w->rect, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (!child) SetActiveWindow(hwnd);
      return wasVisible;
    default:  // SW_SHOW, SW_SHOWNORMAL, SW_SHOWNA, SW_SHOWNOACTIVATE, SW_SHOWDEFAULT
      if (cmd == SW_SHOWNORMAL && w->showState != 0) {
        changeState(0, w->normalRect);
      } else if (!wasVisible) {
        show(true);
        detail::changeWindowPos(hwnd, w->rect, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (!child && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) SetActiveWindow(hwnd);
      return wasVisible;
  }
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = findWindow(hwnd);
  if (!w) return FALSE;
  const bool wasDisabled = w->style & WS_DISABLED;
  if (wasDisabled == !enable) return wasDisabled;
  {
    std::lock_guard lock(detail::modelMutex());
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
    std::lock_guard lock(modelMutex());
    if (!(wp.flags & SWP_NOMOVE)) w->rect = {wp.x, wp.y, wp.x + w->rect.width(), wp.y + w->rect.height()};
    if (!(wp.flags & SWP_NOSIZE)) w->rect.right = w->rect.left + wp.cx, w->rect.bottom = w->rect.top + wp.cy;
    if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
  }
  // The changed record says what really changed, so WM_MOVE and WM_SIZE follow only real changes
  // (and a state change always re-sends the size).
  if (w->rect.left == before.left && w->rect.top == before.top) wp.flags |= SWP_NOMOVE;
  if (w->rect.width() == before.width() && w->rect.height() == before.height() && !(wp.flags & SWP_STATECHANGED))
    wp.flags |= SWP_NOSIZE;
  if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE)) notify(hwnd, Change::Geometry);
  if (wp.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) notify(hwnd, Change::Visibility);
  wp.x = w->rect.left, wp.y = w->rect.top, wp.cx = w->rect.width(), wp.cy = w->rect.height();
  deliver(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

}  // namespace detail

}  // namespace platform
