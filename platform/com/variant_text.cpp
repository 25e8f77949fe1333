#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/com/detail/variant_scalar.h"

namespace platform::detail {

std::string wholeText(Int128 value) {
  const bool negative = value < 0;
  // Work on the magnitude as unsigned so the most negative value does not overflow.
  UInt128 m = negative ? UInt128(-(value + 1)) + 1 : UInt128(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), char('0' + int(m % 10)));
    m /= 10;
  } while (m);
  return negative ? "-" + digits : digits;
}

std::string realText(double value, bool single) {
  if (value == 0) value = 0;  // no "-0"
  char buf[40];
  std::snprintf(buf, sizeof buf, single ? "%.7G" : "%.15G", value);
  return buf;
}

std::string currencyText(Int128 tenThousandths) {
  std::string text = wholeText(tenThousandths < 0 ? -tenThousandths : tenThousandths);
  if (text.size() < 5) text.insert(0, 5 - text.size(), '0');
  text.insert(text.size() - 4, ".");
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return tenThousandths < 0 ? "-" + text : text;
}

namespace {

// Civil date of a day count relative to 1 January 1970 (proleptic Gregorian).
void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = (long long)yoe + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
}

}  // namespace

std::string dateText(double date) {
  // The day is the whole part; the time is the fraction's magnitude, also for dates before 1900.
  const double day = std::trunc(date);
  long long seconds = std::llround(std::fabs(date - day) * 86400.0);
  long long dayCount = (long long)day;
  if (seconds == 86400) {
    seconds = 0;
    dayCount += date < 0 ? -1 : 1;
  }
  std::string text;
  char buf[64];
  if (dayCount != 0) {
    long long y;
    unsigned m, d;
    civilFromDays(dayCount - 25569, y, m, d);  // 30 Dec 1899 is 25569 days before 1 Jan 1970
    std::snprintf(buf, sizeof buf, "%u/%u/%lld", m, d, y);
    text = buf;
  }
  if (seconds != 0 || dayCount == 0) {
    const long long h = seconds / 3600, mi = seconds / 60 % 60, s = seconds % 60;
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld %s", h % 12 == 0 ? 12 : h % 12, mi, s, h < 12 ? "AM" : "PM");
    if (!text.empty()) text += ' ';
    text += buf;
  }
  return text;
}

std::string decimalText(const DECIMAL& d) {
  // Three 32-bit limbs, most significant first, divided by ten until nothing is left.
  std::uint32_t limbs[3] = {d.Hi32, std::uint32_t(d.Lo64 >> 32), std::uint32_t(d.Lo64)};
  std::string digits;
  while (limbs[0] || limbs[1] || limbs[2]) {
    std::uint64_t rest = 0;
    for (std::uint32_t& limb : limbs) {
      const std::uint64_t cur = (rest << 32) | limb;
      limb = std::uint32_t(cur / 10);
      rest = cur % 10;
    }
    digits.insert(digits.begin(), char('0' + rest));
  }
  const size_t scale = d.scale > 28 ? 28 : d.scale;
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  if (scale) digits.insert(digits.size() - scale, ".");
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return (d.sign & 0x80) && !zero ? "-" + digits : digits;
}

bool parseNumber(std::u16string_view text, ParsedNumber& out) {
  std::string ansi;
  for (char16_t c : text) {
    if (c > 0x7F) return false;
    ansi.push_back(char(c));
  }
  const size_t first = ansi.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  ansi = ansi.substr(first, ansi.find_last_not_of(' ') - first + 1);
  // Only the forms described above: strtod would also take "inf", "nan" and hex.
  size_t i = 0, digits = 0;
  if (ansi[i] == '+' || ansi[i] == '-') ++i;
  bool integer = true;
  for (; i < ansi.size() && (std::isdigit((unsigned char)ansi[i]) || ansi[i] == '.'); ++i) {
    if (ansi[i] == '.') {
      if (!integer) return false;
      integer = false;
    } else {
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < ansi.size() && (ansi[i] == 'e' || ansi[i] == 'E')) {
    integer = false;
    ++i;
    if (i < ansi.size() && (ansi[i] == '+' || ansi[i] == '-')) ++i;
    const size_t expStart = i;
    while (i < ansi.size() && std::isdigit((unsigned char)ansi[i])) ++i;
    if (i == expStart) return false;
  }
  if (i != ansi.size()) return false;
  out.real = std::strtod(ansi.c_str(), nullptr);
  out.isWhole = integer && digits <= 38;
  if (out.isWhole) {
    Int128 v = 0;
    for (char c : ansi)
      if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
    out.whole = ansi[0] == '-' ? -v : v;
  }
  return true;
}

}  // namespace platform::detail
