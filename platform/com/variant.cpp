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

namespace {

// The object a VT_DISPATCH or VT_UNKNOWN variant holds, directly or by reference.
IUnknown* objectOf(const VARIANT& v) { return v.vt & VT_BYREF ? *static_cast<IUnknown* const*>(v.byref) : v.punkVal; }

// An object changed to a type that is no object: its default property (DISPID_VALUE, read with
// DISPATCH_PROPERTYGET), changed in turn; an object that answers with an object is a mismatch.
HRESULT changeObject(VARIANT* dest, IDispatch* object, std::uint16_t flags, VARTYPE vt) {
  if (!object) return DISP_E_TYPEMISMATCH;
  VARIANT value{};
  DISPPARAMS none;
  if (FAILED(object->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))) return DISP_E_TYPEMISMATCH;
  const VARTYPE base = value.vt & ~VT_BYREF;
  const HRESULT hr = base == VT_DISPATCH || base == VT_UNKNOWN ? DISP_E_TYPEMISMATCH : VariantChangeType(dest, &value, flags, vt);
  VariantClear(&value);
  return hr;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, std::uint16_t flags, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  const VARTYPE base = src->vt & ~VT_BYREF;
  if (base == VT_DISPATCH && vt != VT_DISPATCH && vt != VT_UNKNOWN && detail::knownVarType(vt))
    return changeObject(dest, static_cast<IDispatch*>(objectOf(*src)), flags, vt);
  if (base == VT_UNKNOWN && vt == VT_DISPATCH) {
    // An object is a dispatch object when it answers for that interface.
    IUnknown* object = objectOf(*src);
    IDispatch* dispatch = nullptr;
    if (!object || FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return DISP_E_TYPEMISMATCH;
    VariantClear(dest);
    dest->vt = VT_DISPATCH;
    dest->pdispVal = dispatch;
    return S_OK;
  }
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
