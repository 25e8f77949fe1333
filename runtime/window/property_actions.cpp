// The runtime properties that read or change the real window or control, one table line each.
// Controls without a platform window (menus, items, drawn shapes) keep these values in their store.
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

namespace tamsil::window::detail {

using namespace platform;

namespace {

PropertyValue ok(std::string text) { return {PropertyStatus::Ok, std::move(text)}; }
PropertyValue okNumber(long n) { return ok(std::to_string(n)); }

std::string stored(const PropertyTarget& t, std::uint16_t n) { return t.store().get(n).value_or(""); }
PropertyStatus store(const PropertyTarget& t, std::uint16_t n, std::string_view v) {
  t.store().set(n, 0, std::string(v));
  return PropertyStatus::Ok;
}

DWORD style(HWND h) { return DWORD(GetWindowLongPtrA(h, GWL_STYLE)); }
void setStyleBits(HWND h, DWORD bits, bool on) { SetWindowLongPtrA(h, GWL_STYLE, LONG_PTR(on ? style(h) | bits : style(h) & ~bits)); }
bool isKind(const PropertyTarget& t, Kind k) { return t.control && Kind(t.control->kind) == k; }

// A flag property that a platform window answers, and its store answers for the others.
template <std::uint16_t N, bool (*Read)(HWND), void (*Write)(HWND, bool)>
PropertyValue getFlag(const PropertyTarget& t, int) {
  return t.hwnd() ? ok(flagText(Read(t.hwnd()))) : ok(stored(t, N));
}
template <std::uint16_t N, bool (*Read)(HWND), void (*Write)(HWND, bool)>
PropertyStatus setFlag(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!t.hwnd()) return store(t, N, v);
  Write(t.hwnd(), n != 0);
  return PropertyStatus::Ok;
}

bool hidden(HWND h) { return !(style(h) & WS_VISIBLE); }
void hide(HWND h, bool on) { ShowWindow(h, on ? SW_HIDE : SW_SHOW); }
bool disabled(HWND h) { return style(h) & WS_DISABLED; }
void disable(HWND h, bool on) { EnableWindow(h, on ? FALSE : TRUE); }

// Window states; on a control they are only stored.
template <std::uint16_t N, int Show, BOOL (*Is)(HWND)>
PropertyValue getState(const PropertyTarget& t, int) {
  return t.control ? ok(stored(t, N)) : ok(flagText(Is(t.window.handle)));
}
template <std::uint16_t N, int Show, BOOL (*Is)(HWND)>
PropertyStatus setState(const PropertyTarget& t, std::string_view v, long n, int) {
  if (t.control) return store(t, N, v);
  if (n) ShowWindow(t.window.handle, Show);
  else if (Is(t.window.handle)) ShowWindow(t.window.handle, SW_RESTORE);
  return PropertyStatus::Ok;
}

PropertyValue getText(const PropertyTarget& t, int) { return t.hwnd() ? ok(GetWindowTextString(t.hwnd())) : ok(stored(t, prop::Text)); }
PropertyStatus setText(const PropertyTarget& t, std::string_view v, long, int) {
  // Only the window's own thread changes its controls' text.
  if (currentThreadContext() != t.window.thread) RuntimeErrorReport(542, "CTLTEXT");
  if (!t.hwnd()) return store(t, prop::Text, v);
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
  return t.control ? ok(stored(t, prop::Resize)) : ok(flagText(style(t.window.handle) & WS_THICKFRAME));
}
PropertyStatus setResize(const PropertyTarget& t, std::string_view v, long n, int) {
  if (t.control) return store(t, prop::Resize, v);
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
  return ok(stored(t, prop::Single));
}
PropertyStatus setSingle(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!isKind(t, Kind::Text) || !t.hwnd()) return store(t, prop::Single, v);
  setStyleBits(t.hwnd(), ES_MULTILINE | ES_WANTRETURN, n == 0);
  return PropertyStatus::Ok;
}

// A list that drops down answers non-zero even before a program sets its line count.
PropertyValue getDrop(const PropertyTarget& t, int) {
  const std::string v = stored(t, prop::Drop);
  if (v.empty() && runtimeClassOf(t.hwnd()) == "TslDrop") return okNumber(1);
  return ok(v);
}

PropertyStatus setDrop(const PropertyTarget& t, std::string_view v, long, int) { return store(t, prop::Drop, v); }

// Full makes a control cover the window's client area.
PropertyStatus setFull(const PropertyTarget& t, std::string_view v, long n, int) {
  store(t, prop::Full, v);
  if (!n || !t.control || !t.control->hwnd) return PropertyStatus::Ok;
  RECT client{};
  GetClientRect(t.window.handle, &client);
  const DialogRect r = toDialogUnits(t.window, client);
  return movePosition(t.window, t.field(), {0, 0, r.width, r.height}, false);
}
PropertyValue getFull(const PropertyTarget& t, int) { return ok(stored(t, prop::Full)); }

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
  if (!isKind(t, Kind::Button) || !t.hwnd()) return ok(stored(t, prop::Default));
  return ok(flagText((style(t.hwnd()) & BS_TYPEMASK) == BS_DEFPUSHBUTTON));
}
PropertyStatus setDefault(const PropertyTarget& t, std::string_view v, long n, int) {
  if (!isKind(t, Kind::Button) || !t.hwnd()) return store(t, prop::Default, v);
  for (auto& [key, c] : t.window.controls)
    if (Kind(c.kind) == Kind::Button && c.hwnd && (&c == t.control || n))
      SendMessageA(c.hwnd, BM_SETSTYLE, (&c == t.control && n) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  return PropertyStatus::Ok;
}

// An image control or button shows the picture file, a window takes it as its icon; the name is
// kept for reading back.
PropertyStatus setIcon(const PropertyTarget& t, std::string_view v, long, int) {
  store(t, prop::Icon, v);
  if (!t.control) {
    if (t.window.handle) SendMessageA(t.window.handle, WM_SETICON, ICON_BIG, LoadImageFromFile(v));
    return PropertyStatus::Ok;
  }
  if (!t.control->hwnd) return PropertyStatus::Ok;
  const UINT msg = isKind(t, Kind::Image) ? STM_SETIMAGE : isKind(t, Kind::Button) ? BM_SETIMAGE : 0;
  if (msg) SendMessageA(t.control->hwnd, msg, 0, LoadImageFromFile(v));
  return PropertyStatus::Ok;
}
PropertyValue getIcon(const PropertyTarget& t, int) { return ok(stored(t, prop::Icon)); }

constexpr ActingProperty kActing[] = {
    {prop::Text, getText, setText, false},
    {prop::Type, getType, nullptr},
    {prop::Xpos, getPos<&DialogRect::x>, setPos<&DialogRect::x>},
    {prop::Ypos, getPos<&DialogRect::y>, setPos<&DialogRect::y>},
    {prop::Width, getPos<&DialogRect::width>, setPos<&DialogRect::width>},
    {prop::Height, getPos<&DialogRect::height>, setPos<&DialogRect::height>},
    {prop::Hide, getFlag<prop::Hide, hidden, hide>, setFlag<prop::Hide, hidden, hide>},
    {prop::Disable, getFlag<prop::Disable, disabled, disable>, setFlag<prop::Disable, disabled, disable>},
    {prop::Maximize, getState<prop::Maximize, SW_MAXIMIZE, IsZoomed>, setState<prop::Maximize, SW_MAXIMIZE, IsZoomed>},
    {prop::Iconize, getState<prop::Iconize, SW_MINIMIZE, IsIconic>, setState<prop::Iconize, SW_MINIMIZE, IsIconic>},
    {prop::Resize, getResize, setResize},
    {prop::Parent, getParent, nullptr},
    {prop::NextField, getNextField, nullptr},
    {prop::NextTabStop, getTabStop<true>, nullptr},
    {prop::PrevTabStop, getTabStop<false>, nullptr},
    {prop::Alrt, getAlert, setAlert},
    {prop::Single, getSingle, setSingle},
    {prop::Drop, getDrop, setDrop},
    {prop::Full, getFull, setFull},
    {prop::ClientX, getClientOrigin<false>, nullptr},
    {prop::ClientY, getClientOrigin<true>, nullptr},
    {prop::ClientWidth, getClientSize<false>, nullptr},
    {prop::ClientHeight, getClientSize<true>, nullptr},
    {prop::DeferMove, getDeferMove, setDeferMove},
    {prop::Timer, getTimer, setTimer},
    {prop::Default, getDefault, setDefault},
    {prop::Icon, getIcon, setIcon, false},
};

}  // namespace

const ActingProperty* actingProperty(std::uint16_t number) {
  for (const ActingProperty& a : kActing)
    if (a.number == number) return &a;
  return nullptr;
}

}  // namespace tamsil::window::detail
