// Pieces of the property layer shared between its files: the object a property access reaches,
// value conversion, and the table of properties with rules of their own (those that act on the
// window or control, and stored ones with their own indexes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "runtime/window/properties.h"

namespace tamsil::window::detail {

// The window, or one of its controls (control null: the window itself), and the property asked for.
struct PropertyTarget {
  Window& window;
  Control* control = nullptr;
  std::uint16_t number = 0;

  platform::HWND hwnd() const { return control ? control->hwnd : window.handle; }
  PropertyStore& store() const { return control ? control->properties : window.properties; }
  int field() const { return control ? control->field : 0; }
};

// A decimal number with optional blanks around and a sign; the empty text is 0 (a flag turned
// off). Nothing for anything else.
std::optional<long> parseNumber(std::string_view text);
inline std::string flagText(bool on) { return on ? "1" : ""; }

// Which indexes a property has.
enum class IndexRule : std::uint8_t {
  ByNumber,      // numbers from kFirstIndexedProperty take 0 to 255, the others ignore their index
  FromOne,       // 1 to 255: a list counted from 1 (alert keys, child windows)
  AnyField,      // any field number
  FontSelector,  // 0 or a font selector (prop::TipsFont, prop::StatusFont); stored per selector
};

// A property with rules of its own. One that reads or changes the real window or control has
// `get`; `set` is null for those that can only be read. One without `get` is kept in the store
// like any other property, by the index its rule allows. The index has been checked against the
// rule before `get` and `set` run, and `numeric` values have been read as a number.
struct PropertyRules {
  std::uint16_t number;
  PropertyValue (*get)(const PropertyTarget& target, int index) = nullptr;
  PropertyStatus (*set)(const PropertyTarget& target, std::string_view value, long number, int index) = nullptr;
  bool numeric = true;  // the value must be a number (checked before `set` runs)
  IndexRule index = IndexRule::ByNumber;
};
// The rules of a property; null for one that has none of its own.
const PropertyRules* propertyRules(std::uint16_t number);

// The window's size limits (MinWidth ... MaxHeight) as the platform's tracking sizes.
void applySizeLimits(Window& window, platform::MINMAXINFO& info);
// Holds a change of the window's size within its limits, whoever changes it: the person's sizing
// or the program's own moves. A minimized window is left alone.
void holdToSizeLimits(Window& window, platform::WINDOWPOS& pos);

// Moves a control or the window in dialog units; `keepNoWidth` leaves the width of a control
// whose NoWidth is set as it is.
PropertyStatus movePosition(Window& window, int field, DialogRect wanted, bool keepNoWidth);
// A rectangle in the window's pixels in its dialog units.
DialogRect toDialogUnits(const Window& window, const platform::RECT& px);
// Closes the window's DeferMove batch and carries out its moves.
void commitDeferredMoves(Window& window);

}  // namespace tamsil::window::detail
