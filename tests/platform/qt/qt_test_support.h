// Helpers for tests of the Qt backend: the backend on the offscreen platform for the whole test
// program, a record of every message delivered, a pump, and the widget of a window.
#pragma once

#include <QWidget>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"

namespace platform::qt::testing {

struct Delivered {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message delivered to any window procedure since the last clear.
std::vector<Delivered>& delivered();
// The messages one window received, in order, with only the given message numbers kept.
std::vector<Delivered> deliveredTo(HWND hwnd, const std::vector<UINT>& keep);

// Dispatches queued messages and feeds pending user input until both are empty.
void drain();

// A top-level window of class "QtTestFrame" (DefWindowProcA behind a hook the test may set).
using FrameHook = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, bool* handled);
HWND createFrame(const char* title, int x, int y, int width, int height, HMENU menu = nullptr, FrameHook hook = nullptr);
HWND createChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id);

// The widget mirroring a window, or null.
QWidget* widgetOf(HWND hwnd);
template <typename T>
T* widgetAs(HWND hwnd) {
  return qobject_cast<T*>(widgetOf(hwnd));
}

// Destroys every top-level window and clears the record; call between tests.
void resetWindows();

}  // namespace platform::qt::testing
