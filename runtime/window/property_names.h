// Runtime property names: the table from every name a program may use to its 16-bit number.
// Several names share a number ("Below" and "Center"); names compare without case and may carry
// the prefix "PROP:".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tamsil::window {

struct PropertyName {
  std::string_view name;
  std::uint16_t number;
};

// Every name, in number order; the first name of a number is the one traces show.
std::span<const PropertyName> propertyNames();

// The number of a property name ("Width", "prop:width"); nothing for an unknown name.
std::optional<std::uint16_t> propertyNumber(std::string_view name);

// The first name of a number; empty for a number without one.
std::string_view propertyName(std::uint16_t number);

// Runtime properties are numbered from here; smaller selectors belong to the control itself.
inline constexpr std::uint16_t kFirstRuntimeProperty = 0x7000;
// Numbers from here on take an index as their second argument.
inline constexpr std::uint16_t kFirstIndexedProperty = 0x7D00;

inline constexpr bool isRuntimeProperty(std::uint32_t selector) { return selector >= kFirstRuntimeProperty; }
inline constexpr bool takesIndex(std::uint16_t number) { return number >= kFirstIndexedProperty; }

}  // namespace tamsil::window
