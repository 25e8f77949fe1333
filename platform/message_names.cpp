#include "platform/messages.h"

namespace platform {

std::string_view messageName(UINT message) {
  switch (message) {
#define PLATFORM_MESSAGE(name, value) \
  case value:                         \
    return #name;
#include "platform/message_list.inc"
#undef PLATFORM_MESSAGE
    default: return {};
  }
}

}  // namespace platform
