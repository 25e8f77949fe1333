#include "platform/com/ole.h"

#include "platform/com/com.h"
#include "platform/com/com_ptr.h"

namespace platform {

namespace {
thread_local int tInitialized = 0;
}  // namespace

namespace {

// Makes an object of the class and embeds it: the client site as the object asks, and InitNew
// in the storage or Load from it (`load`).
HRESULT embed(const CLSID& clsid, const IID& iid, IOleClientSite* site, IStorage* storage, bool load, void** object) {
  *object = nullptr;
  ComPtr<IUnknown> made;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, IID_IUnknown, made.put());
  if (FAILED(hr)) return hr;
  ComPtr<IOleObject> ole;
  if (FAILED(made->QueryInterface(IID_IOleObject, ole.put())) || !ole) return E_NOINTERFACE;
  DWORD misc = 0;
  const bool siteFirst = SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &misc)) && (misc & OLEMISC_SETCLIENTSITEFIRST);
  if (siteFirst && FAILED(hr = ole->SetClientSite(site))) return hr;
  ComPtr<IPersistStorage> persist;
  if (storage && SUCCEEDED(made->QueryInterface(IID_IPersistStorage, persist.put())) && persist) {
    hr = load ? persist->Load(storage) : persist->InitNew(storage);
    if (FAILED(hr)) return hr;
  }
  if (!siteFirst && FAILED(hr = ole->SetClientSite(site))) return hr;
  return made->QueryInterface(iid, object);
}

}  // namespace

HRESULT OleCreate(const CLSID& clsid, const IID& iid, DWORD, void*, IOleClientSite* site, IStorage* storage, void** object) {
  return embed(clsid, iid, site, storage, false, object);
}

HRESULT OleLoad(IStorage* storage, const IID& iid, IOleClientSite* site, void** object) {
  CLSID clsid{};
  const HRESULT hr = ReadClassStg(storage, &clsid);
  if (FAILED(hr)) return *object = nullptr, hr;
  return embed(clsid, iid, site, storage, true, object);
}

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
