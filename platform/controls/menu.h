// Menus: bars, pop-up menus, items and separators with checked and grayed state. Choosing an item
// posts WM_COMMAND with its identifier to the window that owns the bar.
#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

HMENU CreateMenu();            // a menu bar
HMENU CreatePopupMenu();       // a drop-down menu
BOOL DestroyMenu(HMENU menu);  // destroys its sub-menus too
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text);
BOOL SetMenu(HWND hwnd, HMENU menu);
HMENU GetMenu(HWND hwnd);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);          // 0xFFFFFFFF for pop-ups and separators
UINT GetMenuState(HMENU menu, UINT item, UINT flags);  // 0xFFFFFFFF when absent
std::string GetMenuStringA(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);  // previous state or 0xFFFFFFFF
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);  // previous state or -1

}  // namespace platform
