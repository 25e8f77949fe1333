// Pieces of the property layer shared between its files: the object a property access reaches,
// value conversion, and the table of properties that act on the window or control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "runtime/window/properties.h"

namespace tamsil::window::detail {

// The window, or one of its controls (control null: the window itself).
struct PropertyTarget {
  Window& window;
  Control* control = nullptr;

  platform::HWND hwnd() const { return control ? control->hwnd : window.handle; }
  PropertyStore& store() const { return control ? control->properties : window.properties; }
  int field() const { return control ? control->field : 0; }
};

// A decimal number with optional blanks around and a sign; the empty text is 0 (a flag turned
// off). Nothing for anything else.
std::optional<long> parseNumber(std::string_view text);
inline std::string flagText(bool on) { return on ? "1" : ""; }

// A property that reads or changes the real window or control. `set` is null for properties that
// can only be read. The index has been checked against the property's range before they run.
struct ActingProperty {
  std::uint16_t number;
  PropertyValue (*get)(const PropertyTarget& target, int index);
  PropertyStatus (*set)(const PropertyTarget& target, std::string_view value, long number, int index);
  bool numeric = true;  // the value must be a number (checked before `set` runs)
};
const ActingProperty* actingProperty(std::uint16_t number);

// Whether the index is one the property has.
bool indexInRange(std::uint16_t number, int index);

// The window's size limits (MinWidth ... MaxHeight) as the platform's tracking sizes.
void applySizeLimits(Window& window, platform::MINMAXINFO& info);

// Moves a control or the window in dialog units; `keepNoWidth` leaves the width of a control
// whose NoWidth is set as it is.
PropertyStatus movePosition(Window& window, int field, DialogRect wanted, bool keepNoWidth);
// A rectangle in the window's pixels in its dialog units.
DialogRect toDialogUnits(const Window& window, const platform::RECT& px);
// Closes the window's DeferMove batch and carries out its moves.
void commitDeferredMoves(Window& window);

}  // namespace tamsil::window::detail
