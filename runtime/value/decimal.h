// Numbers as FORMAT sees them: a sign, the significant digits and the position of the decimal
// point. Decimal values keep every digit of their text (no binary rounding on the way); whole
// numbers and reals pass through a double and keep 15 significant digits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsil {

struct DecimalDigits {
  bool negative = false;
  bool finite = true;    // false for a real that is infinite or not a number: shown as overflow
  std::string digits;    // significant digits without leading or trailing zeros; empty for zero
  int64_t pointPos = 0;  // value = 0.d1d2d3... x 10^pointPos

  bool isZero() const { return finite && digits.empty(); }
};

// Exact digits of a number written as text: leading blanks, an optional sign, digits with an
// optional point, an optional exponent. Reading stops at the first character that does not fit;
// text without digits is zero. Exponents are saturated far beyond any picture's width.
DecimalDigits decimalFromText(std::string_view text);

// A double rounded to 15 significant digits (the precision of the runtime's reals).
DecimalDigits decimalFromDouble(double value);

// The value as plain text ("-1234.5", "0.001"); beyond 255 places either side of the point it is
// written with an exponent ("1.5e+300").
std::string decimalToText(const DecimalDigits& value);

}  // namespace tamsil
