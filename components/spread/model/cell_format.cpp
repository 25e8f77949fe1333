// The cell types' rules brought together: which parser reads a cell's input, how a held value
// is checked again after a change of type, and the texts a cell shows.
#include "components/spread/model/cell_format.h"

#include <vector>

namespace spread {

namespace {

// What a type keeps: the kind of value it holds.
enum class Holds { Text, Number, Date, Time, State };

Holds holds(CellType t) {
  switch (t) {
    case CellType::Currency:
    case CellType::Number:
    case CellType::Percent:
    case CellType::Scientific: return Holds::Number;
    case CellType::Date: return Holds::Date;
    case CellType::Time: return Holds::Time;
    case CellType::CheckBox:
    case CellType::Button: return Holds::State;
    default: return Holds::Text;
  }
}

}  // namespace

bool IsCellType(std::int32_t n) { return (n >= 0 && n <= 15 && n != 2 && n != 3); }

Parsed ParseCellInput(const Style& s, std::string_view text, const FormatContext& context) {
  if (text.empty()) return {true, std::monostate{}, {}};
  switch (s.type()) {
    case CellType::Date: return ParseDateInput(s, text, context);
    case CellType::Time: return ParseTimeInput(s, text);
    case CellType::Currency:
    case CellType::Number:
    case CellType::Percent:
    case CellType::Scientific: return ParseNumberInput(s, text);
    case CellType::PicMask: return ParseMaskInput(s.picMask, text);
    case CellType::Edit: return ParseEditInput(s, text);
    case CellType::ComboBox: return ParseComboInput(s, text);
    case CellType::CheckBox:
    case CellType::Button: return ParseStateInput(s, text);
    default: return {true, std::string(text), {}};
  }
}

Parsed RecheckCellValue(const Style& now, const Style& before, const CellValue& value, const FormatContext& context) {
  if (IsEmpty(value)) return {true, std::monostate{}, {}};
  const Holds h = holds(now.type());
  if (h == Holds::Number && std::holds_alternative<double>(value) && holds(before.type()) == Holds::Number)
    return CheckNumber(now, std::get<double>(value));
  if (h == Holds::Date && std::holds_alternative<DateValue>(value)) return CheckDate(now, std::get<DateValue>(value));
  if (h == Holds::Time && std::holds_alternative<TimeValue>(value)) return CheckTime(now, std::get<TimeValue>(value));
  if (h == Holds::State && std::holds_alternative<double>(value)) return ParseStateInput(now, CellValueText(before, value));
  return ParseCellInput(now, CellText(before, value), context);
}

std::string CellText(const Style& s, const CellValue& v) {
  if (const auto* d = std::get_if<DateValue>(&v)) return DateText(s, *d);
  if (const auto* t = std::get_if<TimeValue>(&v)) return TimeText(s, *t);
  if (const auto* n = std::get_if<double>(&v)) {
    if (holds(s.type()) == Holds::Number) return NumberText(s, *n);
    return PlainNumberText(*n);
  }
  if (const auto* text = std::get_if<std::string>(&v)) return *text;
  return holds(s.type()) == Holds::State ? "0" : "";
}

std::string CellValueText(const Style& s, const CellValue& v) {
  if (const auto* d = std::get_if<DateValue>(&v)) return YearMonthDayText(*d);
  if (const auto* t = std::get_if<TimeValue>(&v)) return TimeDigitsText(*t);
  if (const auto* n = std::get_if<double>(&v)) return PlainNumberText(*n);
  if (const auto* text = std::get_if<std::string>(&v)) return *text;
  return holds(s.type()) == Holds::State ? "0" : "";
}

std::string_view CellTextView(const Style& s, const CellValue& v, std::string& scratch) {
  if (const auto* text = std::get_if<std::string>(&v)) return *text;
  scratch.clear();
  if (const auto* n = std::get_if<double>(&v); n && holds(s.type()) == Holds::Number) AppendNumberText(scratch, s, *n);
  else scratch = CellText(s, v);
  return scratch;
}

std::string_view CellValueTextView(const Style& s, const CellValue& v, std::string& scratch) {
  if (const auto* text = std::get_if<std::string>(&v)) return *text;
  scratch = CellValueText(s, v);
  return scratch;
}

}  // namespace spread
