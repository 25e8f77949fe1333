// The runtime properties with rules of their own, one table line each: those that read or change
// the real window or control, and stored ones with indexes of their own. Controls without a
// platform window (menus, items) keep the acting properties' values in their store.
#include <algorithm>
#include <array>
#include <vector>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/operations.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_internal.h"
#include "runtime/window/runtime_classes.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window::detail {

using namespace platform;

namespace {

PropertyValue ok(std::string text) { return {PropertyStatus::Ok, std::move(text)}; }
PropertyValue okNumber(long n) { return ok(std::to_string(n)); }

// The property's value in the object's store, for objects the property does not act on.
std::string stored(const PropertyTarget& t) { return t.store().get(t.number).value_or(""); }
PropertyStatus store(const PropertyTarget& t, std::string_view v) {
  t.store().set(t.number, 0, std::string(v));
  return PropertyStatus::Ok;
}

DWORD style(HWND h) { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
void setStyleBits(HWND h, DWORD bits, bool on) { SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR(on ? style(h) | bits : style(h) & ~bits)); }
bool isKind(const PropertyTarget& t, Kind k) { return t.control && Kind(t.control->kind) == k; }

// A flag property that a platform window answers, and its store answers for the others.
template <bool (*Read)(HWND)>
PropertyValue getFlag(const PropertyTarget& t, int) {
  return t.hwnd() ? ok(flagText(Read(t.hwnd()))) : ok(stored(t));
}
template <void (*Write)(HWND, bool)>
PropertyStatus setFlag(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!t.hwnd()) return store(t, v);
  Write(t.hwnd(), n != 0);
  return PropertyStatus::Ok;
}

bool hidden(HWND h) { return !(style(h) & WS_VISIBLE); }
void hide(HWND h, bool on) { ShowWindow(h, on ? SW_HIDE : SW_SHOW); }
bool disabled(HWND h) { return style(h) & WS_DISABLED; }
void disable(HWND h, bool on) { EnableWindow(h, on ? FALSE : TRUE); }

// Window states; on a control they are only stored.
template <BOOL (*Is)(HWND)>
PropertyValue getState(const PropertyTarget& t, int) {
  return t.control ? ok(stored(t)) : ok(flagText(Is(t.window.handle)));
}
template <int Show, BOOL (*Is)(HWND)>
PropertyStatus setState(const PropertyTarget& t, std::string_view v, long n, int) {
  if (t.control) return store(t, v);
  if (n) ShowWindow(t.window.handle, Show);
  else if (Is(t.window.handle)) ShowWindow(t.window.handle, SW_RESTORE);
  return PropertyStatus::Ok;
}

// Whether the window delivers its move and size events (its attribute bit, as the definition
// may already set it); on a control it is only stored.
PropertyValue getMoveSizeEvents(const PropertyTarget& t, int) { return t.control ? ok(stored(t)) : ok(flagText(t.window.moveSizeEvents())); }
PropertyStatus setMoveSizeEvents(const PropertyTarget& t, std::string_view v, long n, int) {
  if (t.control) return store(t, v);
  if (n) t.window.attributes |= kWindowMoveSizeEvents;
  else t.window.attributes &= ~std::uint32_t(kWindowMoveSizeEvents);
  return PropertyStatus::Ok;
}

PropertyValue getText(const PropertyTarget& t, int) { return t.hwnd() ? ok(GetWindowTextString(t.hwnd())) : ok(stored(t)); }
PropertyStatus setText(const PropertyTarget& t, std::string_view v, long, int) {
  // Only the window's own thread changes its controls' text.
  if (currentThreadContext() != t.window.thread) RuntimeErrorReport(RuntimeError::OperationModal, "CTLTEXT");
  if (!t.hwnd()) return store(t, v);
  SetWindowTextA(t.hwnd(), std::string(v).c_str());
  return PropertyStatus::Ok;
}

PropertyValue getType(const PropertyTarget& t, int) { return okNumber(t.control ? t.control->kind : std::uint8_t(Kind::Window)); }

template <int DialogRect::*M>
PropertyValue getPos(const PropertyTarget& t, int) {
  DialogRect r;
  const PropertyStatus s = GetPosition(t.window, t.field(), r);
  return s == PropertyStatus::Ok ? okNumber(r.*M) : PropertyValue{s, {}};
}
template <int DialogRect::*M>
PropertyStatus setPos(const PropertyTarget& t, std::string_view, long n, int) {
  DialogRect r{kUnchanged, kUnchanged, kUnchanged, kUnchanged};
  r.*M = int(n);
  return movePosition(t.window, t.field(), r, false);
}

PropertyValue getResize(const PropertyTarget& t, int) {
  return t.control ? ok(stored(t)) : ok(flagText(style(t.window.handle) & WS_THICKFRAME));
}
PropertyStatus setResize(const PropertyTarget& t, std::string_view v, long n, int) {
  if (t.control) return store(t, v);
  setStyleBits(t.window.handle, WS_THICKFRAME, n != 0);
  return PropertyStatus::Ok;
}

PropertyValue getParent(const PropertyTarget& t, int) { return okNumber(t.control ? t.control->parentField : 0); }

// The first field above `index`: enumerating from 0 until 0 comes back visits every control.
PropertyValue getNextField(const PropertyTarget& t, int index) {
  for (auto it = t.window.controls.upper_bound(index); it != t.window.controls.end(); ++it)
    if (it->second.field != 0) return okNumber(it->second.field);
  return okNumber(0);
}

// The controls Tab visits, by field number.
std::vector<int> tabStops(Window& w) {
  std::vector<int> fields;
  for (const Control* c : w.tabStops()) fields.push_back(c->field);
  return fields;
}
template <bool Forward>
PropertyValue getTabStop(const PropertyTarget& t, int) {
  const std::vector<int> stops = tabStops(t.window);
  if (stops.empty()) return okNumber(0);
  const auto it = std::find(stops.begin(), stops.end(), t.field());
  if (it == stops.end()) return okNumber(Forward ? stops.front() : stops.back());
  const size_t i = size_t(it - stops.begin()), n = stops.size();
  return okNumber(stops[Forward ? (i + 1) % n : (i + n - 1) % n]);
}

std::vector<std::uint32_t>& alertKeys(const PropertyTarget& t) { return t.control ? t.control->alertKeys : t.window.alertKeys; }
PropertyValue getAlert(const PropertyTarget& t, int index) {
  const auto& keys = alertKeys(t);
  return okNumber(size_t(index) <= keys.size() ? long(keys[size_t(index) - 1]) : 0);
}
// Writing key k at position i replaces the i-th key, appends at one past the end, and 0 removes
// the i-th key.
PropertyStatus setAlert(const PropertyTarget& t, std::string_view, long n, int index) {
  auto& keys = alertKeys(t);
  const size_t i = size_t(index) - 1;
  if (i > keys.size()) return PropertyStatus::IndexOutOfRange;
  if (n == 0) {
    if (i < keys.size()) keys.erase(keys.begin() + long(i));
  } else if (i == keys.size()) {
    keys.push_back(std::uint32_t(n));
  } else {
    keys[i] = std::uint32_t(n);
  }
  return PropertyStatus::Ok;
}

// A TEXT control with Single set is one line high: Enter and the arrows do not break lines.
PropertyValue getSingle(const PropertyTarget& t, int) {
  if (isKind(t, Kind::Text) && t.hwnd()) return ok(flagText(!(style(t.hwnd()) & ES_MULTILINE)));
  return ok(stored(t));
}
PropertyStatus setSingle(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!isKind(t, Kind::Text) || !t.hwnd()) return store(t, v);
  setStyleBits(t.hwnd(), ES_MULTILINE | ES_WANTRETURN, n == 0);
  return PropertyStatus::Ok;
}

// A list that drops down answers non-zero even before a program sets its line count.
PropertyValue getDrop(const PropertyTarget& t, int) {
  const std::string v = stored(t);
  if (v.empty() && runtimeClassOf(t.hwnd()) == "TslDrop") return okNumber(1);
  return ok(v);
}

PropertyStatus setDrop(const PropertyTarget& t, std::string_view v, long, int) { return store(t, v); }

// Full makes a control cover the window's client area.
PropertyStatus setFull(const PropertyTarget& t, std::string_view v, long n, int) {
  store(t, v);
  if (!n || !t.control || !t.control->hwnd) return PropertyStatus::Ok;
  RECT client{};
  GetClientRect(t.window.handle, &client);
  const DialogRect r = toDialogUnits(t.window, client);
  return movePosition(t.window, t.field(), {0, 0, r.width, r.height}, false);
}
PropertyValue getFull(const PropertyTarget& t, int) { return ok(stored(t)); }

template <bool Height>
PropertyValue getClientSize(const PropertyTarget& t, int) {
  RECT client{};
  GetClientRect(t.hwnd(), &client);
  const DialogRect r = toDialogUnits(t.window, client);
  return okNumber(Height ? r.height : r.width);
}
// The screen position of the window's client area; a control's client area starts at its corner.
template <bool Vertical>
PropertyValue getClientOrigin(const PropertyTarget& t, int) {
  if (t.control) return okNumber(0);
  POINT o{0, 0};
  ClientToScreen(t.window.handle, &o);
  const DialogRect r = toDialogUnits(t.window, RECT{o.x, o.y, o.x, o.y});
  return okNumber(Vertical ? r.y : r.x);
}

PropertyValue getDeferMove(const PropertyTarget& t, int) { return okNumber(t.window.deferred.open); }
PropertyStatus setDeferMove(const PropertyTarget& t, std::string_view, long n, int) {
  if (n < 0) t.window.deferred.open = int(n);
  else commitDeferredMoves(t.window);
  return PropertyStatus::Ok;
}

PropertyValue getTimer(const PropertyTarget& t, int) {
  return t.window.timerSet ? ok(t.window.properties.get(prop::Timer).value_or("0")) : okNumber(0);
}
PropertyStatus setTimer(const PropertyTarget& t, std::string_view, long n, int) {
  SetWindowTimer(t.window, int(std::max(n, 0L)));
  t.window.properties.set(prop::Timer, 0, std::to_string(std::max(n, 0L)));
  return PropertyStatus::Ok;
}

// One default button per window: setting it takes the default look from the others.
PropertyValue getDefault(const PropertyTarget& t, int) {
  if (!isKind(t, Kind::Button) || !t.hwnd()) return ok(stored(t));
  return ok(flagText((style(t.hwnd()) & BS_TYPEMASK) == BS_DEFPUSHBUTTON));
}
PropertyStatus setDefault(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!isKind(t, Kind::Button) || !t.hwnd()) return store(t, v);
  for (auto& [key, c] : t.window.controls)
    if (Kind(c.kind) == Kind::Button && c.hwnd && (&c == t.control || n))
      SendMessageA(c.hwnd, BM_SETSTYLE, (&c == t.control && n) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  return PropertyStatus::Ok;
}

// An image control or button shows the picture file, a window takes it as its icon; the name is
// kept for reading back.
PropertyStatus setIcon(const PropertyTarget& t, std::string_view v, long, int) {
  store(t, v);
  if (!t.control) {
    // Like a window opened without one, a window whose picture cannot be read shows the program's.
    const LONG_PTR image = v.empty() ? 0 : LoadImageFromFile(v);
    if (t.window.handle) SendMessageA(t.window.handle, WM_SETICON, ICON_BIG, image ? image : LoadIconA(kProgramIcon));
    return PropertyStatus::Ok;
  }
  if (!t.control->hwnd) return PropertyStatus::Ok;
  const UINT msg = isKind(t, Kind::Image) ? STM_SETIMAGE : isKind(t, Kind::Button) ? BM_SETIMAGE : 0;
  if (msg) SendMessageA(t.control->hwnd, msg, 0, LoadImageFromFile(v));
  return PropertyStatus::Ok;
}
PropertyValue getIcon(const PropertyTarget& t, int) { return ok(stored(t)); }

constexpr PropertyRules kRules[] = {
    {.number = prop::Text, .get = getText, .set = setText, .numeric = false},
    {.number = prop::Type, .get = getType},
    {.number = prop::Xpos, .get = getPos<&DialogRect::x>, .set = setPos<&DialogRect::x>},
    {.number = prop::Ypos, .get = getPos<&DialogRect::y>, .set = setPos<&DialogRect::y>},
    {.number = prop::Width, .get = getPos<&DialogRect::width>, .set = setPos<&DialogRect::width>},
    {.number = prop::Height, .get = getPos<&DialogRect::height>, .set = setPos<&DialogRect::height>},
    {.number = prop::Hide, .get = getFlag<hidden>, .set = setFlag<hide>},
    {.number = prop::Disable, .get = getFlag<disabled>, .set = setFlag<disable>},
    {.number = prop::Maximize, .get = getState<IsZoomed>, .set = setState<SW_MAXIMIZE, IsZoomed>},
    {.number = prop::Iconize, .get = getState<IsIconic>, .set = setState<SW_MINIMIZE, IsIconic>},
    {.number = prop::MoveSizeEvents, .get = getMoveSizeEvents, .set = setMoveSizeEvents},
    {.number = prop::Resize, .get = getResize, .set = setResize},
    {.number = prop::Parent, .get = getParent},
    {.number = prop::NextField, .get = getNextField, .index = IndexRule::AnyField},
    {.number = prop::NextTabStop, .get = getTabStop<true>},
    {.number = prop::PrevTabStop, .get = getTabStop<false>},
    {.number = prop::Alrt, .get = getAlert, .set = setAlert, .index = IndexRule::FromOne},
    {.number = prop::Single, .get = getSingle, .set = setSingle},
    {.number = prop::Drop, .get = getDrop, .set = setDrop},
    {.number = prop::Full, .get = getFull, .set = setFull},
    {.number = prop::ClientX, .get = getClientOrigin<false>},
    {.number = prop::ClientY, .get = getClientOrigin<true>},
    {.number = prop::ClientWidth, .get = getClientSize<false>},
    {.number = prop::ClientHeight, .get = getClientSize<true>},
    {.number = prop::DeferMove, .get = getDeferMove, .set = setDeferMove},
    {.number = prop::Timer, .get = getTimer, .set = setTimer},
    {.number = prop::Default, .get = getDefault, .set = setDefault},
    {.number = prop::Icon, .get = getIcon, .set = setIcon, .numeric = false},
    // Stored, with indexes of their own.
    {.number = prop::Child, .index = IndexRule::FromOne},
    {.number = prop::Font, .index = IndexRule::FontSelector},
    {.number = prop::FontSize, .index = IndexRule::FontSelector},
    {.number = prop::FontColor, .index = IndexRule::FontSelector},
    {.number = prop::FontStyle, .index = IndexRule::FontSelector},
};

}  // namespace

const PropertyRules* propertyRules(std::uint16_t number) {
  for (const PropertyRules& r : kRules)
    if (r.number == number) return &r;
  return nullptr;
}

}  // namespace tamsil::window::detail
