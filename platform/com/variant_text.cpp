#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/com/detail/variant_scalar.h"
#include "platform/date/date.h"

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

std::string dateText(double date) {
  // The day is the whole part; the time is the fraction's magnitude, also for dates before 1900.
  const double day = std::trunc(date);
  long long seconds = std::llround(std::fabs(date - day) * double(platform::date::kSecondsPerDay));
  long long dayCount = (long long)day;
  if (seconds == platform::date::kSecondsPerDay) {
    seconds = 0;
    dayCount += date < 0 ? -1 : 1;
  }
  std::string text;
  char buf[64];
  if (dayCount != 0) {
    const platform::date::YearMonthDay c = platform::date::civilFromDays(platform::date::daysFromOleSerial(dayCount));
    std::snprintf(buf, sizeof buf, "%d/%d/%lld", c.month, c.day, (long long)c.year);
    text = buf;
  }
  if (seconds != 0 || dayCount == 0) {
    const platform::date::ClockTime t = platform::date::splitSeconds(seconds);
    const long long h = t.hours;
    std::snprintf(buf, sizeof buf, "%lld:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, t.minutes, t.seconds, h < 12 ? "AM" : "PM");
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
