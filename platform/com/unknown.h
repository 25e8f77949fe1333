// The root interfaces of the component model. Objects count their references; whoever holds a
// pointer owns one reference and gives it back with Release.
#pragma once

#include <cstdint>

#include "platform/com/wide_text.h"
#include "platform/types.h"

namespace platform {

using ULONG = std::uint32_t;

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0, Data3 = 0;
  std::uint8_t Data4[8] = {};
  friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;

struct IUnknown {
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct VARIANT;
using VARIANTARG = VARIANT;
using DISPID = LONG;
using LCID = DWORD;

inline constexpr WORD DISPATCH_METHOD = 0x1, DISPATCH_PROPERTYGET = 0x2, DISPATCH_PROPERTYPUT = 0x4, DISPATCH_PROPERTYPUTREF = 0x8;
inline constexpr DISPID DISPID_UNKNOWN = -1, DISPID_VALUE = 0, DISPID_PROPERTYPUT = -3;

// Arguments of an Invoke, last argument first (as the real platform orders them).
struct DISPPARAMS {
  VARIANTARG* rgvarg = nullptr;
  DISPID* rgdispidNamedArgs = nullptr;
  UINT cArgs = 0;
  UINT cNamedArgs = 0;
};

// What an object reports when a call raised an exception (DISP_E_EXCEPTION). The texts are
// BSTRs that the caller frees.
struct EXCEPINFO {
  WORD wCode = 0;
  WORD wReserved = 0;
  OLECHAR* bstrSource = nullptr;
  OLECHAR* bstrDescription = nullptr;
  OLECHAR* bstrHelpFile = nullptr;
  DWORD dwHelpContext = 0;
  void* pvReserved = nullptr;
  void* pfnDeferredFillIn = nullptr;
  HRESULT scode = 0;
};

// Type information, as far as names go: the names of a member (its own, then its parameters').
struct ITypeInfo : IUnknown {
  virtual HRESULT GetNames(DISPID member, OLECHAR** names, UINT maxNames, UINT* count) = 0;

 protected:
  ~ITypeInfo() = default;
};

// Automation objects: members found by name and called by number.
struct IDispatch : IUnknown {
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
  virtual HRESULT GetIDsOfNames(const IID& reserved, OLECHAR** names, UINT count, LCID locale, DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID member, const IID& reserved, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                         UINT* argumentError) = 0;

 protected:
  ~IDispatch() = default;
};

// Makes objects of one class; components register one per class.
struct IClassFactory : IUnknown {
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

inline constexpr IID IID_NULL{};
inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

}  // namespace platform
