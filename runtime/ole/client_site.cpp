#include "runtime/ole/client_site.h"

namespace tamsil::ole {

using namespace platform;

HRESULT ClientSite::QueryInterface(const IID& iid, void** object) {
  if (iid != IID_IUnknown && iid != IID_IOleClientSite) return *object = nullptr, E_NOINTERFACE;
  *object = this;
  AddRef();
  return S_OK;
}

ULONG ClientSite::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

}  // namespace tamsil::ole
