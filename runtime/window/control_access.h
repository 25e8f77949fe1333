// The control-property entries through which programs reach a control's properties by selector:
// a number of 0x7000 or more is a runtime property; a text with a non-zero index is looked up as
// a runtime property name; any other text (and a smaller number, as its decimal text, such as
// member "0") is the control's own: it goes to the control's automation, which the OLE container
// attaches to its controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "runtime/window/properties.h"

namespace tamsil::window {

// What a control answers for selectors of its own; the OLE container implements it for the
// objects it hosts and attaches it to the control (Control::automation).
class ControlAutomation {
 public:
  virtual ~ControlAutomation() = default;
  // Reads a property or calls a method written as a member path ("Sheet.Cells(1,2).Text").
  virtual PropertyValue call(std::string_view memberPath) = 0;
  // Assigns a value to the property named by the member path.
  virtual PropertyStatus put(std::string_view memberPath, std::string_view value) = 0;
  // Calls the member path with no result wanted.
  virtual PropertyStatus invoke(std::string_view memberPath) { return call(memberPath).status; }
  // Assigns the value of a typed program variable (a storage type code, or 0x13 for a
  // zero-terminated text, and its size in bytes).
  virtual PropertyStatus putTyped(std::string_view memberPath, std::uint8_t type, const void* address, std::size_t size);
  // The control's own answer for a runtime property number; nothing for the runtime's ordinary
  // handling.
  virtual std::optional<PropertyValue> getRuntime(std::uint16_t number, int index);
  virtual std::optional<PropertyStatus> setRuntime(std::uint16_t number, std::string_view value, int index);
};

// Makes the automation of a control of one kind the first time a selector reaches it (the OLE
// container installs one for OLE controls). An empty provider removes it.
using AutomationProvider = std::function<std::shared_ptr<ControlAutomation>(Window&, Control&)>;
void SetAutomationProvider(std::uint8_t kind, AutomationProvider provider);

// A property selector: a number or a text.
using Selector = std::variant<std::uint32_t, std::string>;

// Reads (or calls) the selector on control `field` of the window. A text for a control without
// automation answers NotHandled.
PropertyValue PropertyCall(Window& window, int field, int index, const Selector& selector);
// Writes the value to the selector. A text for a control without automation is taken as a runtime
// property name.
PropertyStatus PropertyPut(Window& window, int field, int index, const Selector& selector, std::string_view value);
// Writes the value of a typed program variable to the selector (a storage type code, or 0x13 for
// a zero-terminated text, and its size). Only a control's automation takes typed values; other
// selectors get the value as text.
PropertyStatus PropertyPutTyped(Window& window, int field, int index, const Selector& selector, std::uint8_t type, const void* address,
                                std::size_t size);
// Calls the selector with no result wanted.
PropertyStatus MethodCall(Window& window, int field, int index, const Selector& selector);

}  // namespace tamsil::window
