// The layout every medium and large block shares. A block's 16-byte header lies in front of its
// payload p:
//
//   p-16  the trailing tag of the block before (a region boundary has none before it)
//   p-6   the caller's flag byte
//   p-5   the block's tag
//   p-4   the block's size, 32 bits, header included, a multiple of 16
//
// The block's own trailing tag is the first byte of the next block's header (p + size - 16); a
// free medium block keeps the address of its descriptor in its last payload bytes
// (p + size - 24). An aligned block is an alias inside a real block: its header holds the real
// block's payload address (at p-16) and the alignment (the size word).
//
// Tag bytes are read and written as relaxed atomics (plain moves): a thread marks the medium
// blocks its own cache holds, and takes them again, without the shard's lock, while another
// thread may read the same tag as a neighbour's under the lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tamsil::heap {

enum Tag : std::uint8_t {
  kTagMediumUsed = 0xA3,
  kTagMediumFree = 0x34,
  kTagLarge = 0xE7,
  kTagAlias = 0xBE,
  kTagBoundary = 0x17,
  kTagLargeStart = 0x23,    // the first byte of a large block's mapping
  kTagMediumCached = 0x5C,  // a medium block in use by its shard, held free in a thread's cache
};

// A tag byte, read and written as a relaxed atomic.
class TagByte {
 public:
  explicit TagByte(std::byte* at) : at_(reinterpret_cast<std::uint8_t*>(at)) {}
  operator std::uint8_t() const { return __atomic_load_n(at_, __ATOMIC_RELAXED); }
  TagByte& operator=(std::uint8_t tag) {
    __atomic_store_n(at_, tag, __ATOMIC_RELAXED);
    return *this;
  }

 private:
  std::uint8_t* at_;
};

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kAlignment = 16;

inline TagByte tagOf(std::byte* p) { return TagByte(p - 5); }
inline std::uint8_t& flagOf(std::byte* p) { return reinterpret_cast<std::uint8_t&>(p[-6]); }
inline TagByte previousTagOf(std::byte* p) { return TagByte(p - 16); }
inline TagByte trailingTagOf(std::byte* p, std::size_t size) { return previousTagOf(p + size); }

inline std::uint32_t sizeOf(const std::byte* p) {
  std::uint32_t size;
  std::memcpy(&size, p - 4, sizeof size);
  return size;
}
inline void setSize(std::byte* p, std::size_t size) {
  const auto word = std::uint32_t(size);
  std::memcpy(p - 4, &word, sizeof word);
}

// The pointer kept in the 8 bytes at `at`.
template <class T>
T* pointerAt(const std::byte* at) {
  T* value;
  std::memcpy(&value, at, sizeof value);
  return value;
}
template <class T>
void setPointerAt(std::byte* at, T* value) {
  std::memcpy(at, &value, sizeof value);
}

}  // namespace tamsil::heap
