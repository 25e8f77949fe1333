// The runtime's window classes: "TslWin" for windows, and one class per kind of control built on
// top of a platform class ("TslButton" on "button", "TslPrompt" on "static", "TslEdit" on "edit",
// ...). The control classes turn the platform's notifications into events of their control.
#pragma once

#include <cstdint>
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

// Registers the class on first use; returns its name, or empty when its platform class is missing.
std::string_view ensureRuntimeClass(const RuntimeClass& cls);
// The class of windows.
std::string_view ensureWindowClass();

}  // namespace tamsil::window
