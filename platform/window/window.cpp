#include "platform/window/window.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/controls/menu.h"
#include "platform/queue/detail/thread_state.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"
#include "platform/window/detail/window_helpers.h"

namespace platform {

using detail::clientOrigin;
using detail::clientRectOf;
using detail::findWindow;
using detail::nextActive;
using detail::notify;
using detail::Window;

namespace {

// Default placement of top-level windows given CW_USEDEFAULT: cascaded, three quarters of the
// work area, as the platform's window manager would place them.
RECT defaultTopLevelRect(int x, int y, int cx, int cy) {
  // Windows of every thread share the cascade.
  static std::atomic<int> cascade = 0;
  const RECT work = backend().workArea();
  if (x == CW_USEDEFAULT) {
    const int step = cascade++ % 8;
    x = work.left + 26 * step;
    y = work.top + 26 * step;
  }
  if (cx == CW_USEDEFAULT) {
    cx = work.width() * 3 / 4;
    cy = work.height() * 3 / 4;
  }
  return {x, y, x + cx, y + cy};
}

void destroyTree(HWND hwnd, bool top);

void markDestroying(Window& w) {
  RecursiveLock lock(detail::modelMutex());
  w.destroying = true;
}

}  // namespace

WORD RegisterClassA(const WNDCLASSA& wc) {
  if (!wc.lpszClassName || !wc.lpfnWndProc) return 0;
  detail::WindowClass cls;
  cls.name = wc.lpszClassName;
  cls.proc = wc.lpfnWndProc;
  cls.style = wc.style;
  cls.extraBytes = std::max(0, wc.cbWndExtra);
  static std::atomic<WORD> atom = 0xC000;  // classes are registered from any thread
  return detail::registerClass(cls) ? ++atom : 0;
}

BOOL UnregisterClassA(const char* className) { return className && detail::unregisterClass(className) ? TRUE : FALSE; }

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

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menuOrId, void* param) {
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
    RecursiveLock lock(detail::modelMutex());
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
    RecursiveLock lock(detail::modelMutex());
    kids = w->children;
  }
  for (HWND c : kids) collectTree(c, out);
}

void destroyTree(HWND hwnd, bool top) {
  std::vector<HWND> tree;
  collectTree(hwnd, tree);
  for (HWND h : tree)
    if (auto w = findWindow(h)) markDestroying(*w);
  // WM_DESTROY reaches a parent before its children, WM_NCDESTROY the children first.
  for (HWND h : tree) detail::deliver(h, WM_DESTROY, 0, 0);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) detail::deliver(*it, WM_NCDESTROY, 0, 0);
  auto& ts = detail::currentThread();
  for (HWND h : tree) {
    ts.queue->killTimers(h);
    if (ts.focus == h) ts.focus = nullptr;
    if (ts.active == h) ts.active = nullptr;
    backend().windowDestroyed(h);
    // The view is the component's: it goes now, not whenever the last handle lookup lets go.
    if (auto w = findWindow(h)) detail::exchangeField(w->view, nullptr);
  }
  if (top) {
    auto w = findWindow(hwnd);
    if (w && w->parent) {
      RecursiveLock lock(detail::modelMutex());
      if (auto p = findWindow(w->parent)) std::erase(p->children, hwnd);
    }
  }
  for (HWND h : tree) detail::removeWindow(h);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  auto w = findWindow(hwnd);
  if (!w || w->thread != GetCurrentThreadId() || w->destroying) return FALSE;
  auto& ts = detail::currentThread();
  // Owned top-level windows go first. They may belong to other threads, so their owner is read
  // under the model lock.
  std::vector<HWND> owned;
  {
    RecursiveLock lock(detail::modelMutex());
    for (HWND t : detail::topLevelWindows())
      if (auto o = findWindow(t); o && o->owner == hwnd) owned.push_back(t);
  }
  for (HWND t : owned) DestroyWindow(t);
  if (w->style & WS_VISIBLE) detail::changeWindowPos(hwnd, w->rect, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (ts.focus && (ts.focus == hwnd || IsChild(hwnd, ts.focus))) {
    if (!(w->style & WS_CHILD) && ts.active == hwnd) {
      markDestroying(*w);
      SetActiveWindow(nextActive(hwnd));
    }
    if (ts.focus == hwnd || IsChild(hwnd, ts.focus)) SetFocus(nullptr);
  } else if (ts.active == hwnd) {
    markDestroying(*w);
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
  RecursiveLock lock(detail::modelMutex());
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
    RecursiveLock lock(detail::modelMutex());
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
      case GWL_EXSTYLE:
        old = LONG_PTR(w->exStyle), w->exStyle = DWORD(value);
        change = Change::Style;
        break;
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
  RecursiveLock lock(detail::modelMutex());
  if (relation == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (relation == GW_OWNER) return w->owner;
  std::vector<HWND> siblings;
  if (auto p = findWindow(w->parent)) siblings = p->children;
  else siblings = detail::topLevelWindows();
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
  RecursiveLock lock(detail::modelMutex());
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

int GetWindowTextLengthA(HWND hwnd) { return IsWindow(hwnd) ? int(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0; }

std::string GetWindowTextString(HWND hwnd) {
  std::string s(size_t(GetWindowTextLengthA(hwnd)) + 1, '\0');
  s.resize(size_t(GetWindowTextA(hwnd, s.data(), int(s.size()))));
  return s;
}

namespace detail {

POINT clientOrigin(const Window& w) {
  const auto m = frameMetrics(w);
  return {w.rect.left + m.left, w.rect.top + m.top};
}

RECT clientRectOf(const Window& w) {
  const auto m = frameMetrics(w);
  return {0, 0, std::max<LONG>(0, w.rect.width() - m.left - m.right), std::max<LONG>(0, w.rect.height() - m.top - m.bottom)};
}

HWND nextActive(HWND leaving) {
  auto w = findWindow(leaving);
  if (w && w->owner && IsWindowVisible(w->owner) && IsWindowEnabled(w->owner)) return w->owner;
  auto tops = topLevelWindows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    if (*it == leaving) continue;
    auto t = findWindow(*it);
    if (t && t->thread == GetCurrentThreadId() && !t->destroying && IsWindowVisible(*it) && IsWindowEnabled(*it)) return *it;
  }
  return nullptr;
}

}  // namespace detail

}  // namespace platform
