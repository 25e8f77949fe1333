// Handle registries of the model: windows, menus, fonts and images. Handles are small numbers
// that are never reused during a run, so a stale handle finds nothing.
#pragma once

#include <memory>

#include "platform/window/detail/model.h"

namespace platform::detail {

HWND addWindow(std::shared_ptr<Window> w);
void removeWindow(HWND hwnd);
HMENU addMenu(std::shared_ptr<Menu> m);
void removeMenu(HMENU menu);

// Application classes; false for a duplicate name or an unknown one.
bool registerClass(const WindowClass& cls);
bool unregisterClass(std::string_view name);

}  // namespace platform::detail
