#include "runtime/eval/binding.h"

#include <algorithm>
#include <cstring>

#include "runtime/value/calendar.h"
#include "runtime/value/decimal.h"

namespace tamsil {

namespace {

template <class T>
T load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // bound fields need not be aligned
  return v;
}

std::string_view textOf(const BoundVariable& v) {
  const char* p = static_cast<const char*>(v.address);
  switch (v.type) {
    case StorageType::String: return {p, v.size};
    case StorageType::CString: return {p, strnlen(p, v.size)};
    case StorageType::PString: return v.size == 0 ? std::string_view{} : std::string_view{p + 1, std::min<size_t>(uint8_t(p[0]), v.size - 1)};
    default: return {};
  }
}

// Half-bytes of a decimal variable: the sign's and the digits', most significant first.
unsigned halfByte(const BoundVariable& v, size_t i) {
  const auto byte = static_cast<const uint8_t*>(v.address)[i / 2];
  return i % 2 ? byte & 0xF : byte >> 4;
}

size_t decimalDigits(const BoundVariable& v) { return v.size * 2 - 1; }
size_t firstDigit(const BoundVariable& v) { return v.type == StorageType::Decimal ? 1 : 0; }
size_t signPosition(const BoundVariable& v) { return v.type == StorageType::Decimal ? 0 : v.size * 2 - 1; }
bool decimalNegative(const BoundVariable& v) {
  const unsigned sign = halfByte(v, signPosition(v));
  return v.type == StorageType::Decimal ? sign != 0 : sign == 0xB || sign == 0xD;
}

bool isDecimal(StorageType t) { return t == StorageType::Decimal || t == StorageType::PDecimal; }

}  // namespace

bool validVariable(const BoundVariable& v) {
  if (storageClass(v.type) == ValueClass::None || !v.address || v.count == 0) return false;
  if (isDecimal(v.type)) return v.size > 0 && v.places <= decimalDigits(v);
  return true;
}

size_t elementSize(const BoundVariable& v) {
  switch (v.type) {
    case StorageType::Byte: return 1;
    case StorageType::Short:
    case StorageType::UShort: return 2;
    case StorageType::Date:
    case StorageType::Time:
    case StorageType::Long:
    case StorageType::ULong:
    case StorageType::SReal: return 4;
    case StorageType::Real: return 8;
    default: return v.size;
  }
}

std::optional<BoundVariable> element(const BoundVariable& v, int64_t n) {
  if (n < 1 || uint64_t(n) > v.count) return std::nullopt;
  BoundVariable e = v;
  e.address = static_cast<const char*>(v.address) + size_t(n - 1) * elementSize(v);
  e.count = 1;
  return e;
}

std::string decimalText(const BoundVariable& v) {
  const size_t digits = decimalDigits(v);
  std::string text;
  for (size_t i = 0; i < digits; ++i) {
    const unsigned d = halfByte(v, firstDigit(v) + i);
    text += char('0' + (d > 9 ? 0 : d));  // a half-byte that is no digit reads as 0
  }
  const size_t whole = digits - v.places;
  std::string out;
  if (decimalNegative(v) && text.find_first_not_of('0') != std::string::npos) out += '-';
  if (whole == 0) out += '0';
  size_t from = 0;
  while (from + 1 < whole && text[from] == '0') ++from;  // leading zeros, one kept before the point
  out.append(text, from, whole - from);
  if (v.places == 0) return out;
  out += '.';
  out.append(text, whole, std::string::npos);
  return out;
}

void storeDecimal(const BoundVariable& v, std::string_view text) {
  const DecimalDigits d = decimalFromText(text);
  // The value's digits aligned on the variable's: digit i of the variable has the weight
  // 10^(whole - 1 - i); the first digit beyond the last place rounds.
  const size_t digits = decimalDigits(v);
  const long whole = long(digits - v.places);
  std::string out(digits, '0');
  int carry = 0;
  const auto digitAt = [&](long weight) {  // the value's digit of weight 10^weight
    const int64_t at = d.pointPos - 1 - weight;
    return d.finite && at >= 0 && at < int64_t(d.digits.size()) ? d.digits[size_t(at)] - '0' : 0;
  };
  if (digitAt(-long(v.places) - 1) >= 5) carry = 1;
  for (long i = long(digits) - 1; i >= 0; --i) {
    int digit = digitAt(whole - 1 - i) + carry;
    carry = digit / 10;
    out[size_t(i)] = char('0' + digit % 10);
  }
  const bool zero = out.find_first_not_of('0') == std::string::npos;
  auto* bytes = static_cast<uint8_t*>(const_cast<void*>(v.address));  // bound variables are the program's to write
  const auto put = [&](size_t i, unsigned half) {
    uint8_t& b = bytes[i / 2];
    b = i % 2 ? uint8_t((b & 0xF0) | half) : uint8_t((b & 0x0F) | (half << 4));
  };
  const bool negative = d.negative && !zero;
  put(signPosition(v), v.type == StorageType::Decimal ? (negative ? 0xF : 0) : (negative ? 0xD : 0xC));
  for (size_t i = 0; i < digits; ++i) put(firstDigit(v) + i, unsigned(out[i] - '0'));
}

ValueClass storageClass(StorageType type) {
  switch (type) {
    case StorageType::Byte:
    case StorageType::Short:
    case StorageType::UShort:
    case StorageType::Date:
    case StorageType::Time:
    case StorageType::Long:
    case StorageType::ULong: return ValueClass::Whole;
    case StorageType::SReal:
    case StorageType::Real:
    case StorageType::Decimal:
    case StorageType::PDecimal: return ValueClass::Real;
    case StorageType::String:
    case StorageType::CString:
    case StorageType::PString: return ValueClass::Text;
  }
  return ValueClass::None;
}

int64_t readWhole(const BoundVariable& v) {
  const void* p = v.address;
  switch (v.type) {
    case StorageType::Byte: return load<uint8_t>(p);
    case StorageType::Short: return load<int16_t>(p);
    case StorageType::UShort: return load<uint16_t>(p);
    case StorageType::Date: return unpackDate(load<uint32_t>(p));
    case StorageType::Time: return unpackTime(load<uint32_t>(p));
    case StorageType::Long: return load<int32_t>(p);
    case StorageType::ULong: return load<uint32_t>(p);
    case StorageType::SReal: return wholeFromReal(load<float>(p));
    case StorageType::Real: return wholeFromReal(load<double>(p));
    case StorageType::Decimal:
    case StorageType::PDecimal: return wholeFromReal(readReal(v));
    default: return wholeFromReal(realFromText(textOf(v)));
  }
}

double readReal(const BoundVariable& v) {
  switch (v.type) {
    case StorageType::SReal: return load<float>(v.address);
    case StorageType::Real: return load<double>(v.address);
    case StorageType::Decimal:
    case StorageType::PDecimal: return realFromText(decimalText(v));
    case StorageType::String:
    case StorageType::CString:
    case StorageType::PString: return realFromText(textOf(v));
    default: return static_cast<double>(readWhole(v));
  }
}

Value readVariable(const BoundVariable& v) {
  switch (storageClass(v.type)) {
    case ValueClass::Whole: return Value::ofWhole(readWhole(v));
    case ValueClass::Real: return Value::ofReal(readReal(v));
    case ValueClass::Text: return Value::ofText(std::string(textOf(v)));
    case ValueClass::None: break;
  }
  return {};
}

}  // namespace tamsil
