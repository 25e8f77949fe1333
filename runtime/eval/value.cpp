#include "runtime/eval/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "runtime/eval/text_ops.h"

namespace tamsil {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of text (after any blanks were skipped), 0 when none.
size_t numberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

double parseNumber(std::string_view number) {
  bool negative = false;
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
    negative = number[0] == '-';
    number.remove_prefix(1);
  }
  double v = 0;
  // Out-of-range results leave v at the infinity or zero that from_chars reports as a range error.
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves v untouched: decide by the exponent's sign.
    const auto e = number.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    v = tiny ? 0.0 : std::numeric_limits<double>::max();
  }
  (void)ptr;
  return negative ? -v : v;
}

std::string_view trimBlanks(std::string_view t) {
  while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

}  // namespace

int64_t wholeFromReal(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
  if (v <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

double realFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const size_t n = numberLength(text);
  return n == 0 ? 0.0 : parseNumber(text.substr(0, n));
}

std::optional<double> numberFromText(std::string_view text) {
  text = trimBlanks(text);
  const size_t n = numberLength(text);
  if (n == 0 || n != text.size()) return std::nullopt;
  return parseNumber(text);
}

std::string wholeText(int64_t v) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  (void)ec;
  return std::string(buffer, end);
}

std::string realText(double v) {
  if (v == 0) return "0";           // also -0
  if (std::isnan(v)) return "nan";  // one spelling, whatever the sign bit the operation left
  return textops::realToText(v);
}

double Value::asReal() const {
  switch (cls) {
    case ValueClass::Whole: return static_cast<double>(whole);
    case ValueClass::Real: return real;
    case ValueClass::Text: return realFromText(text);
    case ValueClass::None: break;
  }
  return 0;
}

int64_t Value::asWhole() const {
  switch (cls) {
    case ValueClass::Whole: return whole;
    case ValueClass::Real: return wholeFromReal(real);
    case ValueClass::Text: return wholeFromReal(realFromText(text));
    case ValueClass::None: break;
  }
  return 0;
}

std::string Value::asText() const {
  switch (cls) {
    case ValueClass::Whole: return wholeText(whole);
    case ValueClass::Real: return realText(real);
    case ValueClass::Text: return text;
    case ValueClass::None: break;
  }
  return {};
}

bool Value::truth() const {
  switch (cls) {
    case ValueClass::Whole: return whole != 0;
    case ValueClass::Real: return real != 0;
    case ValueClass::Text: return text.find_first_not_of(' ') != std::string::npos;
    case ValueClass::None: break;
  }
  return false;
}

Value Value::as(ValueClass target) const {
  if (target == cls || target == ValueClass::None) return *this;
  switch (target) {
    case ValueClass::Whole: return ofWhole(asWhole());
    case ValueClass::Real: return ofReal(asReal());
    case ValueClass::Text: return ofText(asText());
    case ValueClass::None: break;
  }
  return *this;
}

}  // namespace tamsil
