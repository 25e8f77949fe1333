// The value of a variant taken out of its union, so that each conversion is written once per
// target type rather than once per pair of types.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/variant.h"

namespace platform::detail {

__extension__ typedef __int128 Int128;  // holds every 64-bit signed and unsigned value
__extension__ typedef unsigned __int128 UInt128;

struct Scalar {
  enum class Kind { Empty, Null, Whole, Real, Bool, Currency, Date, Text, Decimal, Object, Error };
  Kind kind = Kind::Empty;
  Int128 whole = 0;     // Whole; Bool (-1 or 0); Currency (ten-thousandths)
  double real = 0;      // Real, Date, Decimal (nearest double)
  bool single = false;  // a Real from VT_R4: written with 7 significant digits
  std::u16string text;  // Text; Decimal: its exact digits
  IUnknown* object = nullptr;
  bool dispatch = false;  // the object came as VT_DISPATCH
  SCODE scode = 0;
};

// Whether vt is a type number the platform knows (VT_BYREF combinations included).
bool knownVarType(VARTYPE vt);

HRESULT readScalar(const VARIANT& v, Scalar& out);
HRESULT writeScalar(const Scalar& s, VARTYPE vt, std::uint16_t flags, VARIANT& out);
HRESULT compareScalars(const Scalar& a, const Scalar& b);

// Text forms (variant_text.cpp).
std::string wholeText(Int128 value);
std::string realText(double value, bool single);  // 15 (or 7) significant digits, "1E+20"
std::string currencyText(Int128 tenThousandths);  // "12.5"
std::string dateText(double date);                // "M/D/YYYY h:mm:ss AM", parts as present
std::string decimalText(const DECIMAL& d);        // exact digits, "-1.25"

// A number written as text: blanks around, optional sign, digits with an optional point, an
// optional exponent. `whole` is set exactly when the text is an integer of up to 38 digits.
struct ParsedNumber {
  double real = 0;
  bool isWhole = false;
  Int128 whole = 0;
};
bool parseNumber(std::u16string_view text, ParsedNumber& out);

}  // namespace platform::detail
