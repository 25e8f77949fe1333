// The grid control's events: its one connection point and the delivery of the book's events.
#include "components/spread/control_events.h"

#include <array>
#include <vector>

#include "components/spread/call_log.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"

namespace spread {

using namespace platform;

namespace {

// The locale events are delivered in (the grid's own, US English).
constexpr LCID kEventLocale = 0x0409;

// One field as a dispatch argument of the type the event's list gives it. A by-reference
// argument points into `held`, which the field is written back from after the delivery.
template <class Field>
VARIANT argumentOf(Field& field, VARTYPE type, VARIANT& held) {
  const bool byRef = (type & VT_BYREF) != 0;
  VARIANT v{};
  switch (type & ~VT_BYREF) {
    case VT_I2: v = VariantOfI2(std::int16_t(field)); break;
    case VT_BOOL: v = VariantOfBool(bool(field)); break;
    default: v = VariantOfI4(std::int32_t(field)); break;
  }
  if (!byRef) return v;
  held = v;
  return VariantOfRef(held.vt, &held.iVal);
}

template <class Field>
void readBack(Field& field, VARTYPE type, const VARIANT& held) {
  if (!(type & VT_BYREF)) return;
  switch (type & ~VT_BYREF) {
    case VT_I2: field = Field(held.iVal); break;
    case VT_BOOL: field = Field(held.boolVal != VARIANT_FALSE); break;
    default: field = Field(held.lVal); break;
  }
}

}  // namespace

void VariantEventSink::fire(BookEvent& e) {
  const SpreadEvent kind = KindOf(e);
  const std::span<const VARTYPE> types = EventArgumentTypes(kind);
  std::visit(
      [&](auto& event) {
        auto fields = event.fields();
        constexpr size_t n = std::tuple_size_v<decltype(fields)>;
        std::array<VARIANT, n> held{}, args{};
        [&]<size_t... I>(std::index_sequence<I...>) {
          ((args[I] = argumentOf(std::get<I>(fields), types[I], held[I])), ...);
          deliver(kind, std::span<const VARIANT>(args.data(), n));
          (readBack(std::get<I>(fields), types[I], held[I]), ...);
        }
        (std::make_index_sequence<n>());
      },
      e);
}

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

void SpreadControl::deliver(SpreadEvent e, std::span<const VARIANT> args) {
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
