#include "tests/ole/event_source.h"

#include <string>

namespace tamsil::testing {

using namespace platform;

int EventSource::alive = 0;

// The point property-change sinks connect to.
class NotifyPoint final : public ComObject<Implements<IConnectionPoint, IID_IConnectionPoint>> {
 public:
  HRESULT GetConnectionInterface(IID* iid) override { return *iid = IID_IPropertyNotifySink, S_OK; }
  HRESULT GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override {
    ComPtr<IPropertyNotifySink> s;
    if (FAILED(sink->QueryInterface(IID_IPropertyNotifySink, s.put()))) return CONNECT_E_ADVISELIMIT;
    *cookie = next_++;
    sinks_[*cookie] = std::move(s);
    return S_OK;
  }
  HRESULT Unadvise(DWORD cookie) override { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }
  void changed(DISPID member) {
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) sink->OnChanged(member);
  }

 private:
  ~NotifyPoint() = default;
  DWORD next_ = 1;
  std::map<DWORD, ComPtr<IPropertyNotifySink>> sinks_;
};

EventSource::EventSource() { ++alive; }
EventSource::~EventSource() { --alive; }

HRESULT EventSource::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = this;
  AddRef();
  return S_OK;
}

HRESULT EventSource::GetIDsOfNames(const IID&, OLECHAR** names, UINT count, LCID, DISPID* ids) {
  static const std::map<std::u16string, DISPID> kNames = {{u"Fire", kFire},   {u"FireWrongIid", kFireWrongIid}, {u"LastAnswer", kLastAnswer},
                                                          {u"Sinks", kSinks}, {u"Value", kValueName},           {u"Notify", kNotify}};
  for (UINT i = 0; i < count; ++i) {
    const auto it = kNames.find(names[i]);
    if (it == kNames.end()) return DISP_E_UNKNOWNNAME;
    ids[i] = it->second;
  }
  return S_OK;
}

HRESULT EventSource::fire(DISPID event, const IID& reserved, const VARIANT* argument) {
  VARIANT arg = *argument;  // shallow: the sink only reads it
  DISPPARAMS params{&arg, nullptr, 1, 0};
  const auto sinks = sinks_;  // a sink may disconnect while it is called
  for (const auto& [cookie, sink] : sinks) lastAnswer_ = sink->Invoke(event, reserved, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  return S_OK;
}

void EventSource::changed(DISPID member) {
  if (notify_) notify_->changed(member);
}

HRESULT EventSource::Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) {
  VARIANT ignored;
  if (!result) result = &ignored;
  switch (member) {
    case DISPID_VALUE:
    case kValueName:
      if (!(flags & DISPATCH_PROPERTYPUT)) return VariantCopy(result, value_.get());
      if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
      if (const HRESULT hr = VariantCopy(value_.get(), &params->rgvarg[0]); FAILED(hr)) return hr;
      changed(member);
      return S_OK;
    case kNotify: {
      Variant id;
      if (params->cArgs != 1 || FAILED(VariantChangeType(id.get(), &params->rgvarg[0], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
      changed(id->lVal);
      return S_OK;
    }
    case kFire:
    case kFireWrongIid: {
      // Fire(event, value): arguments arrive last first.
      if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
      Variant event;
      if (FAILED(VariantChangeType(event.get(), &params->rgvarg[1], 0, VT_I4))) return DISP_E_TYPEMISMATCH;
      return fire(event->lVal, member == kFire ? IID_NULL : IID_IDispatch, &params->rgvarg[0]);
    }
    case kLastAnswer:
      result->vt = VT_I4;
      result->lVal = lastAnswer_;
      return S_OK;
    case kSinks:
      result->vt = VT_I4;
      result->lVal = LONG(sinks_.size());
      return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT EventSource::FindConnectionPoint(const IID& iid, IConnectionPoint** point) {
  if (iid == IID_IPropertyNotifySink) {
    if (!notify_) notify_ = ComPtr<NotifyPoint>(new NotifyPoint);
    return notify_->QueryInterface(IID_IConnectionPoint, reinterpret_cast<void**>(point));
  }
  if (iid != IID_IDispatch) return *point = nullptr, CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

HRESULT EventSource::GetConnectionPointContainer(IConnectionPointContainer** container) {
  *container = this;
  AddRef();
  return S_OK;
}

HRESULT EventSource::Advise(IUnknown* sink, DWORD* cookie) {
  ComPtr<IDispatch> d;
  if (FAILED(sink->QueryInterface(IID_IDispatch, d.put()))) return CONNECT_E_ADVISELIMIT;
  *cookie = nextCookie_++;
  sinks_[*cookie] = std::move(d);
  return S_OK;
}

HRESULT EventSource::Unadvise(DWORD cookie) { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }

HRESULT EventSource::GetNames(DISPID member, OLECHAR** names, UINT maxNames, UINT* count) {
  const char16_t* name = member == 1 ? u"Click" : member == 2 ? u"Changed" : nullptr;
  *count = 0;
  if (!name || maxNames == 0) return S_OK;
  names[0] = SysAllocString(name);
  *count = 1;
  return S_OK;
}

}  // namespace tamsil::testing
