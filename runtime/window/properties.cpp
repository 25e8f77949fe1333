// Property access: checking the target, the number and the index, then either the acting
// property's own code or the store; the program-wide properties; positions in dialog units.
#include "runtime/window/properties.h"

#include <cstdio>

#include "runtime/core/runtime_lock.h"
#include "runtime/window/message_box.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_internal.h"
#include "runtime/window/property_names.h"

namespace tamsil::window {

using namespace platform;
using detail::PropertyTarget;

namespace {

constexpr int kMaxIndex = 255;  // stored indexed properties (status zones, lines ...) count from 1

bool isFontProperty(std::uint16_t n) { return n >= prop::Font && n <= prop::FontStyle; }
bool isHook(std::uint16_t n) { return n == prop::MessageHook || n == prop::StopHook || n == prop::HaltHook || n == prop::FatalErrorHook; }

bool known(std::uint16_t number) { return isRuntimeProperty(number) && !propertyName(number).empty(); }

// Finds the window or control; the status says why there is none.
PropertyStatus resolve(Window& w, int field, Control*& control) {
  control = nullptr;
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (field == 0) return PropertyStatus::Ok;
  control = w.control(field);
  return control ? PropertyStatus::Ok : PropertyStatus::NoSuchControl;
}

// Non-indexed properties ignore their index, except the font properties, whose index picks a font.
int storeIndex(std::uint16_t number, int index) { return takesIndex(number) || isFontProperty(number) ? index : 0; }

std::string hookText(const void* hook) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%zx", reinterpret_cast<std::uintptr_t>(hook));
  return hook ? buf : "0";
}

PropertyValue getHook(std::uint16_t number) {
  switch (number) {
    case prop::MessageHook: return {PropertyStatus::Ok, hookText(reinterpret_cast<const void*>(CurrentMessageHook()))};
    case prop::StopHook: return {PropertyStatus::Ok, hookText(reinterpret_cast<const void*>(CurrentStopHook()))};
    case prop::HaltHook: return {PropertyStatus::Ok, hookText(reinterpret_cast<const void*>(CurrentHaltHook()))};
    default: return {PropertyStatus::Ok, hookText(reinterpret_cast<const void*>(CurrentErrorHook()))};
  }
}

// A hook can be removed through its property, never installed: a number is not a procedure.
PropertyStatus setHook(std::uint16_t number, std::string_view value) {
  const auto n = detail::parseNumber(value);
  if (!n || *n != 0) return PropertyStatus::BadValue;
  switch (number) {
    case prop::MessageHook: SetMessageHook(nullptr); break;
    case prop::StopHook: SetStopHook(nullptr); break;
    case prop::HaltHook: SetHaltHook(nullptr); break;
    default: SetErrorHook(nullptr); break;
  }
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
  if (isFontProperty(number)) return index == 0 || index == prop::TipsFont || index == prop::StatusFont;
  if (!takesIndex(number)) return true;
  if (number == prop::NextField) return true;  // any field number
  if (number == prop::Alrt || number == prop::Child) return index >= 1 && index <= kMaxIndex;
  return index >= 0 && index <= kMaxIndex;
}

}  // namespace detail

PropertyValue GetProperty(Window& w, int field, std::uint16_t number, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return {PropertyStatus::UnknownProperty, {}};
  if (!detail::indexInRange(number, index)) return {PropertyStatus::IndexOutOfRange, {}};
  Control* c;
  if (const PropertyStatus s = resolve(w, field, c); s != PropertyStatus::Ok) return {s, {}};
  if (isHook(number)) return getHook(number);
  const PropertyTarget target{w, c};
  if (const detail::ActingProperty* a = detail::actingProperty(number)) return a->get(target, index);
  return {PropertyStatus::Ok, target.store().get(number, storeIndex(number, index)).value_or("")};
}

PropertyStatus SetProperty(Window& w, int field, std::uint16_t number, std::string_view value, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return PropertyStatus::UnknownProperty;
  if (!detail::indexInRange(number, index)) return PropertyStatus::IndexOutOfRange;
  Control* c;
  if (const PropertyStatus s = resolve(w, field, c); s != PropertyStatus::Ok) return s;
  if (isHook(number)) return setHook(number, value);
  const PropertyTarget target{w, c};
  if (const detail::ActingProperty* a = detail::actingProperty(number)) {
    if (!a->set) return PropertyStatus::ReadOnly;
    const auto n = detail::parseNumber(value);
    if (a->numeric && !n) return PropertyStatus::BadValue;
    return a->set(target, value, n.value_or(0), index);
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
  if (isHook(number)) return getHook(number);
  return {PropertyStatus::Ok, systemStore().get(number, storeIndex(number, index)).value_or("")};
}

PropertyStatus SetSystemProperty(std::uint16_t number, std::string_view value, int index) {
  RuntimeLockGuard lock(runtimeLock());
  if (!known(number)) return PropertyStatus::UnknownProperty;
  if (!detail::indexInRange(number, index)) return PropertyStatus::IndexOutOfRange;
  if (isHook(number)) return setHook(number, value);
  systemStore().set(number, storeIndex(number, index), std::string(value));
  return PropertyStatus::Ok;
}

}  // namespace tamsil::window
