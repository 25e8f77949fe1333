// Small pieces shared by the window files: client geometry from the frame metrics and the
// choice of the next active window.
#pragma once

#include "platform/types.h"
#include "platform/window/detail/model.h"

namespace platform::detail {

// Client origin of a window in its parent's client coordinates (screen for top-level windows).
POINT clientOrigin(const Window& w);
RECT clientRectOf(const Window& w);

// The window to activate when the active one goes away: its owner when it can take it, else the
// newest visible, enabled top-level window of the thread.
HWND nextActive(HWND leaving);

}  // namespace platform::detail
