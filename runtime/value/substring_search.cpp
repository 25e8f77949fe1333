#include "runtime/value/substring_search.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tamsil {

namespace {

// Texts longer than this, with patterns longer than this many characters, use the skip table.
constexpr std::size_t kSkipTableTextMin = 256;
constexpr std::size_t kSkipTablePatternMin = 4;

std::int32_t position(std::size_t offset) { return std::int32_t(offset + 1); }

// Forward search with a skip table of 256 shifts. The table is indexed by the pair of text bytes
// under the pattern's last two characters (hashed into one byte): a pair that ends at pattern
// position i (1 <= i < p - 1) allows a shift of p - 1 - i, any other pair a shift of p - 1 (the
// pattern cannot cover both bytes). Pairs rather than single bytes make the shifts nearly the
// whole pattern length on ordinary text. Where the entry is 0 the last two characters may match
// and the whole pattern is compared; after a mismatch the window moves by the smallest shift of
// the last pair elsewhere in the pattern. Hash collisions only make shifts smaller, never wrong.
std::int32_t skipTableSearch(std::string_view t, std::string_view p, std::size_t from) {
  const std::size_t n = p.size();
  auto hash = [](char a, char b) {
    return std::uint8_t((static_cast<std::uint8_t>(a) << 3) ^ static_cast<std::uint8_t>(b));
  };
  const std::uint8_t longest = std::uint8_t(std::min<std::size_t>(n - 1, 255));
  std::array<std::uint8_t, 256> shift;
  shift.fill(longest);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    std::uint8_t& s = shift[hash(p[i - 1], p[i])];
    s = std::uint8_t(std::min<std::size_t>(s, n - 1 - i));
  }
  const std::uint8_t lastPair = hash(p[n - 2], p[n - 1]);
  const std::size_t afterMismatch = shift[lastPair];
  shift[lastPair] = 0;
  const char* text = t.data();
  for (std::size_t k = from + n - 1; k < t.size();) {
    const std::uint8_t s = shift[hash(text[k - 1], text[k])];
    if (s != 0) {
      k += s;
      continue;
    }
    const std::size_t offset = k + 1 - n;
    if (std::memcmp(text + offset, p.data(), n) == 0) return position(offset);
    k += afterMismatch;
  }
  return 0;
}

// Forward search at every offset: memchr finds the candidates for the first character.
std::int32_t forwardSearch(std::string_view t, std::string_view p, std::size_t from) {
  const std::size_t lastOffset = t.size() - p.size();
  while (from <= lastOffset) {
    const void* hit = std::memchr(t.data() + from, p[0], lastOffset - from + 1);
    if (!hit) return 0;
    const std::size_t offset = std::size_t(static_cast<const char*>(hit) - t.data());
    if (std::memcmp(t.data() + offset + 1, p.data() + 1, p.size() - 1) == 0) return position(offset);
    from = offset + 1;
  }
  return 0;
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
  if (p.size() >= kSkipTablePatternMin && t.size() >= kSkipTableTextMin) return skipTableSearch(t, p, from);
  return forwardSearch(t, p, from);
}

}  // namespace tamsil
