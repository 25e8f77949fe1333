// The window procedures of the runtime's classes: platform messages become events of the window
// or of its controls.
#pragma once

#include "platform/types.h"

namespace tamsil::window {

// "TslWin": commands, close, system commands and state changes, timers, the runtime's private
// messages.
platform::LRESULT windowProc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

// A control class: QUERY_COMMAND notifications become the control's events; everything else goes
// to the platform class underneath (`base`).
platform::LRESULT controlProc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam,
                              platform::WNDPROC base);

}  // namespace tamsil::window
