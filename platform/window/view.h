// A component's own view of one window: something the component draws itself inside the window
// (a grid's table), put on the window through the platform so the component never reaches into
// a backend. The core only keeps it; each backend knows the kinds of view it can show (the Qt
// backend's QtWindowView in platform/qt/widget_adapter.h) and shows nothing of any other kind.
#pragma once

#include <memory>
#include <optional>

#include "platform/types.h"

namespace platform {

struct WindowView {
  virtual ~WindowView() = default;
  // A message sent to the window that its procedure leaves to DefWindowProcA: the view may answer
  // it itself (keys typed into the window, the clipboard commands, what the window wants of the
  // dialog manager), and nothing leaves it to the default. Called on the window's thread with no
  // lock held.
  virtual std::optional<LRESULT> message(HWND, UINT, WPARAM, LPARAM) { return std::nullopt; }
};

// Puts the view on a window of the calling thread, replacing any view it had; null removes it.
// The backend rebuilds the window's widget (the Qt backend shows views of child windows). The window holds the view until it is replaced,
// removed or the window is destroyed. FALSE for a stale handle, a window of another thread or a
// window being destroyed.
BOOL SetWindowView(HWND hwnd, std::shared_ptr<WindowView> view);
// The window's view, or null.
std::shared_ptr<WindowView> GetWindowView(HWND hwnd);

}  // namespace platform
