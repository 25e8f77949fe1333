#include <deque>
#include <mutex>

#include "platform/ascii.h"
#include "platform/messages.h"
#include "platform/window/detail/handle_table.h"

namespace platform {

namespace {

constexpr UINT kFirstRegistered = 0xC000;

struct Registered {
  std::mutex mutex;
  std::deque<std::string> names;  // index + 0xC000 is the number; a deque keeps names in place
};

Registered& registered() {
  static Registered r;
  return r;
}

std::string_view registeredName(UINT message) {
  Registered& r = registered();
  std::lock_guard lock(r.mutex);
  const std::size_t index = message - kFirstRegistered;
  return message >= kFirstRegistered && index < r.names.size() ? std::string_view(r.names[index]) : std::string_view();
}

}  // namespace

UINT RegisterWindowMessageA(const char* name) {
  if (!name || !*name) return 0;
  Registered& r = registered();
  std::lock_guard lock(r.mutex);
  for (std::size_t i = 0; i < r.names.size(); ++i)
    if (ascii::equalsNoCase(r.names[i], name)) return kFirstRegistered + UINT(i);
  if (r.names.size() > 0xFFFF - kFirstRegistered) return 0;
  r.names.emplace_back(name);
  return kFirstRegistered + UINT(r.names.size() - 1);
}

std::string_view messageName(UINT message) {
  if (message >= kFirstRegistered) return registeredName(message);
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
