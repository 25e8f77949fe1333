// A test control that fires events: it offers one connection point for IDispatch sinks, names
// its events in its type information (1 "Click", 2 "Changed"; none for others), and has methods
// that fire an event with one argument, fire one with a wrong interface identifier, and report
// the sink's answer and how many sinks are connected. Its value (DISPID 0, also written as
// "Value") reports each change to the sinks of its property-change point; "Notify(ID)" reports a
// change of any DISPID.
#pragma once

#include <map>

#include "platform/com/class_factory.h"
#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection.h"
#include "platform/com/variant.h"

namespace tamsil::testing {

enum EventSourceMember : platform::DISPID {
  kFire = 100,
  kFireWrongIid = 101,
  kLastAnswer = 102,
  kSinks = 103,
  kValueName = 104,
  kNotify = 105,
};

class NotifyPoint;

class EventSource final
    : public platform::ComObject<platform::Implements<platform::IDispatch, platform::IID_IDispatch>,
                                 platform::Implements<platform::IConnectionPointContainer, platform::IID_IConnectionPointContainer>,
                                 platform::Implements<platform::IConnectionPoint>, platform::Implements<platform::ITypeInfo>> {
 public:
  EventSource();
  platform::HRESULT GetTypeInfoCount(platform::UINT* count) override { return *count = 1, platform::S_OK; }
  platform::HRESULT GetTypeInfo(platform::UINT, platform::LCID, platform::ITypeInfo** info) override;
  platform::HRESULT GetIDsOfNames(const platform::IID&, platform::OLECHAR** names, platform::UINT count, platform::LCID,
                                  platform::DISPID* ids) override;
  platform::HRESULT Invoke(platform::DISPID member, const platform::IID&, platform::LCID, platform::WORD, platform::DISPPARAMS* params,
                           platform::VARIANT* result, platform::EXCEPINFO*, platform::UINT*) override;

  platform::HRESULT FindConnectionPoint(const platform::IID& iid, platform::IConnectionPoint** point) override;

  platform::HRESULT GetConnectionInterface(platform::IID* iid) override { return *iid = platform::IID_IDispatch, platform::S_OK; }
  platform::HRESULT GetConnectionPointContainer(platform::IConnectionPointContainer** container) override;
  platform::HRESULT Advise(platform::IUnknown* sink, platform::DWORD* cookie) override;
  platform::HRESULT Unadvise(platform::DWORD cookie) override;

  platform::HRESULT GetNames(platform::DISPID member, platform::OLECHAR** names, platform::UINT maxNames, platform::UINT* count) override;

  // How many EventSources are alive (leak checks).
  static int alive;

 private:
  ~EventSource() override;
  platform::HRESULT fire(platform::DISPID event, const platform::IID& reserved, const platform::VARIANT* argument);
  void changed(platform::DISPID member);

  std::map<platform::DWORD, platform::ComPtr<platform::IDispatch>> sinks_;
  platform::DWORD nextCookie_ = 1;
  platform::HRESULT lastAnswer_ = 0;
  platform::Variant value_;
  platform::ComPtr<NotifyPoint> notify_;
};

using EventSourceFactory = platform::ClassFactory<EventSource>;

}  // namespace tamsil::testing
