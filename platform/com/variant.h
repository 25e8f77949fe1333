// VARIANT: the component model's tagged value, with the VT_ type numbers of Win32 and the
// functions that initialise, clear, copy, convert and compare variants. A variant owns what it
// holds: a BSTR is freed and an object released by VariantClear. With VT_BYREF the variant
// points at a value owned by somebody else and owns nothing.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/com/bstr.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace platform {

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using SCODE = std::int32_t;
using DATE = double;  // days since 30 December 1899; the fraction is the time of day
using LCID = DWORD;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,  // no value: only as a type to convert to, never held
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// Flags of VariantChangeType: booleans become "True"/"False" instead of "-1"/"0".
inline constexpr std::uint16_t VARIANT_ALPHABOOL = 0x02;

// Results of VarCmp.
inline constexpr HRESULT VARCMP_LT = 0, VARCMP_EQ = 1, VARCMP_GT = 2, VARCMP_NULL = 3;

// Currency: a 64-bit integer counting ten-thousandths. Plain data, as it lives in a union.
struct CY {
  std::int64_t int64;
};

// A 96-bit unsigned integer with a sign and a power-of-ten scale (0 to 28).
struct DECIMAL {
  WORD wReserved;
  BYTE scale;
  BYTE sign;  // 0x80 for negative values
  DWORD Hi32;
  std::uint64_t Lo64;
};

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  WORD wReserved1 = 0, wReserved2 = 0, wReserved3 = 0;
  union {
    std::int64_t llVal = 0;
    LONG lVal;
    BYTE bVal;
    std::int16_t iVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    char cVal;
    std::uint16_t uiVal;
    std::uint32_t ulVal;
    std::uint64_t ullVal;
    int intVal;
    unsigned uintVal;
    DECIMAL decVal;
    void* byref;
  };
};

namespace variant_detail {
template <VARTYPE Vt, auto Field, typename T>
VARIANT holding(T value) {
  VARIANT x;
  x.vt = Vt;
  x.*Field = value;
  return x;
}
}  // namespace variant_detail

// Variants holding one value of the type their name gives; they own nothing. VariantOfRef
// points at a value of type vt that somebody else owns (VT_BYREF).
inline VARIANT VariantOfI2(std::int16_t v) { return variant_detail::holding<VT_I2, &VARIANT::iVal>(v); }
inline VARIANT VariantOfI4(std::int32_t v) { return variant_detail::holding<VT_I4, &VARIANT::lVal>(LONG(v)); }
inline VARIANT VariantOfUI1(std::uint8_t v) { return variant_detail::holding<VT_UI1, &VARIANT::bVal>(BYTE(v)); }
inline VARIANT VariantOfUI4(std::uint32_t v) { return variant_detail::holding<VT_UI4, &VARIANT::ulVal>(v); }
inline VARIANT VariantOfR8(double v) { return variant_detail::holding<VT_R8, &VARIANT::dblVal>(v); }
inline VARIANT VariantOfBool(bool v) { return variant_detail::holding<VT_BOOL, &VARIANT::boolVal>(v ? VARIANT_TRUE : VARIANT_FALSE); }
inline VARIANT VariantOfRef(VARTYPE vt, void* at) {
  VARIANT x = variant_detail::holding<VT_EMPTY, &VARIANT::byref>(at);
  x.vt = VARTYPE(vt | VT_BYREF);
  return x;
}

void VariantInit(VARIANT* v);
// Frees what the variant owns and makes it VT_EMPTY. DISP_E_BADVARTYPE for a type number the
// platform does not know (the variant is left alone); E_INVALIDARG for null.
HRESULT VariantClear(VARIANT* v);
// Clears dest, then copies src into it: a BSTR is duplicated, an object gets another reference,
// a VT_BYREF variant copies the reference. E_OUTOFMEMORY leaves dest VT_EMPTY.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// Converts src (a VT_BYREF source is read through its reference) to type vt into dest; dest may
// be src. On failure dest is unchanged. Conversions between every numeric type, VT_BOOL, VT_CY,
// VT_DATE and VT_BSTR; VT_DECIMAL and VT_ERROR as sources; objects to VT_UNKNOWN, to
// VT_DISPATCH when they answer for IDispatch, and a dispatch object to any other type through
// its default property (DISPID_VALUE). Results:
// DISP_E_TYPEMISMATCH (no such conversion, text that is no number, VT_NULL to anything but
// VT_NULL), DISP_E_OVERFLOW (out of the target's range), DISP_E_BADVARTYPE (unknown type),
// E_OUTOFMEMORY.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt);
// Compares two variants: VARCMP_NULL when either is VT_NULL; numbers (booleans, currency and
// dates included) by value; texts by their UTF-16 units; a text against a number by value when
// the text reads as a number, else the text is the greater. Objects and errors give
// DISP_E_TYPEMISMATCH.
HRESULT VarCmp(const VARIANT* left, const VARIANT* right, LCID lcid, ULONG flags);
// Compares two BSTRs unit by unit (null is empty): VARCMP_LT, VARCMP_EQ or VARCMP_GT.
HRESULT VarBstrCmp(BSTR left, BSTR right, LCID lcid, ULONG flags);

// Owns one VARIANT and clears it when it goes away.
class Variant {
 public:
  Variant() = default;
  ~Variant() { VariantClear(&v_); }
  Variant(Variant&& other) noexcept : v_(std::exchange(other.v_, VARIANT{})) {}
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = std::exchange(other.v_, VARIANT{});
    }
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT* operator->() { return &v_; }
  const VARIANT* operator->() const { return &v_; }

 private:
  VARIANT v_;
};

}  // namespace platform
