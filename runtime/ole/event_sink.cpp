#include "runtime/ole/event_sink.h"

#include "runtime/ole/ole_site.h"

namespace tamsil::ole {

using namespace platform;

void EventSink::connect(IUnknown* object) {
  ComPtr<IProvideClassInfo2> info;
  if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo2, info.put())) && info) {
    GUID source{};
    if (SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source))) events_ = source;
  }
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.put())) || !container) return;
  IConnectionPoint* point = nullptr;
  if (FAILED(container->FindConnectionPoint(events_, &point)) || !point) return;
  point_ = ComPtr<IConnectionPoint>::adopt(point);
  if (FAILED(point_->Advise(static_cast<IDispatch*>(this), &cookie_))) point_.reset();
}

void EventSink::disconnect() {
  site_ = nullptr;
  if (point_) point_->Unadvise(cookie_);
  point_.reset();
}

HRESULT EventSink::QueryInterface(const IID& iid, void** object) {
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != events_) return *object = nullptr, E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG EventSink::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT EventSink::Invoke(DISPID member, const IID& reserved, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  if (reserved != IID_NULL) return E_INVALIDARG;
  if (site_) site_->deliverEvent(member, params);
  return S_OK;
}

}  // namespace tamsil::ole
