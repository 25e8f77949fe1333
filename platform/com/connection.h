// Connectable objects: how an object finds the sinks it reports to. A container asks the object
// (IConnectionPointContainer) for the connection point of an outgoing interface and advises it
// of its sink; the object then calls the sink (an IDispatch for events, IPropertyNotifySink for
// property changes) until the container unadvises. IProvideClassInfo2 names the object's default
// outgoing dispatch interface.
#pragma once

#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace platform {

struct IConnectionPointContainer;

struct IConnectionPoint : IUnknown {
  virtual HRESULT GetConnectionInterface(IID* iid) = 0;
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
  // The point keeps a reference to the sink until Unadvise; the cookie names the connection.
  virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
  virtual HRESULT Unadvise(DWORD cookie) = 0;

 protected:
  ~IConnectionPoint() = default;
};

struct IConnectionPointContainer : IUnknown {
  // CONNECT_E_NOCONNECTION when the object has no point for that interface.
  virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) = 0;

 protected:
  ~IConnectionPointContainer() = default;
};

// Property changes of bindable properties.
struct IPropertyNotifySink : IUnknown {
  virtual HRESULT OnChanged(DISPID member) = 0;
  virtual HRESULT OnRequestEdit(DISPID member) = 0;

 protected:
  ~IPropertyNotifySink() = default;
};

inline constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

// The object's class information, as far as its default outgoing interface goes.
struct IProvideClassInfo2 : IUnknown {
  virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;

 protected:
  ~IProvideClassInfo2() = default;
};

inline constexpr HRESULT CONNECT_E_NOCONNECTION = HRESULT(0x80040200u);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = HRESULT(0x80040201u);

inline constexpr IID IID_IConnectionPointContainer{0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPoint{0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IPropertyNotifySink{0x9BFBBC02, 0xEFF1, 0x101A, {0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IProvideClassInfo2{0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

}  // namespace platform
