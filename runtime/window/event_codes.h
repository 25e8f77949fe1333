// Event codes with the names traces show, from the one list in event_list.inc. An event travels
// inside the runtime as window message kEventBase + code; programs see the code. The runtime's
// private window messages are in runtime/core/private_messages.h.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace tamsil::window {

inline constexpr platform::UINT kEventBase = 0xA000;

namespace event {
#define RUNTIME_EVENT(name, code) inline constexpr int name = code;
#include "runtime/window/event_list.inc"
#undef RUNTIME_EVENT
}  // namespace event

// "EVENT:Accepted" for 1 and so on; empty for a code without a name (0x207 and program codes).
std::string_view eventName(int code);

}  // namespace tamsil::window
