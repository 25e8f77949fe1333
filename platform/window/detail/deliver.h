// Delivery of a message to a window procedure on the calling thread, with the trace hook, and
// change notification to the backend.
#pragma once

#include "platform/backend.h"
#include "platform/types.h"

namespace platform::detail {

// Calls the window's current procedure (nothing for a stale handle) after the trace hook.
LRESULT deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

inline void notify(HWND hwnd, Change what) { backend().windowChanged(hwnd, what); }

// Sends the WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED pair and applies the new rectangle
// (parent client coordinates) between them.
void changeWindowPos(HWND hwnd, RECT target, UINT flags);

// The user's move or size of a window through its frame (SC_MOVE / SC_SIZE).
void runMoveSize(HWND hwnd, bool sizing);

}  // namespace platform::detail
