// Property access: checking the target, the number and the index, then either the acting
// property's own code or the store; the program-wide properties; positions in dialog units.
#include "runtime/window/properties.h"

#include <cstdio>

#include "runtime/core/runtime_lock.h"
#include "runtime/core/trace_source.h"
#include "runtime/window/message_box.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_internal.h"
#include "runtime/window/property_names.h"

namespace tamsil::window {

using namespace platform;
using detail::PropertyTarget;

namespace {

constexpr int kMaxIndex = 255;  // stored indexed properties (status zones, lines ...) count from 1

// A runtime number with a name, or one of the few the runtime acts on without one.
bool known(std::uint16_t number) { return isRuntimeProperty(number) && (!propertyName(number).empty() || detail::propertyRules(number)); }

// Finds the window or control; the status says why there is none.
PropertyStatus resolve(Window& w, int field, Control*& control) {
  control = nullptr;
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (field == 0) return PropertyStatus::Ok;
  control = w.control(field);
  return control ? PropertyStatus::Ok : PropertyStatus::NoSuchControl;
}

detail::IndexRule indexRule(std::uint16_t number) {
  const detail::PropertyRules* r = detail::propertyRules(number);
  return r ? r->index : detail::IndexRule::ByNumber;
}

// Non-indexed properties ignore their index, except the font properties, whose index picks a font.
int storeIndex(std::uint16_t number, int index) {
  return takesIndex(number) || indexRule(number) == detail::IndexRule::FontSelector ? index : 0;
}

std::string hookText(const void* hook) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%zx", reinterpret_cast<std::uintptr_t>(hook));
  return hook ? buf : "0";
}

// The program-wide hooks: each property reads its hook's address and removes it.
struct HookProperty {
  std::uint16_t number;
  const void* (*current)();
  void (*remove)();
};
constexpr HookProperty kHooks[] = {
    {prop::MessageHook, [] { return reinterpret_cast<const void*>(CurrentMessageHook()); }, [] { SetMessageHook(nullptr); }},
    {prop::StopHook, [] { return reinterpret_cast<const void*>(CurrentStopHook()); }, [] { SetStopHook(nullptr); }},
    {prop::HaltHook, [] { return reinterpret_cast<const void*>(CurrentHaltHook()); }, [] { SetHaltHook(nullptr); }},
    {prop::FatalErrorHook, [] { return reinterpret_cast<const void*>(CurrentErrorHook()); }, [] { SetErrorHook(nullptr); }},
};

const HookProperty* hook(std::uint16_t number) {
  for (const HookProperty& h : kHooks)
    if (h.number == number) return &h;
  return nullptr;
}

PropertyValue getHook(const HookProperty& h) { return {PropertyStatus::Ok, hookText(h.current())}; }

// A hook can be removed through its property, never installed: a number is not a procedure.
PropertyStatus setHook(const HookProperty& h, std::string_view value) {
  const auto n = detail::parseNumber(value);
  if (!n || *n != 0) return PropertyStatus::BadValue;
  h.remove();
  return PropertyStatus::Ok;
}

// Where the file drivers read their trace settings: kept by the core, read here as text (the flag
// as "1" or empty) and written as text (the flag as a number).
struct TraceSourceProperty {
  std::uint16_t number;
  std::string (*get)(const TraceSource& source);
  bool (*set)(TraceSource& source, std::string_view value);
};
constexpr TraceSourceProperty kTraceSourceProperties[] = {
    {prop::TraceSettingsFile, [](const TraceSource& s) { return s.settingsFile; },
     [](TraceSource& s, std::string_view v) { return s.settingsFile = std::string(v), true; }},
    {prop::TraceSettingsLocation, [](const TraceSource& s) { return s.location; },
     [](TraceSource& s, std::string_view v) { return s.location = std::string(v), true; }},
    {prop::TraceUseLocation, [](const TraceSource& s) { return detail::flagText(s.useLocation); },
     [](TraceSource& s, std::string_view v) {
       const auto n = detail::parseNumber(v);
       if (n) s.useLocation = *n != 0;
       return n.has_value();
     }},
};

const TraceSourceProperty* traceSourceProperty(std::uint16_t number) {
  for (const TraceSourceProperty& t : kTraceSourceProperties)
    if (t.number == number) return &t;
  return nullptr;
}

PropertyStatus setTraceSourceProperty(const TraceSourceProperty& t, std::string_view value) {
  TraceSource source = traceSource();
  if (!t.set(source, value)) return PropertyStatus::BadValue;
  setTraceSource(std::move(source));
  return PropertyStatus::Ok;
}

PropertyStore& systemStore() {
  static PropertyStore s;
  return s;
}

}  // namespace

long PropertyValue::number() const { return detail::parseNumber(text).value_or(0); }

namespace detail {

std::optional<long> parseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return 0;
  size_t i = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++i;
  if (i == text.size()) return std::nullopt;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    v = v * 10 + (text[i] - '0');
    if (v > 0xFFFFFFFFLL) return std::nullopt;  // beyond any 32-bit property value
  }
  return long(negative ? -v : v);
}

bool indexInRange(std::uint16_t number, int index) {
  switch (indexRule(number)) {
    case IndexRule::FontSelector: return index == 0 || index == prop::TipsFont || index == prop::StatusFont;
    case IndexRule::AnyField: return true;
    case IndexRule::FromOne: return index >= 1 && index <= kMaxIndex;
    case IndexRule::ByNumber: return !takesIndex(number) || (index >= 0 && index <= kMaxIndex);
  }
  return false;
}

}  // namespace detail

PropertyValue GetProperty(Window& w, int field, std::uint16_t number, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return {PropertyStatus::UnknownProperty, {}};
  if (!detail::indexInRange(number, index)) return {PropertyStatus::IndexOutOfRange, {}};
  Control* c;
  if (const PropertyStatus s = resolve(w, field, c); s != PropertyStatus::Ok) return {s, {}};
  if (const HookProperty* h = hook(number)) return getHook(*h);
  const PropertyTarget target{w, c, number};
  if (const detail::PropertyRules* r = detail::propertyRules(number); r && r->get) return r->get(target, index);
  return {PropertyStatus::Ok, target.store().get(number, storeIndex(number, index)).value_or("")};
}

PropertyStatus SetProperty(Window& w, int field, std::uint16_t number, std::string_view value, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return PropertyStatus::UnknownProperty;
  if (!detail::indexInRange(number, index)) return PropertyStatus::IndexOutOfRange;
  Control* c;
  if (const PropertyStatus s = resolve(w, field, c); s != PropertyStatus::Ok) return s;
  if (const HookProperty* h = hook(number)) return setHook(*h, value);
  const PropertyTarget target{w, c, number};
  if (const detail::PropertyRules* r = detail::propertyRules(number); r && r->get) {
    if (!r->set) return PropertyStatus::ReadOnly;
    const auto n = detail::parseNumber(value);
    if (r->numeric && !n) return PropertyStatus::BadValue;
    return r->set(target, value, n.value_or(0), index);
  }
  target.store().set(number, storeIndex(number, index), std::string(value));
  return PropertyStatus::Ok;
}

PropertyStatus SetProperty(Window& w, int field, std::uint16_t number, long value, int index) {
  return SetProperty(w, field, number, std::to_string(value), index);
}

PropertyValue GetProperty(Window& w, int field, std::string_view name, int index) {
  const auto number = propertyNumber(name);
  if (!number) return {PropertyStatus::UnknownProperty, {}};
  return GetProperty(w, field, *number, index);
}

PropertyStatus SetProperty(Window& w, int field, std::string_view name, std::string_view value, int index) {
  const auto number = propertyNumber(name);
  if (!number) return PropertyStatus::UnknownProperty;
  return SetProperty(w, field, *number, value, index);
}

PropertyValue GetSystemProperty(std::uint16_t number, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return {PropertyStatus::UnknownProperty, {}};
  if (!detail::indexInRange(number, index)) return {PropertyStatus::IndexOutOfRange, {}};
  if (const HookProperty* h = hook(number)) return getHook(*h);
  if (const TraceSourceProperty* t = traceSourceProperty(number)) return {PropertyStatus::Ok, t->get(traceSource())};
  return {PropertyStatus::Ok, systemStore().get(number, storeIndex(number, index)).value_or("")};
}

PropertyStatus SetSystemProperty(std::uint16_t number, std::string_view value, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return PropertyStatus::UnknownProperty;
  if (!detail::indexInRange(number, index)) return PropertyStatus::IndexOutOfRange;
  if (const HookProperty* h = hook(number)) return setHook(*h, value);
  if (const TraceSourceProperty* t = traceSourceProperty(number)) return setTraceSourceProperty(*t, value);
  systemStore().set(number, storeIndex(number, index), std::string(value));
  return PropertyStatus::Ok;
}

PropertyValue GetSystemProperty(std::string_view name, int index) {
  const auto number = propertyNumber(name);
  if (!number) return {PropertyStatus::UnknownProperty, {}};
  return GetSystemProperty(*number, index);
}

PropertyStatus SetSystemProperty(std::string_view name, std::string_view value, int index) {
  const auto number = propertyNumber(name);
  if (!number) return PropertyStatus::UnknownProperty;
  return SetSystemProperty(*number, value, index);
}

}  // namespace tamsil::window
