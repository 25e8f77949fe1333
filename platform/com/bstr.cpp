#include "platform/com/bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace platform {

namespace {

// The byte count sits immediately before the first unit.
constexpr size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t byteLength(BSTR text) {
  std::uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - kPrefix, kPrefix);
  return bytes;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  const size_t n = std::char_traits<OLECHAR>::length(text);
  if (n > std::numeric_limits<UINT>::max()) return nullptr;
  return SysAllocStringLen(text, UINT(n));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::uint64_t bytes = std::uint64_t(length) * sizeof(OLECHAR);
  if (bytes > std::numeric_limits<std::uint32_t>::max() - kPrefix - sizeof(OLECHAR)) return nullptr;
  char* block = static_cast<char*>(std::malloc(kPrefix + size_t(bytes) + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const std::uint32_t stored = std::uint32_t(bytes);
  std::memcpy(block, &stored, kPrefix);
  auto* units = reinterpret_cast<OLECHAR*>(block + kPrefix);
  if (text) std::memcpy(units, text, size_t(bytes));
  else std::memset(units, 0, size_t(bytes));
  units[length] = u'\0';
  return units;
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<char*>(text) - kPrefix);
}

UINT SysStringLen(BSTR text) { return text ? byteLength(text) / sizeof(OLECHAR) : 0; }

UINT SysStringByteLen(BSTR text) { return text ? byteLength(text) : 0; }

Bstr::Bstr(std::u16string_view text) : text_(SysAllocStringLen(text.data(), UINT(text.size()))) {}

}  // namespace platform
