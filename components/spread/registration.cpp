#include "components/spread/registration.h"

#include <mutex>

#include "components/spread/spread_control.h"
#include "platform/com/com_ptr.h"

namespace spread {

using namespace platform;

namespace {

// The class object: one per process, never destroyed, so its counts only keep the interface.
class SpreadFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return *object = nullptr, E_NOINTERFACE;
    *object = this;
    return S_OK;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    const ComPtr<SpreadControl> control = ComPtr<SpreadControl>::adopt(new SpreadControl);
    return control->QueryInterface(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }
};

}  // namespace

HRESULT RegisterSpreadComponent() {
  static SpreadFactory factory;
  static std::mutex mutex;
  static DWORD cookie = 0;
  std::lock_guard lock(mutex);
  DWORD fresh = 0;
  const HRESULT hr =
      RegisterComponentClass({kSpreadClsid, std::string(kSpreadProgId), std::string(kSpreadClassName), "Apartment", true, &factory}, &fresh);
  if (FAILED(hr)) return hr;
  // The class object registered by an earlier call gives way to the new one.
  if (cookie) CoRevokeClassObject(cookie);
  cookie = fresh;
  return S_OK;
}

}  // namespace spread
