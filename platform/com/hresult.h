// HRESULT values of the component model that the platform returns.
#pragma once

#include "platform/types.h"

namespace platform {

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005u);
inline constexpr HRESULT DISP_E_BADVARTYPE = HRESULT(0x80020008u);
inline constexpr HRESULT DISP_E_OVERFLOW = HRESULT(0x8002000Au);
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = HRESULT(0x80020001u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003u);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = HRESULT(0x80020004u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006u);
inline constexpr HRESULT DISP_E_NONAMEDARGS = HRESULT(0x80020007u);
inline constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009u);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000Eu);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = HRESULT(0x8002000Fu);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HRESULT(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154u);
inline constexpr HRESULT CO_E_CLASSSTRING = HRESULT(0x800401F3u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

}  // namespace platform
