// The runtime's window classes: "TslWin" for windows, and one class per kind of control built on
// top of a platform class ("TslButton" on "button", "TslPrompt" on "static", "TslEdit" on "edit",
// ...). Each is registered on first use under its name, "_" and the program module's instance
// number in hexadecimal ("TslButton_5f3a20"), so two runtimes in one process never share a class.
// The control classes turn the platform's notifications into events of their control. Besides
// the windows and controls, the runtime has classes of its own for tool tips, for the hidden
// windows whose timers advance animated images, and for DDE conversations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace tamsil::window {

struct RuntimeClass {
  std::string_view name;      // "TslButton"
  std::string_view base;      // the platform class it is built on; empty for the runtime's own
  platform::DWORD style = 0;  // style bits every control of the class gets
  // The procedure of a class that is no control (windows, timers, DDE); null for the control
  // procedure, which chains to the base class (DefWindowProcA without one).
  platform::WNDPROC ownProc = nullptr;
};

// The class for a record kind; null for kinds that make no window of a runtime class (menus,
// items, lines, boxes, panels). `variant` picks the second class of a kind: a list that drops
// down (TslDrop), a text that holds rich text (TslRTF).
const RuntimeClass* runtimeClassForKind(std::uint8_t kind, bool variant = false);
// The class of that runtime name ("TslTimerWinClass"), or null.
const RuntimeClass* runtimeClassNamed(std::string_view name);

// What a TslTimerWinClass window drives: the object whose address the window keeps in its window
// data (GWLP_USERDATA) is handed each of the window's timers.
class TimerTarget {
 public:
  virtual ~TimerTarget() = default;
  virtual void onTimer(platform::UINT_PTR timerId) = 0;
};

// Registers the class on first use and returns its registered name. A platform class that cannot
// be read raises runtime error 502 with the detail "WSLCLASS".
std::string ensureRuntimeClass(const RuntimeClass& cls);
// Registers the class of windows on first use and returns its registered name.
std::string ensureWindowClass();

// The runtime name ("TslDrop") of a platform window of one of the runtime's classes; empty for
// any other window.
std::string runtimeClassOf(platform::HWND hwnd);

// The text added to every runtime class name: "_" and the module instance number in hexadecimal.
std::string runtimeClassSuffix();

}  // namespace tamsil::window
