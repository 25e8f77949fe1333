#include "runtime/core/private_messages.h"

namespace tamsil {

std::string_view privateMessageName(platform::UINT message) {
  // The untraced messages are cases too, so that the compiler rejects a number listed twice.
  // clang-format off
#define RUNTIME_MESSAGE(name, value) case value: return #name;
#define RUNTIME_MESSAGE_UNTRACED(name, value) case value: return {};
  // clang-format on
  switch (message) {
#include "runtime/core/private_message_list.inc"
    default: return {};
  }
#undef RUNTIME_MESSAGE
#undef RUNTIME_MESSAGE_UNTRACED
}

}  // namespace tamsil
