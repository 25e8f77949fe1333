#include "components/spread/model/number_chars.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace spread {
namespace {

constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
// Below this a double's error is at most 1/16 of a unit, so a scaled value that is a whole number
// stands for the same whole number exactly, and the one printf rounds the exact value to.
constexpr double kExactWhole = 1e15;

char* WholeChars(char* out, double value) {
  if (std::signbit(value)) *out++ = '-';
  return std::to_chars(out, out + kNumberCharsSize, std::uint64_t(std::fabs(value))).ptr;
}

}  // namespace

char* FixedChars(char* out, double value, int places) {
  const double scaled = places >= 0 && places <= 14 ? value * kPowers[places] : 0;
  if (places >= 0 && places <= 14 && std::fabs(scaled) < kExactWhole && scaled == std::trunc(scaled)) {
    // The digits of the scaled whole number with the point set in: no rounding is left to do.
    char digits[24];
    const int count = int(std::to_chars(digits, digits + sizeof digits, std::uint64_t(std::fabs(scaled))).ptr - digits);
    const int whole = count - places;  // digits before the point; none (0) when not positive
    if (std::signbit(value)) *out++ = '-';
    if (whole <= 0) *out++ = '0';
    for (int i = 0; i < whole; ++i) *out++ = digits[i];
    if (places > 0) *out++ = '.';
    for (int i = whole; i < count; ++i) *out++ = i < 0 ? '0' : digits[i];
    return out;
  }
  return std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::fixed, places).ptr;
}

char* ScientificChars(char* out, double value, int places) {
  char* const end = std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::scientific, places).ptr;
  for (char* p = out; p != end; ++p)  // the exponent's letter, and "INF" and "NAN" as printf has them
    if (*p >= 'a' && *p <= 'z') *p = char(*p - 'a' + 'A');
  return end;
}

char* GeneralChars(char* out, double value) {
  const double magnitude = std::fabs(value);
  if (magnitude < kExactWhole && value == std::trunc(value)) return WholeChars(out, value);
  if (magnitude >= 1e-4 && magnitude < kExactWhole) {
    // The shortest text that reads back as value: when it has at most 15 significant digits it is
    // also the 15-digit rounding (a double is closer to it than half a 15th digit), written in
    // the fixed form "%g" takes for this range.
    char* const end = std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::fixed).ptr;
    int significant = 0;
    bool leading = true;
    for (const char* p = out; p != end; ++p) {
      if (*p < '0' || *p > '9' || (leading && *p == '0')) continue;
      leading = false;
      ++significant;
    }
    if (significant <= 15) return end;
  }
  return std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::general, 15).ptr;
}

int GeneralDecimals(double value) {
  const double magnitude = std::fabs(value);
  if (magnitude < kExactWhole && value == std::trunc(value)) return 0;
  // Below this, a value times 1000 is a whole number or at least 1/64 from one, so the nearest
  // whole number to the scaled value is the only one with that many decimals that can read back
  // as value; and the digits that do are the shortest ones, at most 14 of them (11 and 3).
  constexpr double kFewDecimalsBelow = 1e11;
  if (magnitude < kFewDecimalsBelow)
    for (int places = 1; places <= 3; ++places) {
      const double scaled = std::nearbyint(value * kPowers[places]);
      if (scaled / kPowers[places] == value) return places;
    }
  char digits[kNumberCharsSize];
  const char* const end = GeneralChars(digits, value);
  const char* point = nullptr;
  for (const char* p = digits; p != end; ++p) {
    if (*p == 'e' || *p == 'E') return 0;
    if (*p == '.') point = p;
  }
  return point ? int(end - point - 1) : 0;
}

}  // namespace spread
