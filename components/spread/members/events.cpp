#include <array>

#include "components/spread/members/members.h"

namespace spread {

namespace {

struct EventInfo {
  std::string_view name;
  DISPID dispid;
  std::span<const VARTYPE> arguments;
};

#define X(name, dispid, ...) constexpr VARTYPE k##name##Arguments[] = {__VA_ARGS__};
#include "components/spread/members/event_list.inc"
#undef X

constexpr EventInfo kEvents[] = {
#define X(name, dispid, ...) {#name, dispid, k##name##Arguments},
#include "components/spread/members/event_list.inc"
#undef X
};

}  // namespace

std::string_view EventName(SpreadEvent e) { return kEvents[size_t(e)].name; }
DISPID EventDispid(SpreadEvent e) { return kEvents[size_t(e)].dispid; }
std::span<const VARTYPE> EventArgumentTypes(SpreadEvent e) { return kEvents[size_t(e)].arguments; }

}  // namespace spread
