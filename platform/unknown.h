// The root interfaces of the component model. Objects count their references; whoever holds a
// pointer owns one reference and gives it back with Release.
#pragma once

#include <cstdint>

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

// Automation objects. Variants carry them as VT_DISPATCH; the calls by name (GetIDsOfNames,
// Invoke) belong to the automation bridge and are declared with it.
struct IDispatch : IUnknown {
 protected:
  ~IDispatch() = default;
};

}  // namespace platform
