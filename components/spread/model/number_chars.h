// Numbers written as decimal characters without the C library's printf: the same characters its
// "%.*f", "%.*E" and "%.15g" give in the C locale, made by std::to_chars, which needs no locale
// and no big-number arithmetic. Each writes into out (at most kNumberCharsSize bytes) and answers
// the end of what it wrote.
#pragma once

#include <cstddef>

namespace spread {

// Room for any finite double with up to 14 decimals in fixed notation (309 digits, sign, point).
inline constexpr std::size_t kNumberCharsSize = 340;

// "%.*f": places (0 to 14) decimals.
char* FixedChars(char* out, double value, int places);
// "%.*E": one digit, places (0 to 14) decimals, "E", the exponent's sign and at least two digits
// ("INF" and "NAN" in capitals too).
char* ScientificChars(char* out, double value, int places);
// "%.15g": at most 15 significant digits, no trailing zeros or point, an exponent when it is
// below -4 or at least 15.
char* GeneralChars(char* out, double value);
// The digits after the point in what GeneralChars writes (0 when it writes no point or an
// exponent); for a number with at most three decimals without writing any digits.
int GeneralDecimals(double value);

}  // namespace spread
