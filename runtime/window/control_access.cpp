#include "runtime/window/control_access.h"

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

ControlAutomation* automationOf(Window& w, int field) {
  Control* c = w.handle && field ? w.control(field) : nullptr;
  return c ? c->automation.get() : nullptr;
}

}  // namespace

PropertyValue PropertyCall(Window& w, int field, int index, const Selector& selector) {
  RuntimeLockGuard lock(runtimeLock());
  const Route r = route(selector, index);
  if (r.status != PropertyStatus::Ok) return {r.status, {}};
  if (r.runtime) return GetProperty(w, field, r.number, index);
  if (!w.handle) return {PropertyStatus::WindowNotOpen, {}};
  if (!w.control(field)) return {PropertyStatus::NoSuchControl, {}};
  if (ControlAutomation* a = automationOf(w, field)) return a->call(r.member);
  return {PropertyStatus::NotHandled, {}};
}

PropertyStatus PropertyPut(Window& w, int field, int index, const Selector& selector, std::string_view value) {
  RuntimeLockGuard lock(runtimeLock());
  const Route r = route(selector, index);
  if (r.status != PropertyStatus::Ok) return r.status;
  if (r.runtime) return SetProperty(w, field, r.number, value, index);
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (!w.control(field)) return PropertyStatus::NoSuchControl;
  if (ControlAutomation* a = automationOf(w, field)) return a->put(r.member, value);
  return SetProperty(w, field, std::string_view(r.member), value, index);
}

}  // namespace tamsil::window
