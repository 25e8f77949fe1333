// What the tiny-block arena and the thread caches in front of it agree on: the six size classes,
// the table from a request size to its class, and the state map beside the arena, whose byte for
// each 4 arena bytes says whether a block starts there, of which class, and whether it is free.
//
// Every access to a state byte is a relaxed atomic one (a plain move), since a thread marks the
// blocks of its own cache without the heap's lock.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/poison.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap::tiny {

inline constexpr std::size_t kLargestBlock = 32;
inline constexpr int kClassCount = 6;
inline constexpr std::array<std::uint32_t, kClassCount> kBlockSizes{4, 8, 12, 16, 24, 32};

// Built as the classes are registered: largest first, each for every size up to its own, so
// every size ends with the smallest class that holds it.
inline constexpr std::array<std::uint8_t, kLargestBlock + 1> kClassOf = [] {
  std::array<std::uint8_t, kLargestBlock + 1> table{};
  for (int c = kClassCount - 1; c >= 0; --c)
    for (std::uint32_t n = 1; n <= kBlockSizes[std::size_t(c)]; ++n) table[n] = std::uint8_t(c);
  return table;
}();

// A block's state byte: its class + 1, with kFreeBit while it is free; 0 where no block starts.
inline constexpr std::uint8_t kFreeBit = 0x80;
constexpr std::uint8_t usedState(std::uint32_t sizeClass) { return std::uint8_t(sizeClass + 1); }
constexpr std::uint8_t freeState(std::uint32_t sizeClass) { return std::uint8_t(usedState(sizeClass) | kFreeBit); }
// The class of a block in use with state `state`; kClassCount or more for a free block or none.
constexpr std::uint32_t classOfUsed(std::uint8_t state) { return std::uint32_t(state) - 1u; }

// What stays addressable of a free block: the sanitizer granule that holds its link.
inline constexpr std::size_t kLinkSpan = 8;

// Makes the first `n` bytes of block `p` of size `blockSize` addressable and the rest not.
inline void expose(void* p, std::uint32_t blockSize, std::size_t n) {
  unpoison(p, blockSize);
  if (blockSize % 8 == 0) poison(static_cast<char*>(p) + n, blockSize - n);
}

// The arena: 128 MiB of address space, committed page by page. Its state map, one byte per 4
// arena bytes, follows it in the same reservation behind a page left inaccessible, so a write past
// the arena's last block cannot reach the map, and the map lies at a fixed distance from the
// arena's start.
inline constexpr std::size_t kArenaSize = 0x8000000;
inline constexpr std::size_t kStateMapOffset = kArenaSize + kPageSize;
inline constexpr std::size_t kReservation = kStateMapOffset + kArenaSize / 4;

// The arena bytes whose state bytes fill two cache lines (the pair a processor fetches together):
// a thread cache takes its blocks in whole groups where it can (TinyArena::fill).
inline constexpr std::size_t kGroupBytes = 4 * 128;
constexpr std::uintptr_t groupOf(std::uintptr_t offset) { return offset / kGroupBytes; }

// Where an arena lies, and with it its state map. Free blocks are chained through their first 4
// bytes by offsets from the arena's start (a 4-byte block holds no pointer); offset 0 is a page
// header, never a block.
struct ArenaPlace {
  // The start of no arena: every address a program can hold lies more than kArenaSize bytes past
  // it, so nothing is inside.
  static constexpr std::uintptr_t kNowhere = std::uintptr_t(0) - kArenaSize;

  std::uintptr_t base = kNowhere;

  bool exists() const { return base != kNowhere; }
  // The offset of `p` from the arena's start; kArenaSize or more when `p` lies outside.
  std::uintptr_t offsetOf(const void* p) const { return reinterpret_cast<std::uintptr_t>(p) - base; }
  bool contains(const void* p) const { return offsetOf(p) < kArenaSize; }
  void* blockAt(std::uintptr_t offset) const { return reinterpret_cast<void*>(base + offset); }
  std::uint32_t& link(std::uint32_t offset) const { return *reinterpret_cast<std::uint32_t*>(base + offset); }
  // The class named in the first 4 bytes of the page (each serves one class) that holds `offset`.
  std::uint32_t pageClass(std::uintptr_t offset) const {
    return *reinterpret_cast<const std::uint32_t*>(base + offset / kPageSize * kPageSize);
  }
  std::uint8_t* states() const { return reinterpret_cast<std::uint8_t*>(base + kStateMapOffset); }
  // The state byte of the 4 bytes at `offset`; pages not yet carved read 0.
  std::uint8_t loadState(std::uintptr_t offset) const { return loadSlot(offset / 4); }
  void storeState(std::uintptr_t offset, std::uint8_t state) const { storeSlot(offset / 4, state); }
  // The same by slot, the number of the 4 bytes: offset / 4.
  std::uint8_t loadSlot(std::uintptr_t slot) const { return std::atomic_ref<std::uint8_t>(states()[slot]).load(std::memory_order_relaxed); }
  void storeSlot(std::uintptr_t slot, std::uint8_t state) const {
    std::atomic_ref<std::uint8_t>(states()[slot]).store(state, std::memory_order_relaxed);
  }
};

}  // namespace tamsil::heap::tiny
