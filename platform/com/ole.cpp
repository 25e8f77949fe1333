#include "platform/com/ole.h"

#include "platform/com/com_ptr.h"

namespace platform {

namespace {
thread_local int tInitialized = 0;
}  // namespace

HRESULT OleRun(IUnknown* object) {
  if (!object) return E_INVALIDARG;
  ComPtr<IRunnableObject> runnable;
  if (FAILED(object->QueryInterface(IID_IRunnableObject, runnable.put())) || !runnable) return S_OK;
  return runnable->IsRunning() ? S_OK : runnable->Run(nullptr);
}

HRESULT CoInitialize(void*) { return tInitialized++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (tInitialized > 0) --tInitialized;
}

int CoInitializeCount() { return tInitialized; }

}  // namespace platform
