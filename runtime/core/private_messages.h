// The runtime's private window messages, from the one list in private_message_list.inc, with the
// names traces show. They sit in the core because start-up posts QUERY_SHUTDOWN to ask the first
// thread to halt; the window layer handles the rest.
#pragma once

#include <string_view>

#include "platform/types.h"

namespace tamsil {

#define RUNTIME_MESSAGE(name, number) inline constexpr platform::UINT name = number;
#define RUNTIME_MESSAGE_UNTRACED(name, number) RUNTIME_MESSAGE(name, number)
#include "runtime/core/private_message_list.inc"
#undef RUNTIME_MESSAGE
#undef RUNTIME_MESSAGE_UNTRACED

// The trace name of a private message ("QUERY_SETUSE"), empty for others and for the untraced
// ones (QUERY_BRINGTOTOP, QUERY_POSTEVENT).
std::string_view privateMessageName(platform::UINT message);

}  // namespace tamsil
