#include "runtime/value/substring_search.h"

#include <string.h>

#include <algorithm>

namespace tamsil {

namespace {

std::int32_t position(std::size_t offset) { return std::int32_t(offset + 1); }

// Forward search at every offset. The C library's memmem (a two-way search with vector
// instructions) finds the first occurrence several times faster than a shift-table search does,
// and its answer is by definition the same.
std::int32_t forwardSearch(std::string_view t, std::string_view p, std::size_t from) {
  const void* hit = memmem(t.data() + from, t.size() - from, p.data(), p.size());
  return hit ? position(std::size_t(static_cast<const char*>(hit) - t.data())) : 0;
}

std::int32_t backwardSearch(std::string_view t, std::string_view p, std::size_t from) {
  for (std::size_t offset = from + 1; offset-- > 0;)
    if (t[offset] == p[0] && t.compare(offset, p.size(), p) == 0) return position(offset);
  return 0;
}

std::int32_t steppedSearch(std::string_view t, std::string_view p, std::size_t from, std::size_t step) {
  for (std::size_t offset = from; offset + p.size() <= t.size(); offset += step) {
    if (t[offset] == p[0] && t.compare(offset, p.size(), p) == 0) return std::int32_t(offset / step + 1);
  }
  return 0;
}

}  // namespace

std::int32_t findSubstring(std::string_view t, std::string_view p, std::int32_t step, std::int32_t start) {
  if (p.empty() || p.size() > t.size() || start <= 0) return 0;
  const std::size_t from = std::size_t(start) - 1;
  if (from >= t.size()) return 0;
  const std::int64_t s = step == 0 ? std::int64_t(p.size()) : step;
  if (s < -1) return 0;
  if (s == -1) return backwardSearch(t, p, std::min(from, t.size() - p.size()));
  if (from > t.size() - p.size()) return 0;
  if (s > 1) return steppedSearch(t, p, from, std::size_t(s));
  return forwardSearch(t, p, from);
}

}  // namespace tamsil
