// The substring search with arbitrary text, pattern, step and start: it must never read outside
// the text, and a hit must be a real occurrence at the position it names.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/value/substring_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  std::int32_t step, start;
  std::memcpy(&step, data, 4);
  std::memcpy(&start, data + 4, 4);
  const std::size_t split = data[8];
  const std::string_view rest(reinterpret_cast<const char*>(data + 9), size - 9);
  const std::string_view pattern = rest.substr(0, std::min(split, rest.size()));
  const std::string_view text = rest.substr(pattern.size());
  const std::int32_t found = tamsil::findSubstring(text, pattern, step, start);
  if (found < 0) __builtin_trap();
  const std::int64_t s = step == 0 ? std::int64_t(pattern.size()) : step;
  if (found > 0 && s <= 1) {
    // Steps 1 and -1 give the offset itself: the pattern must stand there.
    if (text.substr(std::size_t(found - 1), pattern.size()) != pattern) __builtin_trap();
  }
  if (found > 0 && s > 1 && std::int64_t(found - 1) * s >= std::int64_t(text.size())) __builtin_trap();
  return 0;
}
