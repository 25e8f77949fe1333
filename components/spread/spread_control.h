// The grid control object: what a container holds when it creates "OVSpreadADO.ovSpread.6". It
// owns one Book and is its event sink. Its faces:
//   IDispatch                  the member table: names found without case, Invoke carried out by
//                              InvokeMember, failures raised with the member's text
//   ITypeInfo (GetTypeInfo)    the names of the members and of the events
//   IOleObject                 the client site, Close, the miscellaneous status
//   IPersistStorage            the book in a stream of the storage (book_stream.h)
//   IConnectionPointContainer  one connection point for the events' dispatch interface, which
//                              IProvideClassInfo2 names; every advised sink hears every event
// Every member carried out and every event raised is written to the call log when there is one.
// The object lives on the thread that made it (threading model "Apartment").
#pragma once

#include <map>
#include <memory>
#include <span>

#include "components/spread/control_events.h"
#include "components/spread/members/members.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection.h"
#include "platform/com/ole.h"
#include "platform/com/storage.h"
#include "platform/com/unknown.h"

namespace spread {

class SpreadControl final
    : public platform::BasicComObject<platform::Lifetime::Heap, platform::Implements<platform::IDispatch, platform::IID_IDispatch>,
                                      platform::Implements<platform::IOleObject, platform::IID_IOleObject>,
                                      platform::Implements<platform::IPersistStorage, platform::IID_IPersistStorage>,
                                      platform::Implements<platform::IConnectionPointContainer, platform::IID_IConnectionPointContainer>,
                                      platform::Implements<platform::IProvideClassInfo2, platform::IID_IProvideClassInfo2>,
                                      platform::Implements<platform::IConnectionPoint, platform::IID_IConnectionPoint>>,
      public VariantEventSink {
 public:
  // The creator holds the first reference.
  SpreadControl();

  AddressedBook& book() { return *book_; }

  // IDispatch.
  platform::HRESULT GetTypeInfoCount(platform::UINT* count) override;
  platform::HRESULT GetTypeInfo(platform::UINT index, platform::LCID locale, platform::ITypeInfo** info) override;
  platform::HRESULT GetIDsOfNames(const platform::IID& reserved, platform::OLECHAR** names, platform::UINT count, platform::LCID locale,
                                  platform::DISPID* ids) override;
  platform::HRESULT Invoke(platform::DISPID member, const platform::IID& reserved, platform::LCID locale, platform::WORD flags,
                           platform::DISPPARAMS* params, platform::VARIANT* result, platform::EXCEPINFO* exception,
                           platform::UINT* argumentError) override;

  // IOleObject.
  platform::HRESULT SetClientSite(platform::IOleClientSite* site) override;
  platform::HRESULT GetClientSite(platform::IOleClientSite** site) override;
  platform::HRESULT Close(platform::DWORD saveOption) override;
  platform::HRESULT GetMiscStatus(platform::DWORD aspect, platform::DWORD* status) override;

  // IPersistStorage.
  platform::HRESULT GetClassID(platform::CLSID* clsid) override;
  platform::HRESULT IsDirty() override;
  platform::HRESULT InitNew(platform::IStorage* storage) override;
  platform::HRESULT Load(platform::IStorage* storage) override;
  platform::HRESULT Save(platform::IStorage* storage, platform::BOOL sameAsLoad) override;
  platform::HRESULT SaveCompleted(platform::IStorage* storage) override;
  platform::HRESULT HandsOffStorage() override;

  // IConnectionPointContainer and IProvideClassInfo2.
  platform::HRESULT FindConnectionPoint(const platform::IID& iid, platform::IConnectionPoint** point) override;
  platform::HRESULT GetGUID(platform::DWORD kind, platform::GUID* guid) override;

  // IConnectionPoint: the events' point (the object itself, so asking the point for any of its
  // interfaces, the point's included, answers as COM's rules want).
  platform::HRESULT GetConnectionInterface(platform::IID* iid) override;
  platform::HRESULT GetConnectionPointContainer(platform::IConnectionPointContainer** container) override;
  platform::HRESULT Advise(platform::IUnknown* sink, platform::DWORD* cookie) override;
  platform::HRESULT Unadvise(platform::DWORD cookie) override;

  // An event of the book goes to the log and to every advised sink.
  void deliver(SpreadEvent e, std::span<const platform::VARIANT> args) override;

  std::size_t sinkCount() const { return sinks_.size(); }

 private:
  ~SpreadControl() override;

  std::unique_ptr<AddressedBook> book_;
  platform::ComPtr<platform::IOleClientSite> site_;
  std::map<platform::DWORD, platform::ComPtr<platform::IDispatch>> sinks_;
  platform::DWORD nextCookie_ = 1;
  bool dirty_ = false;
};

}  // namespace spread
