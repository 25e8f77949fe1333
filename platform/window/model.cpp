#include <algorithm>
#include <cctype>
#include <map>
#include <unordered_map>

#include "platform/ascii.h"
#include "platform/controls/detail/controls.h"
#include "platform/messages.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"

namespace platform::detail {

namespace {

// The handle tables, all under the model lock.
struct Registry {
  std::uintptr_t nextHandle GUARDED_BY(modelMutex()) = 0x10010;  // Win32-looking handle values, stepped by 4
  std::unordered_map<std::uintptr_t, std::shared_ptr<Window>> windows GUARDED_BY(modelMutex());
  std::vector<HWND> order GUARDED_BY(modelMutex());  // creation order of live windows
  std::unordered_map<std::uintptr_t, std::shared_ptr<Menu>> menus GUARDED_BY(modelMutex());
  std::map<std::string, std::shared_ptr<const WindowClass>> classes GUARDED_BY(modelMutex());  // key: lower-case name

  std::uintptr_t next() REQUIRES(modelMutex()) { return nextHandle += 4; }
};

Registry& registry() {
  static Registry r;
  return r;
}

std::string lower(std::string_view s) { return ascii::lowered(s); }

}  // namespace

RecursiveMutex& modelMutex() {
  static RecursiveMutex m;
  return m;
}

HWND addWindow(std::shared_ptr<Window> w) {
  RecursiveLock lock(modelMutex());
  Registry& r = registry();
  const auto h = r.next();
  w->handle = reinterpret_cast<HWND>(h);
  r.windows[h] = std::move(w);
  r.order.push_back(reinterpret_cast<HWND>(h));
  return reinterpret_cast<HWND>(h);
}

void removeWindow(HWND hwnd) {
  RecursiveLock lock(modelMutex());
  Registry& r = registry();
  r.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
  std::erase(r.order, hwnd);
}

std::shared_ptr<Window> findWindow(HWND hwnd) {
  RecursiveLock lock(modelMutex());
  auto& ws = registry().windows;
  auto it = ws.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == ws.end() ? nullptr : it->second;
}

HMENU addMenu(std::shared_ptr<Menu> m) {
  RecursiveLock lock(modelMutex());
  Registry& r = registry();
  const auto h = r.next();
  m->handle = reinterpret_cast<HMENU>(h);
  r.menus[h] = std::move(m);
  return reinterpret_cast<HMENU>(h);
}

void removeMenu(HMENU menu) {
  RecursiveLock lock(modelMutex());
  registry().menus.erase(reinterpret_cast<std::uintptr_t>(menu));
}

std::shared_ptr<Menu> findMenu(HMENU menu) {
  RecursiveLock lock(modelMutex());
  auto& ms = registry().menus;
  auto it = ms.find(reinterpret_cast<std::uintptr_t>(menu));
  return it == ms.end() ? nullptr : it->second;
}

// The platform's own classes exist before any lookup or application registration.
void ensureBuiltins() {
  static std::once_flag builtins;
  std::call_once(builtins, registerBuiltinControls);
}

std::shared_ptr<const WindowClass> findClass(std::string_view name) {
  ensureBuiltins();
  RecursiveLock lock(modelMutex());
  auto& cs = registry().classes;
  auto it = cs.find(lower(name));
  return it == cs.end() ? nullptr : it->second;
}

void registerBuiltinClass(const WindowClass& cls) {
  RecursiveLock lock(modelMutex());
  registry().classes[lower(cls.name)] = std::make_shared<const WindowClass>(cls);
}

bool registerClass(const WindowClass& cls) {
  ensureBuiltins();
  RecursiveLock lock(modelMutex());
  auto& cs = registry().classes;
  return cs.emplace(lower(cls.name), std::make_shared<const WindowClass>(cls)).second;
}

bool unregisterClass(std::string_view name) {
  RecursiveLock lock(modelMutex());
  return registry().classes.erase(lower(name)) > 0;
}

std::vector<HWND> topLevelWindows() {
  RecursiveLock lock(modelMutex());
  std::vector<HWND> out;
  for (HWND h : registry().order) {
    const auto& w = registry().windows[reinterpret_cast<std::uintptr_t>(h)];
    if (w && !(w->style & WS_CHILD)) out.push_back(h);
  }
  return out;
}

FrameMetrics frameMetrics(const Window& w) {
  FrameMetrics m;
  LONG border = 0;
  if (w.style & WS_THICKFRAME) border = 4;
  else if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & WS_DLGFRAME)) border = 3;
  else if (w.style & WS_BORDER) border = 1;
  if (w.exStyle & WS_EX_CLIENTEDGE) border += 2;
  m.left = m.right = m.bottom = m.top = border;
  if (!(w.style & WS_CHILD)) {
    if ((w.style & WS_CAPTION) == WS_CAPTION) m.top += 23;
    if (w.menu) m.top += 20;
  }
  return m;
}

}  // namespace platform::detail

namespace platform {

std::optional<WindowSnapshot> snapshotWindow(HWND hwnd) {
  auto w = detail::findWindow(hwnd);
  if (!w) return std::nullopt;
  RecursiveLock lock(detail::modelMutex());
  WindowSnapshot s;
  s.handle = w->handle;
  s.className = w->cls->name;
  s.kind = w->kind;
  s.style = w->style;
  s.exStyle = w->exStyle;
  s.text = w->text;
  s.control = w->control;
  s.font = w->font;
  s.colours = w->colours;
  s.showState = w->showState;
  s.menu = w->menu;
  s.parent = w->parent;
  s.owner = w->owner;
  s.thread = w->thread;
  s.rect = w->rect;
  s.frame = detail::frameMetrics(*w);
  return s;
}

std::optional<std::vector<MenuItemSnapshot>> snapshotMenu(HMENU menu) {
  auto m = detail::findMenu(menu);
  if (!m) return std::nullopt;
  RecursiveLock lock(detail::modelMutex());
  return m->items;
}

}  // namespace platform
