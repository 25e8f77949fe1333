#include <cfloat>
#include <cmath>
#include <cstring>

#include "platform/ascii.h"
#include "platform/com/detail/variant_scalar.h"

namespace platform::detail {

namespace {

using Kind = Scalar::Kind;

// Byref chains (a VT_VARIANT reference to a variant that is itself a reference ...) are followed
// this deep; anything deeper is refused rather than followed into a cycle.
constexpr int kMaxByrefDepth = 8;

// The limits of the whole-number types.
struct WholeType {
  VARTYPE vt;
  Int128 min, max;
};

constexpr WholeType kWholeTypes[] = {
    {VT_I1, INT8_MIN, INT8_MAX},   {VT_UI1, 0, UINT8_MAX},  {VT_I2, INT16_MIN, INT16_MAX},  {VT_UI2, 0, UINT16_MAX},
    {VT_I4, INT32_MIN, INT32_MAX}, {VT_UI4, 0, UINT32_MAX}, {VT_INT, INT32_MIN, INT32_MAX}, {VT_UINT, 0, UINT32_MAX},
    {VT_I8, INT64_MIN, INT64_MAX}, {VT_UI8, 0, UINT64_MAX},
};

const WholeType* wholeType(VARTYPE vt) {
  for (const WholeType& t : kWholeTypes)
    if (t.vt == vt) return &t;
  return nullptr;
}

// The range of DATE: 1 January 100 to 31 December 9999.
constexpr double kMinDate = -657434.0, kMaxDate = 2958465.999988426;

// The value of member `field` of v, or of what v refers to when it is VT_BYREF.
template <class T>
T load(const VARIANT& v, T VARIANT::*field) {
  if (v.vt & VT_BYREF) {
    T value;
    // T is the field's own type, a pointer for the string and interface fields: its size is meant.
    std::memcpy(&value, v.byref, sizeof value);  // NOLINT(bugprone-sizeof-expression)
    return value;
  }
  return v.*field;
}

HRESULT readAt(const VARIANT& v, Scalar& out, int depth) {
  const VARTYPE base = v.vt & ~VT_BYREF;
  const bool byref = v.vt & VT_BYREF;
  if (!knownVarType(v.vt)) return DISP_E_BADVARTYPE;
  if (byref && !v.byref) return E_INVALIDARG;
  switch (base) {
    case VT_EMPTY: out.kind = Kind::Empty; return S_OK;
    case VT_NULL: out.kind = Kind::Null; return S_OK;
    case VT_VARIANT:
      if (depth >= kMaxByrefDepth) return DISP_E_TYPEMISMATCH;
      return readAt(*static_cast<const VARIANT*>(v.byref), out, depth + 1);
    case VT_I1: out.whole = std::int8_t(load(v, &VARIANT::cVal)); break;
    case VT_UI1: out.whole = load(v, &VARIANT::bVal); break;
    case VT_I2: out.whole = load(v, &VARIANT::iVal); break;
    case VT_UI2: out.whole = load(v, &VARIANT::uiVal); break;
    case VT_I4: out.whole = load(v, &VARIANT::lVal); break;
    case VT_UI4: out.whole = load(v, &VARIANT::ulVal); break;
    case VT_INT: out.whole = load(v, &VARIANT::intVal); break;
    case VT_UINT: out.whole = load(v, &VARIANT::uintVal); break;
    case VT_I8: out.whole = load(v, &VARIANT::llVal); break;
    case VT_UI8: out.whole = load(v, &VARIANT::ullVal); break;
    case VT_R4:
      out.kind = Kind::Real;
      out.real = load(v, &VARIANT::fltVal);
      out.single = true;
      return S_OK;
    case VT_R8:
      out.kind = Kind::Real;
      out.real = load(v, &VARIANT::dblVal);
      return S_OK;
    case VT_DATE:
      out.kind = Kind::Date;
      out.real = load(v, &VARIANT::date);
      return S_OK;
    case VT_BOOL:
      out.kind = Kind::Bool;
      out.whole = load(v, &VARIANT::boolVal) ? -1 : 0;
      return S_OK;
    case VT_CY:
      out.kind = Kind::Currency;
      out.whole = load(v, &VARIANT::cyVal).int64;
      return S_OK;
    case VT_ERROR:
      out.kind = Kind::Error;
      out.scode = load(v, &VARIANT::scode);
      return S_OK;
    case VT_BSTR:
      out.kind = Kind::Text;
      out.text = bstrView(load(v, &VARIANT::bstrVal));
      return S_OK;
    case VT_DECIMAL: {
      const DECIMAL d = load(v, &VARIANT::decVal);
      const std::string digits = decimalText(d);
      out.kind = Kind::Decimal;
      out.text.assign(digits.begin(), digits.end());
      out.real = std::strtod(digits.c_str(), nullptr);
      return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      out.kind = Kind::Object;
      out.object = load(v, &VARIANT::punkVal);
      out.dispatch = base == VT_DISPATCH;
      return S_OK;
    default: return DISP_E_BADVARTYPE;
  }
  out.kind = Kind::Whole;
  return S_OK;
}

HRESULT parseText(const Scalar& s, ParsedNumber& n) { return parseNumber(s.text, n) ? S_OK : DISP_E_TYPEMISMATCH; }

HRESULT asReal(const Scalar& s, double& out) {
  switch (s.kind) {
    case Kind::Empty: out = 0; return S_OK;
    case Kind::Whole:
    case Kind::Bool: out = double(s.whole); return S_OK;
    case Kind::Currency: out = double(s.whole) / 10000.0; return S_OK;
    case Kind::Real:
    case Kind::Date:
    case Kind::Decimal: out = s.real; return S_OK;
    case Kind::Text: {
      ParsedNumber n;
      const HRESULT hr = parseText(s, n);
      out = n.real;
      return hr;
    }
    default: return DISP_E_TYPEMISMATCH;
  }
}

// Rounds half to even, as the platform's conversions do ("2.5" becomes 2).
HRESULT roundReal(double r, Int128& out) {
  if (!std::isfinite(r) || std::fabs(r) > 1e30) return DISP_E_OVERFLOW;
  const double rounded = std::nearbyint(r);
  out = Int128(rounded);
  return S_OK;
}

HRESULT asWhole(const Scalar& s, Int128& out) {
  switch (s.kind) {
    case Kind::Whole:
    case Kind::Bool: out = s.whole; return S_OK;
    case Kind::Currency: {
      Int128 q = s.whole / 10000, r = s.whole % 10000;
      if (r > 5000 || (r == 5000 && (q & 1))) ++q;
      if (r < -5000 || (r == -5000 && (q & 1))) --q;
      out = q;
      return S_OK;
    }
    case Kind::Text: {
      ParsedNumber n;
      const HRESULT hr = parseText(s, n);
      if (FAILED(hr)) return hr;
      if (n.isWhole) {
        out = n.whole;
        return S_OK;
      }
      return roundReal(n.real, out);
    }
    default: {
      double r;
      const HRESULT hr = asReal(s, r);
      return FAILED(hr) ? hr : roundReal(r, out);
    }
  }
}

HRESULT asCurrency(const Scalar& s, Int128& out) {
  if (s.kind == Kind::Currency) {
    out = s.whole;
    return S_OK;
  }
  ParsedNumber n;
  if (s.kind == Kind::Text && SUCCEEDED(parseText(s, n)) && n.isWhole) {
    out = n.whole * 10000;
  } else if (s.kind == Kind::Whole || s.kind == Kind::Bool) {
    out = s.whole * 10000;
  } else {
    double r;
    const HRESULT hr = asReal(s, r);
    if (FAILED(hr)) return hr;
    if (FAILED(roundReal(r * 10000.0, out))) return DISP_E_OVERFLOW;
  }
  return out < INT64_MIN || out > INT64_MAX ? DISP_E_OVERFLOW : S_OK;
}

using platform::ascii::equalsNoCase;

HRESULT asBool(const Scalar& s, bool& out) {
  if (s.kind == Kind::Text) {
    std::u16string_view t = s.text;
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (equalsNoCase(t, u"True") || equalsNoCase(t, u"False")) {
      out = t.size() == 4;
      return S_OK;
    }
  }
  if (s.kind == Kind::Whole || s.kind == Kind::Bool || s.kind == Kind::Currency) {
    out = s.whole != 0;
    return S_OK;
  }
  double r;
  const HRESULT hr = asReal(s, r);
  out = r != 0;
  return hr;
}

HRESULT asText(const Scalar& s, std::uint16_t flags, std::u16string& out) {
  std::string ansi;
  switch (s.kind) {
    case Kind::Empty: break;
    case Kind::Text:
    case Kind::Decimal: out = s.text; return S_OK;
    case Kind::Whole: ansi = wholeText(s.whole); break;
    case Kind::Real: ansi = realText(s.real, s.single); break;
    case Kind::Date: ansi = dateText(s.real); break;
    case Kind::Currency: ansi = currencyText(s.whole); break;
    case Kind::Bool: ansi = flags & VARIANT_ALPHABOOL ? (s.whole ? "True" : "False") : (s.whole ? "-1" : "0"); break;
    default: return DISP_E_TYPEMISMATCH;
  }
  out.assign(ansi.begin(), ansi.end());
  return S_OK;
}

}  // namespace

bool knownVarType(VARTYPE vt) {
  const VARTYPE base = vt & ~VT_BYREF;
  const bool byref = vt & VT_BYREF;
  if (base == VT_EMPTY || base == VT_NULL) return !byref;
  if (base == VT_VARIANT) return byref;
  return (base >= VT_I2 && base <= VT_DECIMAL) || (base >= VT_I1 && base <= VT_UINT);
}

HRESULT readScalar(const VARIANT& v, Scalar& out) {
  out = Scalar{};
  return readAt(v, out, 0);
}

HRESULT writeScalar(const Scalar& s, VARTYPE vt, std::uint16_t flags, VARIANT& out) {
  if (!knownVarType(vt)) return DISP_E_BADVARTYPE;
  out = VARIANT{};
  if (vt == VT_EMPTY) return S_OK;
  if (s.kind == Kind::Null) {
    if (vt != VT_NULL) return DISP_E_TYPEMISMATCH;
    out.vt = VT_NULL;
    return S_OK;
  }
  if (const WholeType* t = wholeType(vt)) {
    Int128 w;
    const HRESULT hr = asWhole(s, w);
    if (FAILED(hr)) return hr;
    if (w < t->min || w > t->max) return DISP_E_OVERFLOW;
    switch (vt) {
      case VT_I1: out.cVal = char(std::int8_t(w)); break;
      case VT_UI1: out.bVal = BYTE(w); break;
      case VT_I2: out.iVal = std::int16_t(w); break;
      case VT_UI2: out.uiVal = std::uint16_t(w); break;
      case VT_I4: out.lVal = LONG(w); break;
      case VT_UI4: out.ulVal = std::uint32_t(w); break;
      case VT_INT: out.intVal = int(w); break;
      case VT_UINT: out.uintVal = unsigned(w); break;
      case VT_I8: out.llVal = std::int64_t(w); break;
      default: out.ullVal = std::uint64_t(w); break;
    }
    out.vt = vt;
    return S_OK;
  }
  HRESULT hr = S_OK;
  switch (vt) {
    case VT_R4:
    case VT_R8:
    case VT_DATE: {
      double r;
      hr = asReal(s, r);
      if (FAILED(hr)) return hr;
      if (vt == VT_R4 && std::isfinite(r) && std::fabs(r) > FLT_MAX) return DISP_E_OVERFLOW;
      if (vt == VT_DATE && !(r >= kMinDate && r <= kMaxDate)) return DISP_E_OVERFLOW;
      if (vt == VT_R4) out.fltVal = float(r);
      if (vt == VT_R8) out.dblVal = r;
      if (vt == VT_DATE) out.date = r;
      break;
    }
    case VT_CY: {
      Int128 c = 0;
      hr = asCurrency(s, c);
      if (FAILED(hr)) return hr;
      out.cyVal.int64 = std::int64_t(c);
      break;
    }
    case VT_BOOL: {
      bool b = false;
      hr = asBool(s, b);
      if (FAILED(hr)) return hr;
      out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_BSTR: {
      std::u16string text;
      hr = asText(s, flags, text);
      if (FAILED(hr)) return hr;
      out.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
      if (!out.bstrVal) return E_OUTOFMEMORY;
      break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (s.kind != Kind::Object || (vt == VT_DISPATCH && !s.dispatch)) return DISP_E_TYPEMISMATCH;
      out.punkVal = s.object;
      if (s.object) s.object->AddRef();
      break;
    case VT_ERROR:
      if (s.kind != Kind::Error) return DISP_E_TYPEMISMATCH;
      out.scode = s.scode;
      break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (FAILED(hr)) return hr;
  out.vt = vt;
  return S_OK;
}

HRESULT compareScalars(const Scalar& a, const Scalar& b) {
  if (a.kind == Kind::Null || b.kind == Kind::Null) return VARCMP_NULL;
  auto unusable = [](const Scalar& s) { return s.kind == Kind::Object || s.kind == Kind::Error; };
  if (unusable(a) || unusable(b)) return DISP_E_TYPEMISMATCH;
  auto order = [](auto x, auto y) { return x < y ? VARCMP_LT : x > y ? VARCMP_GT : VARCMP_EQ; };
  const bool textA = a.kind == Kind::Text, textB = b.kind == Kind::Text;
  if (textA && textB) return order(a.text.compare(b.text), 0);
  if (textA != textB) {
    // Empty against text counts as the empty text; a text that is no number is above numbers.
    const Scalar& text = textA ? a : b;
    const Scalar& other = textA ? b : a;
    int sign;
    ParsedNumber n;
    double r = 0;
    if (other.kind == Kind::Empty) sign = text.text.empty() ? 0 : 1;
    else if (!parseNumber(text.text, n)) sign = 1;
    else sign = (asReal(other, r), n.real < r ? -1 : n.real > r ? 1 : 0);
    return order(textA ? sign : -sign, 0);
  }
  auto exact = [](const Scalar& s) { return s.kind == Kind::Whole || s.kind == Kind::Bool || s.kind == Kind::Empty; };
  if (exact(a) && exact(b)) return order(a.whole, b.whole);
  if (a.kind == Kind::Currency && b.kind == Kind::Currency) return order(a.whole, b.whole);
  double x, y;
  asReal(a, x);
  asReal(b, y);
  return order(x, y);
}

}  // namespace platform::detail
