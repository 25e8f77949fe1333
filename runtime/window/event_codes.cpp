#include "runtime/window/event_codes.h"

namespace tamsil::window {

std::string_view eventName(int code) {
  switch (code) {
#define RUNTIME_EVENT(name, number) \
  case number:                      \
    return "EVENT:" #name;
#include "runtime/window/event_list.inc"
#undef RUNTIME_EVENT
    default: return {};
  }
}

}  // namespace tamsil::window
