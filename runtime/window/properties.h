// Runtime properties of windows and controls, addressed by number (property_names.h gives the
// numbers of the names). Properties that change the window or control act on it at once (Text,
// the position, Hide, Disable, Maximize, DeferMove, the size limits, Timer, Default ...); the rest
// are stored with the window or control and read back. Values travel as text, numbers in decimal.
//
// Bad input never ends the program: an unknown number, an index out of range, a field without a
// control, a window that is not open or a value of the wrong kind reads as the empty text and
// writes nothing, and the status says which it was.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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
PropertyValue GetSystemProperty(std::uint16_t number, int index = 0);
PropertyStatus SetSystemProperty(std::uint16_t number, std::string_view value, int index = 0);

// The position of a control (field 0: the window) in the window's dialog units. A control is
// placed relative to the window's client area; the window's Xpos and Ypos are the screen position
// of its frame, its Width and Height the size of its client area, as the window's definition
// gives them. While a DeferMove batch is open, moves are collected and read back as given.
inline constexpr int kUnchanged = int(0x80000000);  // a coordinate SetPosition leaves as it is
PropertyStatus GetPosition(Window& window, int field, DialogRect& out);
PropertyStatus SetPosition(Window& window, int field, int x, int y, int width, int height);

// Property numbers the runtime and the framework use by name.
namespace prop {
inline constexpr std::uint16_t Single = 0x7A06, Parent = 0x7A07, InToolBar = 0x7A19, HaltHook = 0x7A34, MessageHook = 0x7A35, StopHook = 0x7A36,
                               FatalErrorHook = 0x7A38, NoWidth = 0x7A40, ClientX = 0x7A4D, ClientY = 0x7A4E, ClientWidth = 0x7A4F,
                               ClientHeight = 0x7A50, NextTabStop = 0x7A56, PrevTabStop = 0x7A57, Text = 0x7C00, Type = 0x7C01, Xpos = 0x7C02,
                               Ypos = 0x7C03, Width = 0x7C04, Height = 0x7C05, Font = 0x7C10, FontSize = 0x7C11, FontColor = 0x7C12,
                               FontStyle = 0x7C13, Resize = 0x7C1A, Default = 0x7C5E, Disable = 0x7C5F, Drop = 0x7C60, Full = 0x7C63,
                               Hide = 0x7C65, Icon = 0x7C68, Iconize = 0x7C69, Maximize = 0x7C6F, Timer = 0x7C86, AcceptAll = 0x7C9A,
                               MinWidth = 0x7CAD, MinHeight = 0x7CAE, MaxWidth = 0x7CAF, MaxHeight = 0x7CB0, DeferMove = 0x7CBD,
                               Status = 0x7D00, Alrt = 0x7D06, Child = 0x7D0A, NextField = 0x7D0B;
inline constexpr int TipsFont = 0x10, RTFCurrentFont = 0x10, StatusFont = 0x14;
}  // namespace prop

}  // namespace tamsil::window
