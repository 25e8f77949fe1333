#include "platform/controls/menu.h"

#include <vector>

#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"

namespace platform {

using detail::findMenu;

namespace {

HMENU newMenu(bool bar) {
  auto m = std::make_shared<detail::Menu>();
  m->bar = bar;
  return detail::addMenu(std::move(m));
}

// Finds an item by command identifier (searching sub-menus) or by position; the pointer is good
// while the caller holds the model lock.
detail::MenuItem* findItem(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr) REQUIRES(detail::modelMutex()) {
  auto m = findMenu(menu);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    if (owner) *owner = menu;
    return &m->items[item];
  }
  for (auto& i : m->items) {
    if (i.popup) {
      if (auto* found = findItem(i.popup, item, flags, owner)) return found;
    } else if (!(i.flags & MF_SEPARATOR) && i.id == item) {
      if (owner) *owner = menu;
      return &i;
    }
  }
  return nullptr;
}

}  // namespace

HMENU CreateMenu() { return newMenu(true); }
HMENU CreatePopupMenu() { return newMenu(false); }

BOOL DestroyMenu(HMENU menu) {
  auto m = findMenu(menu);
  if (!m) return FALSE;
  std::vector<HMENU> popups;
  {
    RecursiveLock lock(detail::modelMutex());
    for (const auto& i : m->items)
      if (i.popup) popups.push_back(i.popup);
  }
  for (HMENU popup : popups) DestroyMenu(popup);
  detail::removeMenu(menu);
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text) {
  auto m = findMenu(menu);
  if (!m) return FALSE;
  detail::MenuItem item;
  item.flags = flags;
  if (flags & MF_POPUP) {
    item.popup = reinterpret_cast<HMENU>(idOrPopup);
    if (!findMenu(item.popup)) return FALSE;
  } else {
    item.id = idOrPopup;
  }
  if (!(flags & MF_SEPARATOR) && text) item.text = text;
  {
    RecursiveLock lock(detail::modelMutex());
    m->items.push_back(std::move(item));
  }
  backend().menuChanged(menu);
  return TRUE;
}

BOOL SetMenu(HWND hwnd, HMENU menu) {
  auto w = detail::findWindow(hwnd);
  if (!w || (w->style & WS_CHILD) || (menu && !findMenu(menu))) return FALSE;
  {
    RecursiveLock lock(detail::modelMutex());
    w->menu = menu;
  }
  // The client area shrinks or grows by the menu bar; the window keeps its outer rectangle.
  backend().windowChanged(hwnd, Change::Menu);
  return TRUE;
}

HMENU GetMenu(HWND hwnd) {
  auto w = detail::findWindow(hwnd);
  return w ? w->menu : nullptr;
}

HMENU GetSubMenu(HMENU menu, int position) {
  auto m = findMenu(menu);
  if (!m) return nullptr;
  RecursiveLock lock(detail::modelMutex());
  if (position < 0 || size_t(position) >= m->items.size()) return nullptr;
  return m->items[size_t(position)].popup;
}

int GetMenuItemCount(HMENU menu) {
  auto m = findMenu(menu);
  if (!m) return -1;
  RecursiveLock lock(detail::modelMutex());
  return int(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto m = findMenu(menu);
  if (!m) return 0xFFFFFFFF;
  RecursiveLock lock(detail::modelMutex());
  if (position < 0 || size_t(position) >= m->items.size()) return 0xFFFFFFFF;
  const auto& i = m->items[size_t(position)];
  return (i.popup || (i.flags & MF_SEPARATOR)) ? 0xFFFFFFFF : UINT(i.id);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  RecursiveLock lock(detail::modelMutex());
  auto* i = findItem(menu, item, flags);
  if (!i) return 0xFFFFFFFF;
  UINT state = i->flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP);
  if (i->popup) state |= UINT(GetMenuItemCount(i->popup)) << 8;
  return state;
}

std::string GetMenuStringA(HMENU menu, UINT item, UINT flags) {
  RecursiveLock lock(detail::modelMutex());
  auto* i = findItem(menu, item, flags);
  return i ? i->text : std::string();
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  HMENU owner = nullptr;
  DWORD old;
  {
    RecursiveLock lock(detail::modelMutex());
    auto* i = findItem(menu, item, flags, &owner);
    if (!i) return 0xFFFFFFFF;
    old = i->flags & MF_CHECKED;
    i->flags = (i->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  }
  backend().menuChanged(owner);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  HMENU owner = nullptr;
  BOOL old;
  {
    RecursiveLock lock(detail::modelMutex());
    auto* i = findItem(menu, item, flags, &owner);
    if (!i) return -1;
    old = BOOL(i->flags & (MF_GRAYED | MF_DISABLED));
    i->flags = (i->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  }
  backend().menuChanged(owner);
  return old;
}

}  // namespace platform
