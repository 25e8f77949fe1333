// The runtime's window classes: "TslWin" for windows, and one class per kind of control built on
// top of a platform class ("TslButton" on "button", "TslPrompt" on "static", "TslEdit" on "edit",
// ...). Each is registered on first use under its name, "_" and the program module's instance
// number in hexadecimal ("TslButton_5f3a20"), so two runtimes in one process never share a class.
// The control classes turn the platform's notifications into events of their control.
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
};

// The class for a record kind (and list kinds by whether they drop down); null for kinds that make
// no platform window (menus, items, lines, boxes, panels).
const RuntimeClass* runtimeClassForKind(std::uint8_t kind, bool dropList = false);

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
