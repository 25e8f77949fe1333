// Runtime property numbers and names, both from the one list in property_list.inc: the prop::
// constants, and the table from every name a program may use to its 16-bit number. Several names
// share a number ("Below" and "Center"); names compare without case and may carry the prefix
// "PROP:".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tamsil::window {

namespace prop {
#define RUNTIME_PROPERTY(name, number) inline constexpr std::uint16_t name = number;
#define RUNTIME_PROPERTY_SPELLED(name, text, number) RUNTIME_PROPERTY(name, number)
#define RUNTIME_PROPERTY_ALIAS(other, name)
#include "runtime/window/property_list.inc"
#undef RUNTIME_PROPERTY
#undef RUNTIME_PROPERTY_SPELLED
#undef RUNTIME_PROPERTY_ALIAS

// Numbers the runtime acts on that have no name in the table: programs reach them by number only.
inline constexpr std::uint16_t MoveSizeEvents = 0x7C6A;  // the window delivers move and size events
}  // namespace prop

struct PropertyName {
  std::string_view name;
  std::uint16_t number;
  bool alias;  // a further name of a number; the number's first name is not one
};

// Every name, in number order, each number's first name before its further names.
std::span<const PropertyName> propertyNames();

// The number of a property name ("Width", "prop:width"); nothing for an unknown name.
std::optional<std::uint16_t> propertyNumber(std::string_view name);

// The first name of a number; empty for a number without one.
std::string_view propertyName(std::uint16_t number);

// Runtime properties are numbered from here; smaller selectors belong to the control itself.
inline constexpr std::uint16_t kFirstRuntimeProperty = 0x7000;
// Status and the numbers after it take an index as their second argument.
inline constexpr std::uint16_t kFirstIndexedProperty = prop::Status;

inline constexpr bool isRuntimeProperty(std::uint32_t selector) { return selector >= kFirstRuntimeProperty; }
inline constexpr bool takesIndex(std::uint16_t number) { return number >= kFirstIndexedProperty; }

}  // namespace tamsil::window
