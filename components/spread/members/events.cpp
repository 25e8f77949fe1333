#include <array>

#include "components/spread/members/members.h"

namespace spread {

namespace {

#define X(name, ...) constexpr VARTYPE k##name##Arguments[] = {__VA_ARGS__};
#include "components/spread/members/event_list.inc"
#undef X

constexpr std::span<const VARTYPE> kArguments[] = {
#define X(name, ...) k##name##Arguments,
#include "components/spread/members/event_list.inc"
#undef X
};
static_assert(std::size(kArguments) == std::variant_size_v<BookEvent>, "every event has its argument types");

}  // namespace

DISPID EventDispid(SpreadEvent e) { return EventNumber(e); }
std::span<const VARTYPE> EventArgumentTypes(SpreadEvent e) { return kArguments[size_t(e)]; }

}  // namespace spread
