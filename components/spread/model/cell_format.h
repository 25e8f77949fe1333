// What each cell type accepts and how it shows what it holds. Every write of a cell's Text or
// Value, and every edit a user commits, goes through ParseCellInput; a value that does not pass is
// refused and the cell keeps what it had. The rules, by type:
//
// - Edit: text; cut to TypeEditLen characters (the one rule that shortens rather than refuses);
//   TypeEditCharCase 0 lowers and 2 raises letters; TypeEditCharSet 1 takes letters and blanks
//   only, 2 letters, digits and blanks, 3 digits, sign and decimal point: any other character
//   refuses the text.
// - Static text, owner-drawn, picture: any text.
// - Date: a date in the order TypeDateFormat gives (day/month/year, month/day/year, ...), parts
//   split by any character that is no letter or digit, the month as a number or its three-letter
//   name; or the eight digits YYYYMMDD. A year of one or two digits is the year ending so that is
//   at most TwoDigitYearMa and more than TwoDigitYearMa - 100. Refused: no such date, or a date
//   before TypeDateMin or after TypeDateMax. Shown with TypeDateSeparator, the year in two digits
//   unless TypeDateCentury.
// - Time: "H:MM[:SS]" with an optional AM/PM (any case) or the digits HHMMSS / HHMM; refused when
//   no such time, or before TypeTimeMin or after TypeTimeMax. Shown as "HH:MM[:SS]" in 24 hours
//   or "HH:MM[:SS] AM" in 12, with TypeTimeSeparator, seconds when TypeTimeSeconds.
// - Currency, number, percent, scientific: a number, with or without the currency symbol, the
//   percent sign, the thousands separator, the type's decimal character, a leading or trailing
//   minus or parentheses for a negative; rounded to the type's decimal places; refused when it is
//   no number or, after rounding, below the type's minimum or above its maximum. A percent cell
//   holds the number of percent ("25" is 25 %).
// - Picture mask: text that fits TypePicMask, typed with the mask's literal characters or
//   without them. Mask characters: 9 a digit, A a letter, N a letter or digit, U a letter made
//   upper case, L a letter made lower case, H a hexadecimal digit, X any character; any other
//   mask character is a literal that stands as it is. A text that does not fill the mask, or has
//   a character its place does not take, is refused. Empty text empties the cell.
// - Combo box: one of the tab-separated items of TypeComboBoxList (compared without case, kept
//   as the item is spelled); any text when TypeComboBoxEditable; else refused.
// - Check box: "0"/"1" (also "True"/"False", "-1" for checked); "2" (grayed) only when
//   TypeCheckType is three-state. Button: "0"/"1" (the state of a two-state button).
//
// Empty input always empties the cell. When a cell's type or type properties change, what it
// holds is checked again (RecheckCellValue): a value of the same kind (a number in number types,
// a date in a date cell) is checked against the new limits and decimals; any other is read again
// from the text it showed. A value the new rules refuse is cleared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/model/style.h"
#include "components/spread/model/values.h"

namespace spread {

// Settings of the whole grid that formatting needs.
struct FormatContext {
  std::int32_t twoDigitYearMax = 2059;
};

struct Parsed {
  bool ok = true;
  CellValue value;
  std::string error;  // why the input was refused
};

Parsed ParseCellInput(const Style& style, std::string_view text, const FormatContext& context);
Parsed RecheckCellValue(const Style& newStyle, const Style& oldStyle, const CellValue& value, const FormatContext& context);
// The text a cell shows (its Text property).
std::string CellText(const Style& style, const CellValue& value);
// The value underneath (its Value property): numbers plainly with "." ("1234.5"), dates as
// YYYYMMDD, times as HHMMSS, check boxes and buttons "0"/"1"/"2", text as it is.
std::string CellValueText(const Style& style, const CellValue& value);
// The same texts without a string made per cell, for exports: a text value is given where it
// lies, any other is written into scratch (its earlier contents are dropped).
std::string_view CellTextView(const Style& style, const CellValue& value, std::string& scratch);
std::string_view CellValueTextView(const Style& style, const CellValue& value, std::string& scratch);

// The pieces, one file each.
Parsed ParseNumberInput(const Style& style, std::string_view text);
Parsed CheckNumber(const Style& style, double value);
std::string NumberText(const Style& style, double value);
void AppendNumberText(std::string& out, const Style& style, double value);
Parsed ParseDateInput(const Style& style, std::string_view text, const FormatContext& context);
Parsed CheckDate(const Style& style, DateValue value);
std::string DateText(const Style& style, DateValue value);
Parsed ParseTimeInput(const Style& style, std::string_view text);
Parsed CheckTime(const Style& style, TimeValue value);
std::string TimeText(const Style& style, TimeValue value);
Parsed ParseMaskInput(std::string_view mask, std::string_view text);
Parsed ParseEditInput(const Style& style, std::string_view text);
Parsed ParseComboInput(const Style& style, std::string_view text);
Parsed ParseStateInput(const Style& style, std::string_view text);  // check box and button

// The items of a combo box list (tab-separated).
std::vector<std::string> ComboItems(const Style& style);
// A plain number text: at most 15 significant digits, no trailing zeros or point.
std::string PlainNumberText(double value);

}  // namespace spread
