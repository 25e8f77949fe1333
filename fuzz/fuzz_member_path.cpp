// Member paths and their argument conversion on arbitrary text: the parser either refuses the
// text or gives members with bounded names and argument counts whose values lie inside the
// text; every argument converts to a VARIANT (or is refused, for an object reference nobody
// handed out) and is freed again; a write's split point is a "." of the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/com/variant.h"
#include "runtime/core/thread_context.h"
#include "runtime/ole/argument_block.h"
#include "runtime/ole/member_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One context per input, so what the runtime leaves in the thread's state goes with it.
  const tamsil::ThreadContextScope context;
  using namespace tamsil::ole;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t split = writeSplit(text);
  if (split != std::string_view::npos && (split >= text.size() || text[split] != '.')) __builtin_trap();
  const auto path = parseMemberPath(text);
  if (!path) return 0;
  for (const PathMember& m : path->members) {
    if (m.name.empty() || m.name.size() > kMaxNameLength || m.arguments.size() > kMaxArguments) __builtin_trap();
    ArgumentBlock block;
    for (const PathArgument& a : m.arguments) {
      if (text.find(a.value) == std::string_view::npos || a.hint.size() > kMaxHintLength) __builtin_trap();
      platform::VARIANT v;
      const ArgumentFault fault = convertArgument(a, v);
      if (fault == ArgumentFault::None && platform::FAILED(platform::VariantClear(&v))) __builtin_trap();
      block.add(a);
    }
    if (block.params()->cArgs != m.arguments.size()) __builtin_trap();
  }
  return 0;
}
