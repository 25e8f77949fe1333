// The site's event sink: the object it hosts calls it for its events, as a dispatch interface,
// and for changes of its bindable properties (IPropertyNotifySink). The sink is connected to the
// object's connection points when the object is created and disconnected when it is released;
// after that it answers without reaching the site.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection.h"
#include "platform/com/hresult.h"
#include "platform/com/unknown.h"

namespace tamsil::ole {

class OleSite;

class EventSink final : public platform::ComObject<platform::Implements<platform::IDispatch, platform::IID_IDispatch>,
                                                   platform::Implements<platform::IPropertyNotifySink, platform::IID_IPropertyNotifySink>> {
 public:
  explicit EventSink(OleSite& site) : site_(&site) {}

  // Connects to the object's point for its default outgoing interface (IProvideClassInfo2), or
  // for IDispatch when it names none, and to its point for property changes. Objects without
  // connection points have no events.
  void connect(platform::IUnknown* object);
  // Disconnects and stops reaching the site.
  void disconnect();

  // Also answers for the events' interface as IDispatch.
  platform::HRESULT QueryInterface(const platform::IID& iid, void** object) override;
  platform::HRESULT GetTypeInfoCount(platform::UINT* count) override { return *count = 0, platform::S_OK; }
  platform::HRESULT GetTypeInfo(platform::UINT, platform::LCID, platform::ITypeInfo**) override { return platform::E_NOTIMPL; }
  platform::HRESULT GetIDsOfNames(const platform::IID&, platform::OLECHAR**, platform::UINT, platform::LCID, platform::DISPID*) override {
    return platform::E_NOTIMPL;
  }
  // An event: refused for an interface identifier other than IID_NULL, otherwise delivered to
  // the site; always success to the object.
  platform::HRESULT Invoke(platform::DISPID member, const platform::IID& reserved, platform::LCID, platform::WORD, platform::DISPPARAMS* params,
                           platform::VARIANT*, platform::EXCEPINFO*, platform::UINT*) override;
  // A property changed: the site keeps a bound variable in step.
  platform::HRESULT OnChanged(platform::DISPID member) override;
  platform::HRESULT OnRequestEdit(platform::DISPID) override { return platform::S_OK; }

 private:
  struct Connection {
    platform::ComPtr<platform::IConnectionPoint> point;
    platform::DWORD cookie = 0;
  };
  void advise(platform::IConnectionPointContainer* container, const platform::IID& iid, platform::IUnknown* sink, Connection& c);

  ~EventSink() override = default;

  OleSite* site_;
  platform::IID events_ = platform::IID_IDispatch;
  Connection eventsPoint_, changes_;
};

}  // namespace tamsil::ole
