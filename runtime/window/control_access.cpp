#include "runtime/window/control_access.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "runtime/core/runtime_lock.h"
#include "runtime/window/property_names.h"

namespace tamsil::window {

namespace {

// Where a selector goes: a runtime property, the control's automation, or nowhere.
struct Route {
  PropertyStatus status = PropertyStatus::Ok;
  std::uint16_t number = 0;  // the runtime property, when routed to the runtime
  std::string member;        // the control's member, when routed to the control
  bool runtime = false;
};

Route route(const Selector& selector, int index) {
  if (const auto* n = std::get_if<std::uint32_t>(&selector)) {
    if (isRuntimeProperty(*n)) {
      if (*n > 0xFFFF) return {PropertyStatus::UnknownProperty, 0, {}, false};
      return {PropertyStatus::Ok, std::uint16_t(*n), {}, true};
    }
    return {PropertyStatus::Ok, 0, std::to_string(*n), false};
  }
  const std::string& text = std::get<std::string>(selector);
  if (index != 0) {
    const auto number = propertyNumber(text);
    if (!number) return {PropertyStatus::UnknownProperty, 0, {}, false};
    return {PropertyStatus::Ok, *number, {}, true};
  }
  return {PropertyStatus::Ok, 0, text, false};
}

struct Providers {
  std::mutex lock;
  std::map<std::uint8_t, AutomationProvider> byKind;
};

Providers& providers() {
  static Providers p;
  return p;
}

// The control's automation, made by its kind's provider on first use.
ControlAutomation* automationOf(Window& w, int field) {
  Control* c = w.handle && field ? w.control(field) : nullptr;
  if (!c) return nullptr;
  if (!c->automation) {
    AutomationProvider make;
    {
      Providers& p = providers();
      std::lock_guard guard(p.lock);
      const auto it = p.byKind.find(c->kind);
      if (it != p.byKind.end()) make = it->second;
    }
    if (make) c->automation = make(w, *c);
  }
  return c->automation.get();
}

// The text of a typed variable for selectors that take text: the text types only.
std::optional<std::string> typedText(std::uint8_t type, const void* address, std::size_t size) {
  enum : std::uint8_t { FixedText = 18, ZeroTerminated = 19, LengthPrefixed = 20 };
  const char* p = static_cast<const char*>(address);
  switch (type) {
    case FixedText: return std::string(p, size);
    case ZeroTerminated: return std::string(p, strnlen(p, size));
    case LengthPrefixed: return size ? std::string(p + 1, std::min<std::size_t>(std::uint8_t(p[0]), size - 1)) : std::string();
    default: return std::nullopt;
  }
}

}  // namespace

PropertyStatus ControlAutomation::putTyped(std::string_view memberPath, std::uint8_t type, const void* address, std::size_t size) {
  const auto text = typedText(type, address, size);
  return text ? put(memberPath, *text) : PropertyStatus::BadValue;
}

std::optional<PropertyValue> ControlAutomation::getRuntime(std::uint16_t, int) { return std::nullopt; }
std::optional<PropertyStatus> ControlAutomation::setRuntime(std::uint16_t, std::string_view, int) { return std::nullopt; }

void SetAutomationProvider(std::uint8_t kind, AutomationProvider provider) {
  Providers& p = providers();
  std::lock_guard guard(p.lock);
  if (provider) p.byKind[kind] = std::move(provider);
  else p.byKind.erase(kind);
}

PropertyValue PropertyCall(Window& w, int field, int index, const Selector& selector) {
  RuntimeLockGuard lock(runtimeLock());
  const Route r = route(selector, index);
  if (r.status != PropertyStatus::Ok) return {r.status, {}};
  if (r.runtime) {
    if (ControlAutomation* a = automationOf(w, field))
      if (auto own = a->getRuntime(r.number, index)) return *own;
    return GetProperty(w, field, r.number, index);
  }
  if (!w.handle) return {PropertyStatus::WindowNotOpen, {}};
  if (!w.control(field)) return {PropertyStatus::NoSuchControl, {}};
  if (ControlAutomation* a = automationOf(w, field)) return a->call(r.member);
  return {PropertyStatus::NotHandled, {}};
}

PropertyStatus PropertyPut(Window& w, int field, int index, const Selector& selector, std::string_view value) {
  RuntimeLockGuard lock(runtimeLock());
  const Route r = route(selector, index);
  if (r.status != PropertyStatus::Ok) return r.status;
  if (r.runtime) {
    if (ControlAutomation* a = automationOf(w, field))
      if (auto own = a->setRuntime(r.number, value, index)) return *own;
    return SetProperty(w, field, r.number, value, index);
  }
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (!w.control(field)) return PropertyStatus::NoSuchControl;
  if (ControlAutomation* a = automationOf(w, field)) return a->put(r.member, value);
  return SetProperty(w, field, std::string_view(r.member), value, index);
}

PropertyStatus PropertyPutTyped(Window& w, int field, int index, const Selector& selector, std::uint8_t type, const void* address,
                                std::size_t size) {
  {
    RuntimeLockGuard lock(runtimeLock());
    const Route r = route(selector, index);
    if (r.status != PropertyStatus::Ok) return r.status;
    if (!r.runtime && w.handle && w.control(field))
      if (ControlAutomation* a = automationOf(w, field)) return a->putTyped(r.member, type, address, size);
  }
  const auto text = typedText(type, address, size);
  return text ? PropertyPut(w, field, index, selector, *text) : PropertyStatus::BadValue;
}

PropertyStatus MethodCall(Window& w, int field, int index, const Selector& selector) {
  RuntimeLockGuard lock(runtimeLock());
  const Route r = route(selector, index);
  if (r.status != PropertyStatus::Ok) return r.status;
  if (r.runtime) return GetProperty(w, field, r.number, index).status;
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (!w.control(field)) return PropertyStatus::NoSuchControl;
  if (ControlAutomation* a = automationOf(w, field)) return a->invoke(r.member);
  return PropertyStatus::NotHandled;
}

}  // namespace tamsil::window
