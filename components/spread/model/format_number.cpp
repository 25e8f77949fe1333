// Currency, number, percent and scientific cells: reading typed numbers, the limits and
// decimal places, and the text they show.
#include <cmath>
#include <cstdlib>

#include "components/spread/model/cell_format.h"
#include "components/spread/model/number_chars.h"

namespace spread {

namespace {

// What differs between the four number types, read from the style.
struct NumberRules {
  double min, max;
  int decPlaces;
  std::string_view decimal, separator, symbol, suffix;
  bool showSep, leadingZero, scientific;
  std::int32_t negStyle, posStyle;
};

NumberRules rulesOf(const Style& s) {
  switch (s.type()) {
    case CellType::Currency:
      return {s.currencyMin,
              s.currencyMax,
              s.currencyDecPlaces,
              s.currencyDecimal,
              s.currencySeparator,
              s.currencyShowSymbol ? std::string_view(s.currencySymbol) : std::string_view{},
              {},
              s.currencyShowSep,
              s.currencyLeadingZero == 0,
              false,
              s.currencyNegStyle,
              s.currencyPosStyle};
    case CellType::Percent:
      return {s.percentMin,
              s.percentMax,
              s.percentDecPlaces,
              s.percentDecimal,
              {},
              {},
              "%",
              false,
              s.percentLeadingZero == 0,
              false,
              s.percentNegStyle,
              0};
    case CellType::Scientific:
      return {s.scientificMin, s.scientificMax, s.scientificDecPlaces, s.scientificDecimal, {}, {}, {}, false, true, true, 0, 0};
    default:
      return {s.numberMin, s.numberMax,     s.numberDecPlaces,        s.numberDecimal, s.numberSeparator, {},
              {},          s.numberShowSep, s.numberLeadingZero == 0, false,           s.numberNegStyle,  0};
  }
}

int clampedPlaces(int places) { return places < 0 ? 0 : places > 14 ? 14 : places; }

double roundTo(double v, int places) {
  const double scale = std::pow(10.0, clampedPlaces(places));
  const double r = std::round(v * scale) / scale;
  return std::isfinite(r) ? r : v;
}

bool removeAll(std::string& s, std::string_view piece) {
  if (piece.empty()) return false;
  bool found = false;
  for (size_t at; (at = s.find(piece)) != std::string::npos;) s.erase(at, piece.size()), found = true;
  return found;
}

// Appends the magnitude with separators and the decimal character, without sign or symbol.
void appendMagnitude(std::string& out, const NumberRules& r, double magnitude) {
  char digits[kNumberCharsSize];
  const int places = clampedPlaces(r.decPlaces);
  const char* const end = r.scientific ? ScientificChars(digits, magnitude, places) : FixedChars(digits, magnitude, places);
  const std::string_view all(digits, size_t(end - digits));
  // The fixed form has the point right before its places, and none without places (looked for
  // only when it is not so).
  const size_t fixedPoint = all.size() - size_t(places) - 1;
  const bool fixedForm = !r.scientific && std::isfinite(magnitude);
  const size_t point = fixedForm && places == 0                                              ? std::string_view::npos
                       : places > 0 && all.size() > size_t(places) && all[fixedPoint] == '.' ? fixedPoint
                                                                                             : all.find('.');
  const std::string_view whole = all.substr(0, point), fraction = point == std::string_view::npos ? "" : all.substr(point + 1);
  // Separators and the dropped leading zero belong to the fixed form only.
  const bool separate = !r.scientific && r.showSep && !r.separator.empty();
  const bool dropZero = !r.scientific && !r.leadingZero && whole == "0" && !fraction.empty();  // ".5"
  if (!separate && !dropZero && r.decimal == ".") {
    out.append(all);  // the digits as they are: the common case
    return;
  }
  if (separate && !dropZero) {
    for (size_t at = 0; at < whole.size(); ++at) {
      if (at > 0 && (whole.size() - at) % 3 == 0) out.append(r.separator);
      out += whole[at];
    }
  } else if (!dropZero) {
    out.append(whole);
  }
  if (!fraction.empty()) out.append(r.decimal).append(fraction);
}

}  // namespace

std::string PlainNumberText(double value) {
  char buffer[kNumberCharsSize];
  std::string text(buffer, GeneralChars(buffer, value));
  if (text == "-0") text = "0";
  return text;
}

Parsed CheckNumber(const Style& style, double value) {
  const NumberRules r = rulesOf(style);
  const double v = r.scientific ? value : roundTo(value, r.decPlaces);
  if (!std::isfinite(v)) return {false, {}, "not a number"};
  if (v < r.min) return {false, {}, PlainNumberText(v) + " is below the minimum " + PlainNumberText(r.min)};
  if (v > r.max) return {false, {}, PlainNumberText(v) + " is above the maximum " + PlainNumberText(r.max)};
  return {true, v == 0 ? 0.0 : v, {}};
}

Parsed ParseNumberInput(const Style& style, std::string_view text) {
  const NumberRules r = rulesOf(style);
  std::string s(text);
  removeAll(s, " ");
  if (style.type() == CellType::Currency) removeAll(s, style.currencySymbol);
  removeAll(s, "%");
  if (!r.separator.empty() && r.separator != r.decimal) removeAll(s, r.separator);
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = s.substr(1, s.size() - 2);
  }
  if (!s.empty() && s.back() == '-') {
    negative = !negative;
    s.pop_back();
  }
  if (r.decimal != "." && !r.decimal.empty())
    for (size_t at; (at = s.find(r.decimal)) != std::string::npos;) s.replace(at, r.decimal.size(), ".");
  if (s.empty() || s.find_first_of("0123456789") == std::string::npos) return {false, {}, "\"" + std::string(text) + "\" is not a number"};
  // Only digits, one sign in front, the point and (scientific) an exponent are numbers here;
  // strtod alone would also read "inf", "nan" and hexadecimal.
  if (s.find_first_not_of(r.scientific ? "0123456789.+-eE" : "0123456789.+-") != std::string::npos)
    return {false, {}, "\"" + std::string(text) + "\" is not a number"};
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v)) return {false, {}, "\"" + std::string(text) + "\" is not a number"};
  return CheckNumber(style, negative ? -v : v);
}

void AppendNumberText(std::string& out, const Style& style, double value) {
  const NumberRules r = rulesOf(style);
  const bool negative = value < 0;
  const std::string_view sym = r.symbol;
  // What goes before and after the magnitude and its suffix, by the type's sign and symbol style.
  std::string_view before[2], after[2];
  const auto put = [&](std::string_view b0, std::string_view b1, std::string_view a0, std::string_view a1) {
    before[0] = b0, before[1] = b1, after[0] = a0, after[1] = a1;
  };
  if (style.type() != CellType::Currency) {
    if (negative) {
      switch (r.negStyle) {
        case 1: put("(", {}, ")", {}); break;
        case 2: put({}, {}, "-", {}); break;
        default: put("-", {}, {}, {});
      }
    }
  } else if (!negative) {
    switch (r.posStyle) {
      case 1: put({}, {}, sym, {}); break;
      case 2: put(sym, sym.empty() ? "" : " ", {}, {}); break;
      case 3: put({}, {}, sym.empty() ? "" : " ", sym); break;
      default: put(sym, {}, {}, {});
    }
  } else {
    switch (r.negStyle) {
      case 1: put("(", sym, ")", {}); break;
      case 2: put(sym, "-", {}, {}); break;
      case 3: put(sym, {}, "-", {}); break;
      case 4: put("-", {}, sym, {}); break;
      default: put("-", sym, {}, {});
    }
  }
  for (const std::string_view piece : before)
    if (!piece.empty()) out.append(piece);
  appendMagnitude(out, r, std::fabs(value));
  for (const std::string_view piece : {std::string_view(r.suffix), after[0], after[1]})
    if (!piece.empty()) out.append(piece);
}

std::string NumberText(const Style& style, double value) {
  std::string out;
  AppendNumberText(out, style, value);
  return out;
}

}  // namespace spread
