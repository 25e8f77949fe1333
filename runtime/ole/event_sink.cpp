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
  advise(container.get(), events_, static_cast<IDispatch*>(this), eventsPoint_);
  advise(container.get(), IID_IPropertyNotifySink, static_cast<IPropertyNotifySink*>(this), changes_);
}

void EventSink::advise(IConnectionPointContainer* container, const IID& iid, IUnknown* sink, Connection& c) {
  IConnectionPoint* point = nullptr;
  if (FAILED(container->FindConnectionPoint(iid, &point)) || !point) return;
  c.point = ComPtr<IConnectionPoint>::adopt(point);
  if (FAILED(c.point->Advise(sink, &c.cookie))) c.point.reset();
}

void EventSink::disconnect() {
  site_ = nullptr;
  for (Connection* c : {&eventsPoint_, &changes_}) {
    if (c->point) c->point->Unadvise(c->cookie);
    c->point.reset();
  }
}

HRESULT EventSink::QueryInterface(const IID& iid, void** object) {
  return BasicComObject::QueryInterface(iid == events_ ? IID_IDispatch : iid, object);
}

HRESULT EventSink::Invoke(DISPID member, const IID& reserved, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  if (reserved != IID_NULL) return E_INVALIDARG;
  if (site_) site_->deliverEvent(member, params);
  return S_OK;
}

HRESULT EventSink::OnChanged(DISPID member) {
  if (site_) site_->propertyChanged(member);
  return S_OK;
}

}  // namespace tamsil::ole
