// The grid control as an embedded object: its client site, closing, its miscellaneous status,
// and its persistence in a storage.
#include "components/spread/book_stream.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"

namespace spread {

using namespace platform;

HRESULT SpreadControl::SetClientSite(IOleClientSite* site) {
  site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT SpreadControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT SpreadControl::Close(DWORD saveOption) {
  // The container saves the object where it keeps it; the object only asks it to.
  if (saveOption == OLECLOSE_SAVEIFDIRTY && dirty_ && site_) site_->SaveObject();
  return S_OK;
}

HRESULT SpreadControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  // The grid reads its container's site before it is initialised or loaded.
  *status = OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

HRESULT SpreadControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = kSpreadClsid;
  return S_OK;
}

HRESULT SpreadControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT SpreadControl::InitNew(IStorage* storage) {
  if (!storage) return E_POINTER;
  dirty_ = false;
  return S_OK;
}

HRESULT SpreadControl::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  // Loading is no user's doing: the book raises no events meanwhile.
  book_->setEventSink(nullptr);
  const HRESULT hr = LoadBook(*book_, storage);
  book_->setEventSink(this);
  if (SUCCEEDED(hr)) {
    dirty_ = false;
    book_->changes.notify();
  }
  return hr;
}

HRESULT SpreadControl::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  const HRESULT hr = SaveBook(*book_, storage);
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

HRESULT SpreadControl::SaveCompleted(IStorage*) { return S_OK; }

HRESULT SpreadControl::HandsOffStorage() { return S_OK; }

}  // namespace spread
