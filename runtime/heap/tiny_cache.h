// A thread's own stock of free tiny blocks, up to kDepth per size class, in front of the arena:
// while a class has blocks (or room for one more), that thread allocates (or frees) a tiny block
// without the heap's lock. A refill takes kBatch blocks from the arena at once; a full class
// gives kBatch blocks back. Each class is a list chained through its blocks by arena offsets,
// like the arena's own lists, and its blocks stay marked free in the arena's state map, so
// freeing one again is still reported.
//
// The cache is a plain aggregate, so a thread_local one needs no construction; whoever owns one
// gives its blocks back (Heap::flush) before the thread ends. The arena works it (tiny_arena.h).
#pragma once

#include <array>
#include <cstdint>

namespace tamsil::heap {

struct TinyCache {
  static constexpr std::uint32_t kDepth = 32;
  static constexpr std::uint32_t kBatch = kDepth / 2;
  static constexpr int kClassCount = 6;

  std::array<std::uint32_t, kClassCount> heads{};  // arena offset of the newest block; 0 for none
  std::array<std::uint32_t, kClassCount> counts{};
};

}  // namespace tamsil::heap
