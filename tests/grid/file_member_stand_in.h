// A stand-in for the grid while its file members (exports, imports, loads, saves, printing) are
// not carried out yet: an automation object that passes every call to a real grid and, where the
// grid answers that a member is not carried out, writes the line the grid would have written to
// the process's call log and answers 1. The wrapper's file calls are seen in the call log exactly
// as they arrive, typed and in order, among the grid's own lines.
#pragma once

#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"

namespace kestrel::grid::testing {

inline constexpr const char* kStandInProgId = "Kestrel.GridFileStandIn.1";
inline constexpr platform::CLSID kStandInClsid{0x4B455354, 0x0002, 0x4752, {0x49, 0x44, 0x46, 0x49, 0x4C, 0x45, 0x53, 0x31}};

class StandInFactory final : public platform::UnownedComObject<platform::Implements<platform::IClassFactory, platform::IID_IClassFactory>> {
 public:
  platform::HRESULT CreateInstance(platform::IUnknown* outer, const platform::IID& iid, void** object) override;
  platform::HRESULT LockServer(platform::BOOL) override { return platform::S_OK; }
};

}  // namespace kestrel::grid::testing
