#include "runtime/window/message_trace.h"

#include <cstdio>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "runtime/core/diagnostic_log.h"
#include "runtime/core/private_messages.h"
#include "runtime/window/event_codes.h"

namespace tamsil::window {

using namespace platform;

std::string traceMessageName(UINT message) {
  if (auto name = privateMessageName(message); !name.empty()) return std::string(name);
  if (message > kEventBase && message <= kEventBase + 0xFFF)
    if (auto name = eventName(int(message - kEventBase)); !name.empty()) return std::string(name);
  if (auto name = messageName(message); !name.empty()) {
    // The runtime's registered messages ("TW_QUERY_PSCREEN") are shown without their prefix.
    return std::string(name.starts_with("TW_QUERY_") ? name.substr(3) : name);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "%#.4x", unsigned(message));
  return buf;
}

std::string traceLine(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  char buf[96];
  std::snprintf(buf, sizeof buf, " %#zx %#zx", std::size_t(wParam), std::size_t(lParam));
  char handle[32];
  std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(hwnd));
  return "TRACE " + std::string(handle) + " " + traceMessageName(message) + buf;
}

void SetMessageTraceOn(bool on) {
  if (on) SetMessageTrace([](HWND h, UINT m, WPARAM w, LPARAM l) { DiagnosticLine(traceLine(h, m, w, l)); });
  else SetMessageTrace(nullptr);
}

}  // namespace tamsil::window
