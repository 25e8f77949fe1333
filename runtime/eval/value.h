// The values an expression computes: whole numbers, reals and texts, with the conversions
// between them that evaluation and the built-in functions share.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamsil {

// The value class of a symbol, node or value; the numbers are the evaluator's own codes.
enum class ValueClass : uint8_t { None = 0, Whole = 1, Real = 2, Text = 4 };

struct Value {
  ValueClass cls = ValueClass::None;
  bool omitted = false;  // an argument position left empty between commas
  int64_t whole = 0;
  double real = 0;
  std::string text;

  static Value ofWhole(int64_t v) { return {ValueClass::Whole, false, v, 0, {}}; }
  static Value ofReal(double v) { return {ValueClass::Real, false, 0, v, {}}; }
  static Value ofText(std::string v) { return {ValueClass::Text, false, 0, 0, std::move(v)}; }
  static Value omittedArgument() { return {ValueClass::None, true, 0, 0, {}}; }

  double asReal() const;
  int64_t asWhole() const;
  std::string asText() const;
  // Numbers are true when non-zero, texts when they hold a non-blank character.
  bool truth() const;
  // The value converted to the given class (None leaves it unchanged).
  Value as(ValueClass target) const;
};

// A real as a whole number: truncated toward zero, saturated at the 64-bit range, NaN as 0.
int64_t wholeFromReal(double v);

// The number a text starts with: leading blanks, an optional sign, digits with an optional
// point and an optional exponent. Reading stops at the first character that does not fit; a text
// without digits reads as 0.
double realFromText(std::string_view text);

// The number when the whole text (leading and trailing blanks aside) reads as one, else nothing.
std::optional<double> numberFromText(std::string_view text);

std::string wholeText(int64_t v);
// A real as the runtime writes it: 15 significant digits, no trailing point; -0 writes as 0.
std::string realText(double v);

// The binary exponent as frexp gives it (a value in [0.5, 1) has exponent 0), read from the bits
// for normal numbers: this runs for every comparison of reals.
inline int binaryExponent(double x) {
  const int biased = static_cast<int>((std::bit_cast<uint64_t>(x) >> 52) & 0x7FF);
  if (biased != 0) return biased - 1022;
  int e = 0;
  std::frexp(x, &e);  // zero and subnormals
  return e;
}

// Two reals compared with the runtime's tolerance: equal when the binary exponent of their
// difference, plus 50, lies below the exponent of either operand (a zero operand counting with
// the exponent of 1.0). Returns -1, 0 or 1.
inline int compareReals(double a, double b) {
  if (a == b) return 0;
  const double d = a - b;
  if (!std::isfinite(d)) return a < b ? -1 : (a > b ? 1 : 0);
  const int ed = binaryExponent(d) + 50;
  const int ea = a != 0 ? binaryExponent(a) : 1, eb = b != 0 ? binaryExponent(b) : 1;
  if (ed < ea || ed < eb) return 0;
  return d < 0 ? -1 : 1;
}

}  // namespace tamsil
