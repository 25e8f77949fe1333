// STRPOS and MATCH on arbitrary patterns and texts: the first byte picks the mode, the rest is
// the pattern up to the first NUL and the text after it. A pattern either compiles or gives 0,
// and a position found lies inside the text (or just after it, for an empty match at the end). A
// pattern of plain letters is found where a substring search finds it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/core/thread_context.h"
#include "runtime/eval/match.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One context per input, so what the runtime leaves in the thread's state goes with it.
  const tamsil::ThreadContextScope context;
  if (size == 0) return 0;
  const int64_t mode = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t split = rest.find('\0');
  const std::string_view pattern = rest.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? rest : rest.substr(split + 1);
  const int64_t pos = tamsil::stringPosition(text, pattern, mode);
  if (pos < 0 || pos > static_cast<int64_t>(text.size()) + 1) __builtin_trap();
  if (!pattern.empty() && pattern.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string_view::npos && mode == 0) {
    const size_t at = text.find(pattern);
    if (pos != (at == std::string_view::npos ? 0 : int64_t(at) + 1)) __builtin_trap();
  }
  const int64_t matched = tamsil::matchText(text, pattern, mode);
  if (matched != 0 && matched != 1) __builtin_trap();
  return 0;
}
