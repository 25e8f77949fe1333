#include <cstdint>

#include "components/spread/members/call.h"
#include "platform/com/wide_text.h"

namespace spread::members {

namespace {

template <class T>
HRESULT convert(const VARIANT& v, platform::VARTYPE vt, T& out, T VARIANT::*field) {
  Variant to;
  const HRESULT hr = platform::VariantChangeType(to.get(), &v, 0, vt);
  if (platform::SUCCEEDED(hr)) out = to.get()->*field;
  return hr;
}

}  // namespace

HRESULT ToInt(const VARIANT& v, std::int32_t& out) { return convert(v, platform::VT_I4, out, &VARIANT::lVal); }
HRESULT ToShort(const VARIANT& v, std::int16_t& out) { return convert(v, platform::VT_I2, out, &VARIANT::iVal); }
HRESULT ToDouble(const VARIANT& v, double& out) { return convert(v, platform::VT_R8, out, &VARIANT::dblVal); }

HRESULT ToBool(const VARIANT& v, bool& out) {
  platform::VARIANT_BOOL b = 0;
  const HRESULT hr = convert(v, platform::VT_BOOL, b, &VARIANT::boolVal);
  out = b != 0;
  return hr;
}

HRESULT ToText(const VARIANT& v, std::string& out) {
  Variant to;
  const HRESULT hr = platform::VariantChangeType(to.get(), &v, 0, platform::VT_BSTR);
  if (platform::SUCCEEDED(hr)) out = platform::wideToAnsi(platform::bstrView(to->bstrVal));
  return hr;
}

HRESULT ToColour(const VARIANT& v, std::uint32_t& out) {
  std::int64_t wide = 0;
  Variant to;
  const HRESULT hr = platform::VariantChangeType(to.get(), &v, 0, platform::VT_I8);
  if (platform::FAILED(hr)) return hr;
  wide = to->llVal;
  if (wide < INT32_MIN || wide > UINT32_MAX) return platform::DISP_E_OVERFLOW;
  out = std::uint32_t(wide);
  return platform::S_OK;
}

void SetInt(Variant& r, std::int32_t v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_I4;
  r->lVal = v;
}

void SetShort(Variant& r, std::int16_t v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_I2;
  r->iVal = v;
}

void SetDouble(Variant& r, double v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_R8;
  r->dblVal = v;
}

void SetBool(Variant& r, bool v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_BOOL;
  r->boolVal = v ? platform::VARIANT_TRUE : platform::VARIANT_FALSE;
}

void SetText(Variant& r, std::string_view v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_BSTR;
  r->bstrVal = platform::Bstr(platform::ansiToWide(v)).release();
}

void SetColour(Variant& r, std::uint32_t v) {
  platform::VariantClear(r.get());
  r->vt = platform::VT_UI4;
  r->ulVal = v;
}

HRESULT IntArg(const Call& c, size_t i, std::int32_t& out) {
  const HRESULT hr = ToInt(c.args[i], out);
  return platform::FAILED(hr) ? c.fail(hr, "argument " + std::to_string(i + 1) + " is not a number") : hr;
}

HRESULT TextArg(const Call& c, size_t i, std::string& out) {
  const HRESULT hr = ToText(c.args[i], out);
  return platform::FAILED(hr) ? c.fail(hr, "argument " + std::to_string(i + 1) + " is not a text") : hr;
}

bool IsRowOrAll(const AddressedBook& b, std::int32_t row) { return row >= kAll && row <= b.sheet().maxRows(); }
bool IsColOrAll(const AddressedBook& b, std::int32_t col) { return col >= kAll && col <= b.sheet().maxCols(); }

}  // namespace spread::members
