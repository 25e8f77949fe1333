// The grid control's events: its one connection point and the delivery of the book's events.
#include <vector>

#include "components/spread/call_log.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"

namespace spread {

using namespace platform;

namespace {

// The locale events are delivered in (the grid's own, US English).
constexpr LCID kEventLocale = 0x0409;

}  // namespace

HRESULT SpreadControl::FindConnectionPoint(const IID& iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  // The events' interface, also asked for as plain IDispatch by containers that do not ask
  // IProvideClassInfo2 which it is.
  if (iid != kSpreadEventsIid && iid != IID_IDispatch) return CONNECT_E_NOCONNECTION;
  *point = this;
  AddRef();
  return S_OK;
}

HRESULT SpreadControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = kSpreadEventsIid;
  return S_OK;
}

HRESULT SpreadControl::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = kSpreadEventsIid;
  return S_OK;
}

HRESULT SpreadControl::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = this;
  AddRef();
  return S_OK;
}

HRESULT SpreadControl::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  // The sink answers for the events' interface, or at least as a dispatch interface.
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(kSpreadEventsIid, events.put())) || !events)
    if (FAILED(sink->QueryInterface(IID_IDispatch, events.put())) || !events) return E_NOINTERFACE;
  *cookie = nextCookie_++;
  sinks_.emplace(*cookie, std::move(events));
  return S_OK;
}

HRESULT SpreadControl::Unadvise(DWORD cookie) { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }

void SpreadControl::fire(SpreadEvent e, std::span<const VARIANT> args) {
  // A user's change (through the view, not through a member) changes the grid as well.
  if (e == SpreadEvent::Change) dirty_ = true;
  if (CallLog* log = CallLog::process()) log->write(FormatCallLine(LogVerb::Event, EventName(e), args, nullptr));
  if (sinks_.empty()) return;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // DISPPARAMS order: last argument first
  DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
  // A sink may unadvise itself (or another) while it hears the event: deliver to a copy, kept
  // alive for the call.
  std::vector<ComPtr<IDispatch>> sinks;
  for (const auto& [cookie, sink] : sinks_) sinks.push_back(sink);
  const ComPtr<SpreadControl> self(this);
  for (const ComPtr<IDispatch>& sink : sinks)
    sink->Invoke(EventDispid(e), IID_NULL, kEventLocale, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

}  // namespace spread
