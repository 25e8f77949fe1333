// What a cell holds: nothing, text, a number, a date or a time of day. The cell's type decides
// which of these it keeps (a date cell a date, a number cell a number, ...) and how it is shown.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace spread {

// A date as a day count from 30 December 1899 (day 0), the automation DATE's whole part.
struct DateValue {
  std::int32_t day = 0;
  friend bool operator==(DateValue, DateValue) = default;
  friend auto operator<=>(DateValue, DateValue) = default;
};

// A time of day in seconds since midnight (0 to 86399).
struct TimeValue {
  std::int32_t seconds = 0;
  friend bool operator==(TimeValue, TimeValue) = default;
  friend auto operator<=>(TimeValue, TimeValue) = default;
};

using CellValue = std::variant<std::monostate, std::string, double, DateValue, TimeValue>;

inline bool IsEmpty(const CellValue& v) {
  return std::holds_alternative<std::monostate>(v) || (std::holds_alternative<std::string>(v) && std::get<std::string>(v).empty());
}

// A colour as the automation interface passes it: 0x00BBGGRR.
using Colour = std::uint32_t;

}  // namespace spread
