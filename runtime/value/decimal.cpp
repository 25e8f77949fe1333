#include "runtime/value/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tamsil {
namespace {
constexpr int64_t kExponentLimit = 1'000'000'000;
constexpr int kRealDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

DecimalDigits decimalFromText(std::string_view s) {
  DecimalDigits d;
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) d.negative = s[i++] == '-';
  int64_t point = 0;  // mantissa digits seen before the point, leading zeros not counted
  bool seenPoint = false, anyDigit = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !seenPoint) {
      seenPoint = true;
      continue;
    }
    if (!isDigit(c)) break;
    anyDigit = true;
    if (c == '0' && d.digits.empty()) {
      if (seenPoint) --point;  // a zero right after the point moves the first digit down
      continue;
    }
    d.digits.push_back(c);
    if (!seenPoint) ++point;
  }
  if (anyDigit && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    bool negExp = false;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) negExp = s[j++] == '-';
    if (j < s.size() && isDigit(s[j])) {
      int64_t e = 0;
      for (; j < s.size() && isDigit(s[j]); ++j) e = std::min(e * 10 + (s[j] - '0'), kExponentLimit);
      point += negExp ? -e : e;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) return {};
  d.pointPos = point;
  return d;
}

DecimalDigits decimalFromDouble(double value) {
  if (value == 0) return {};
  if (!std::isfinite(value)) {
    DecimalDigits d;
    d.finite = false;
    d.negative = value < 0;
    return d;
  }
  // Most values of a program are short decimals: scaled by a power of ten they come close to a
  // whole number n below 10^15. The scaling rounds once (half a unit in the last place, at most
  // 1.2e-16 n), so when the scaled double lies within 3.8e-16 n of n, the exact value lies within
  // 5e-16 n of it: less than half a unit in the 15th significant digit, so n is the value
  // rounded to 15 significant digits. Anything else takes the exact conversion below.
  constexpr double kLimit = 1e15;
  const double magnitude = std::fabs(value);
  double scale = 1;
  for (int k = 0; k <= kRealDigits; ++k, scale *= 10) {
    const double w = magnitude * scale;
    if (w >= kLimit) break;
    const uint64_t n = uint64_t(w + 0.5);
    if (n == 0 || std::fabs(w - double(n)) > 3.8e-16 * double(n)) continue;
    DecimalDigits d;
    d.negative = value < 0;
    char buf[20];
    char* end = buf + sizeof buf;
    char* p = end;
    for (uint64_t rest = n; rest != 0; rest /= 10) *--p = char('0' + rest % 10);
    d.pointPos = int64_t(end - p) - k;
    while (end > p && end[-1] == '0') --end;
    d.digits.assign(p, end);
    return d;
  }
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kRealDigits - 1);
  return decimalFromText(std::string_view(buf, size_t(r.ptr - buf)));
}

std::string decimalToText(const DecimalDigits& d) {
  if (!d.finite) return d.negative ? "-inf" : "inf";
  if (d.digits.empty()) return "0";
  std::string out = d.negative ? "-" : "";
  const int64_t n = int64_t(d.digits.size());
  if (d.pointPos > 255 || d.pointPos < -255) {
    out += d.digits.substr(0, 1);
    if (n > 1) out += "." + d.digits.substr(1);
    return out + "e" + (d.pointPos - 1 >= 0 ? "+" : "") + std::to_string(d.pointPos - 1);
  }
  if (d.pointPos <= 0) return out + "0." + std::string(size_t(-d.pointPos), '0') + d.digits;
  if (d.pointPos >= n) return out + d.digits + std::string(size_t(d.pointPos - n), '0');
  return out + d.digits.substr(0, size_t(d.pointPos)) + "." + d.digits.substr(size_t(d.pointPos));
}

}  // namespace tamsil
