// Helpers for platform tests on the headless backend: a window procedure that records what it
// receives, and a pump that runs queued messages and pending user input until nothing is left.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"

namespace platform::testing {

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Registers (once) a class "TestWindow" whose procedure records every message into recorded()
// and then lets `hook` answer it (DefWindowProcA when the hook returns nothing).
using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
std::vector<Received>& recorded();
void setHook(Hook hook);
HWND createTestWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, HMENU menu = nullptr);

// The names of recorded messages of one window, in order, leaving out the given ones.
std::vector<std::string> names(HWND hwnd, const std::vector<UINT>& ignore = {});

// Dispatches queued messages and feeds pending input until both are empty.
void pumpUntilIdle(HWND dialog = nullptr);

// Destroys every top-level window and clears the recording; call between tests.
void resetWindows();

}  // namespace platform::testing
