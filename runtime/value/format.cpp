#include "runtime/value/format.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/value/format_parts.h"

namespace tamsil {
namespace {

// The whole part of a decimal value; values beyond any day or time number saturate, which the
// date and time formatters treat as invalid.
int64_t wholePart(const DecimalDigits& d) {
  if (!d.finite || d.pointPos > 12) return std::numeric_limits<int64_t>::min();
  int64_t v = 0;
  for (int64_t i = 0; i < d.pointPos; ++i) v = v * 10 + (i < int64_t(d.digits.size()) ? d.digits[size_t(i)] - '0' : 0);
  return d.negative ? -v : v;
}

double readDouble(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Keep the sign and the magnitude class: tiny values are 0, huge ones overflow.
    const DecimalDigits d = decimalFromText(s);
    return d.pointPos > 0 ? (d.negative ? -HUGE_VAL : HUGE_VAL) : 0.0;
  }
  return v;
}

void dispatch(const DecimalDigits& value, const CompiledPicture& p, FormattedText& out) {
  switch (p.kind) {
    case PictureKind::kDate: formatDate(wholePart(value), p, out); break;
    case PictureKind::kTime: formatTime(wholePart(value), p, out); break;
    default: formatNumber(value, p, out); break;
  }
}

}  // namespace

FormattedText format(std::string_view value, const CompiledPicture& p) {
  FormattedText out;
  if (!p.valid()) return out;
  switch (p.valueKind) {
    case ValueKind::kText: formatText(value, p, out); return out;
    case ValueKind::kDecimal: {
      const DecimalDigits d = decimalFromText(value);
      dispatch(d, p, out);
      return out;
    }
    default: return format(readDouble(value), p);
  }
}

FormattedText format(double value, const CompiledPicture& p) {
  FormattedText out;
  if (!p.valid()) return out;
  if (p.valueKind == ValueKind::kText) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    formatText(std::string_view(buf, size_t(r.ptr - buf)), p, out);
    return out;
  }
  // Day and time numbers are whole: skip the digit string when the double already is one.
  if ((p.kind == PictureKind::kDate || p.kind == PictureKind::kTime) && value == std::trunc(value) && std::fabs(value) < 1e12) {
    if (p.kind == PictureKind::kDate) formatDate(int64_t(value), p, out);
    else formatTime(int64_t(value), p, out);
    return out;
  }
  const DecimalDigits d = decimalFromDouble(value);
  dispatch(d, p, out);
  return out;
}

FormattedText format(const DecimalDigits& value, const CompiledPicture& p) {
  FormattedText out;
  if (!p.valid()) return out;
  if (p.valueKind == ValueKind::kText) {
    formatText(decimalToText(value), p, out);
    return out;
  }
  dispatch(value, p, out);
  return out;
}

void formatText(std::string_view text, const CompiledPicture& p, FormattedText& out) {
  char* o = out.reset(p.count);
  for (size_t i = 0; i < p.count && i < text.size(); ++i) o[i] = text[i];
}

}  // namespace tamsil
