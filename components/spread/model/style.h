// A cell's style: its type, the type's properties and its formatting. A sheet keeps one default
// style and, sparsely, styles of columns, rows and cells; what applies to a cell is its own
// style, else its row's, else its column's, else the sheet's default. Styles are shared and never
// changed in place (a change makes a new one), so cells written alike share one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/spread/model/calendar.h"
#include "components/spread/model/picture.h"
#include "components/spread/model/values.h"

namespace spread {

// The cell types, with the numbers the CellType property takes. 2 and 3 are not used;
// Scientific is a type of this grid's own.
enum class CellType : std::int16_t {
  Date = 0,
  Edit = 1,
  PicMask = 4,
  StaticText = 5,
  Time = 6,
  Button = 7,
  ComboBox = 8,
  Picture = 9,
  CheckBox = 10,
  OwnerDrawn = 11,
  Currency = 12,
  Number = 13,
  Percent = 14,
  Scientific = 15,
};
bool IsCellType(std::int32_t n);

enum class HAlign : std::int16_t { Left = 0, Right = 1, Center = 2 };
enum class VAlign : std::int32_t { Top = 0, Bottom = 1, Center = 2 };
// TypeDateFormat: the order of day, month and year; DayMonthNameYear writes the month's name.
enum class DateFormat : std::int16_t { DayMonthNameYear = 0, DayMonthYear = 1, MonthDayYear = 2, YearMonthDay = 3 };
enum class CharCase : std::int32_t { Lower = 0, AsTyped = 1, Upper = 2 };
// TypeEditCharSet: which characters an edit cell takes.
enum class CharSet : std::int32_t { Any = 0, Alpha = 1, AlphaNumeric = 2, Numeric = 3 };
enum class ButtonType : std::int32_t { Normal = 0, TwoState = 1 };
enum class CheckType : std::int32_t { TwoState = 0, ThreeState = 1 };

inline constexpr double kDefaultNumberLimit = 99999999999.99;
inline const DateValue kDefaultDateMin = ToDateValue({1900, 1, 1});
inline const DateValue kDefaultDateMax = ToDateValue({2199, 12, 31});

struct Style {
#define STYLE_FIELD(type, field, initial) type field = initial;
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD

  CellType type() const { return CellType(cellType); }
};

using StylePtr = std::shared_ptr<const Style>;

// The style every new sheet starts from.
const StylePtr& DefaultStyle();

}  // namespace spread
