#include "components/spread/registration.h"

#include <mutex>

#include "components/spread/spread_control.h"
#include "platform/com/class_factory.h"

namespace spread {

using namespace platform;

HRESULT RegisterSpreadComponent() {
  static ClassFactory<SpreadControl> factory;
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
