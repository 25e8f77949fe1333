// A component's own view of one window: something the component draws itself inside the window
// (a grid's table), put on the window through the platform so the component never reaches into
// a backend. The core only keeps it; each backend knows the kinds of view it can show (the Qt
// backend's QtWindowView in platform/qt/widget_adapter.h) and shows nothing of any other kind.
#pragma once

#include <memory>

#include "platform/types.h"

namespace platform {

struct WindowView {
  virtual ~WindowView() = default;
};

// Puts the view on a window of the calling thread, replacing any view it had; null removes it.
// The backend rebuilds the window's widget (the Qt backend shows views of child windows). The window holds the view until it is replaced,
// removed or the window is destroyed. FALSE for a stale handle, a window of another thread or a
// window being destroyed.
BOOL SetWindowView(HWND hwnd, std::shared_ptr<WindowView> view);
// The window's view, or null.
std::shared_ptr<WindowView> GetWindowView(HWND hwnd);

}  // namespace platform
