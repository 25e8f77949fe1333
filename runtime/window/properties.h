// Runtime properties of windows and controls, addressed by number (property_names.h gives the
// numbers, prop::Text and so on, and their names). Properties that change the window or control
// act on it at once (Text, the position, Hide, Disable, Maximize, DeferMove, the size limits,
// Timer, Default ...); the rest are stored with the window or control and read back. Values travel as text, numbers in decimal.
//
// Bad input never ends the program: an unknown number, an index out of range, a field without a
// control, a window that is not open or a value of the wrong kind reads as the empty text and
// writes nothing, and the status says which it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/window/property_names.h"
#include "runtime/window/property_store.h"
#include "runtime/window/window_object.h"

namespace tamsil::window {

enum class PropertyStatus {
  Ok,
  UnknownProperty,  // not a runtime property number, or a name that is not in the table
  IndexOutOfRange,  // an index the property does not have
  WindowNotOpen,    // the window has no platform window (never opened, or closed)
  NoSuchControl,    // the field number names no control of the window
  ReadOnly,         // a property that can only be read (Type, clientwidth, NextField ...)
  BadValue,         // a value the property cannot take (text for a number, a hook address)
  NotHandled,       // a text selector the control has no automation for
};

struct PropertyValue {
  PropertyStatus status = PropertyStatus::Ok;
  std::string text;
  bool ok() const { return status == PropertyStatus::Ok; }
  long number() const;  // the text read as a decimal number, 0 when it is none
};

// Property `number` of control `field` of the window (field 0: the window itself). Numbers of
// kFirstIndexedProperty and above take `index`; the font properties take a font selector (0, or
// TipsFont, RTFCurrentFont, StatusFont) as their index; other properties ignore it.
PropertyValue GetProperty(Window& window, int field, std::uint16_t number, int index = 0);
PropertyStatus SetProperty(Window& window, int field, std::uint16_t number, std::string_view value, int index = 0);
PropertyStatus SetProperty(Window& window, int field, std::uint16_t number, long value, int index = 0);
// The same with the property given by name ("Width", "PROP:Hide").
PropertyValue GetProperty(Window& window, int field, std::string_view name, int index = 0);
PropertyStatus SetProperty(Window& window, int field, std::string_view name, std::string_view value, int index = 0);

// Properties of the program as a whole (the hooks, and whatever a program stores there). A hook
// reads as its address in hexadecimal, or 0; hooks are installed with their Set...Hook function,
// and through a property they can only be removed (written as 0 or empty): a number is never
// taken as a procedure address.
// TraceSettingsFile, TraceSettingsLocation and TraceUseLocation choose where the file drivers
// read their trace settings (runtime/core/trace_source.h); the flag takes a number and reads back
// as "1" or empty.
PropertyValue GetSystemProperty(std::uint16_t number, int index = 0);
PropertyStatus SetSystemProperty(std::uint16_t number, std::string_view value, int index = 0);
// The same with the property given by name.
PropertyValue GetSystemProperty(std::string_view name, int index = 0);
PropertyStatus SetSystemProperty(std::string_view name, std::string_view value, int index = 0);

// The position of a control (field 0: the window) in the window's dialog units. A control is
// placed relative to the window's client area; the window's Xpos and Ypos are the screen position
// of its frame, its Width and Height the size of its client area, as the window's definition
// gives them. While a DeferMove batch is open, moves are collected and read back as given.
inline constexpr int kUnchanged = int(0x80000000);  // a coordinate SetPosition leaves as it is
PropertyStatus GetPosition(Window& window, int field, DialogRect& out);
PropertyStatus SetPosition(Window& window, int field, int x, int y, int width, int height);

}  // namespace tamsil::window
