#include "platform/com/variant.h"

#include "platform/com/detail/variant_scalar.h"

namespace platform {

using detail::Scalar;

void VariantInit(VARIANT* v) {
  if (v) *v = VARIANT{};
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (!detail::knownVarType(v->vt)) return DISP_E_BADVARTYPE;
  if (!(v->vt & VT_BYREF)) {
    if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
    if ((v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) && v->punkVal) v->punkVal->Release();
  }
  *v = VARIANT{};
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (!detail::knownVarType(src->vt)) return DISP_E_BADVARTYPE;
  if (dest == src) return S_OK;
  const HRESULT cleared = VariantClear(dest);
  if (FAILED(cleared)) return cleared;
  VARIANT copy = *src;
  if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  if ((src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) && src->punkVal) src->punkVal->AddRef();
  *dest = copy;
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  Scalar value;
  HRESULT hr = detail::readScalar(*src, value);
  if (FAILED(hr)) return hr;
  VARIANT result;
  hr = detail::writeScalar(value, vt, flags, result);
  if (FAILED(hr)) return hr;
  // The source may be dest itself: it is read completely before dest is cleared.
  VariantClear(dest);
  *dest = result;
  return S_OK;
}

HRESULT VarBstrCmp(BSTR left, BSTR right, LCID, ULONG) {
  const int c = bstrView(left).compare(bstrView(right));
  return c < 0 ? VARCMP_LT : c > 0 ? VARCMP_GT : VARCMP_EQ;
}

HRESULT VarCmp(const VARIANT* left, const VARIANT* right, LCID, ULONG) {
  if (!left || !right) return E_INVALIDARG;
  Scalar a, b;
  HRESULT hr = detail::readScalar(*left, a);
  if (FAILED(hr)) return hr;
  hr = detail::readScalar(*right, b);
  if (FAILED(hr)) return hr;
  return detail::compareScalars(a, b);
}

}  // namespace platform
