// A thread's own stock of free tiny blocks, a few dozen per size class, in front of the arena:
// while a class has blocks (or room for one more), that thread allocates (or frees) a tiny block
// without the heap's lock. Each class keeps two lists chained through their blocks by arena
// offsets, like the arena's own lists: allocations take from the first, frees give to the second,
// which holds at most kFreedCapacity blocks. A refill brings kBatch blocks from the arena to the
// first, and the rest of the last one's group, so that no other thread's cache shares their
// lines. A free that finds the second list full moves it to the first when that is empty, else
// gives it back to the arena. The second list holds as many as a refill brings at most, so a
// thread that frees what it allocated swaps the two lists and never takes the lock. Cached blocks stay marked free in the arena's state map, so
// freeing one again is still reported.
//
// Taking and giving are inline and touch only the cache, the block and its state byte: they are
// the whole of a tiny allocation or free while the class has a block or room. An allocation and a
// free never write what the other reads next (the lists are apart), so an allocation need not
// wait for the free before it, whose class is only known once its state byte is read. The state
// byte also proves the freed pointer a block in use; the map lies outside the arena, so a write
// past the end of a block cannot change it.
//
// The cache is a plain aggregate, so a thread_local one needs no construction; whoever owns one
// gives its blocks back (Heap::flush) before the thread ends.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/tiny_classes.h"

namespace tamsil::heap {

struct TinyCache {
  static constexpr std::uint32_t kBatch = 16;
  // The most blocks a refill brings: the batch and the rest of a group of the smallest class.
  static constexpr std::uint32_t kLargestFill = kBatch + tiny::kGroupBytes / tiny::kBlockSizes[0];
  // The most blocks the list that frees give to holds.
  static constexpr std::uint32_t kFreedCapacity = kLargestFill;
  static constexpr int kClassCount = tiny::kClassCount;

  // The blocks allocations take: the arena offset of the first (0 for none) and their number.
  std::array<std::uint32_t, kClassCount> heads{};
  std::array<std::uint32_t, kClassCount> counts{};
  // The blocks frees give, likewise.
  std::array<std::uint32_t, kClassCount> freedHeads{};
  std::array<std::uint32_t, kClassCount> freedCounts{};

  // A cache that has no blocks and takes none, since every class reads as full: both inline paths
  // fall through to their owner (a thread's cache before it is armed and once it is given back).
  static constexpr TinyCache closed() {
    TinyCache cache;
    cache.freedCounts.fill(kFreedCapacity);
    return cache;
  }

  // The first block of the class for `n` bytes (1 <= n <= 32), marked in use; null when the
  // class has none to take.
  void* take(const tiny::ArenaPlace& arena, std::size_t n) {
    const std::uint32_t sizeClass = tiny::kClassOf[n];
    const std::uint32_t offset = heads[sizeClass];
    if (!offset) return nullptr;
    heads[sizeClass] = arena.link(offset);
    --counts[sizeClass];
    arena.storeState(offset, tiny::usedState(sizeClass));
    void* block = arena.blockAt(offset);
    tiny::expose(block, tiny::kBlockSizes[sizeClass], n);
    return block;
  }
  // Marks `p` free and gives it to its class; false, changing nothing, when `p` is no block in
  // use of `arena` or its class has no room.
  bool give(const tiny::ArenaPlace& arena, void* p) {
    const std::uintptr_t offset = arena.offsetOf(p);
    // Rotated, an offset that is no multiple of 4 is beyond every slot, as is one past the arena.
    const std::uintptr_t slot = std::rotr(offset, 2);
    if (slot >= tiny::kArenaSize / 4) return false;
    const std::uint8_t state = arena.loadSlot(slot);
    const std::uint32_t sizeClass = tiny::classOfUsed(state);
    if (sizeClass >= std::uint32_t(kClassCount) || freedCounts[sizeClass] >= kFreedCapacity) return false;
    arena.storeSlot(slot, std::uint8_t(state | tiny::kFreeBit));
    tiny::expose(p, tiny::kBlockSizes[sizeClass], tiny::kLinkSpan);
    arena.link(std::uint32_t(offset)) = freedHeads[sizeClass];
    freedHeads[sizeClass] = std::uint32_t(offset);
    ++freedCounts[sizeClass];
    return true;
  }
  // Adds the block at `offset`, marked free, to the blocks allocations take, which has room.
  void add(const tiny::ArenaPlace& arena, std::uint32_t offset, std::uint32_t sizeClass) {
    tiny::expose(arena.blockAt(offset), tiny::kBlockSizes[sizeClass], tiny::kLinkSpan);
    arena.link(offset) = heads[sizeClass];
    heads[sizeClass] = offset;
    ++counts[sizeClass];
  }
  // Makes the freed blocks of a class the ones allocations take, if those are used up; answers
  // whether there are blocks to take now.
  bool reuseFreed(std::uint32_t sizeClass) {
    if (!heads[sizeClass] && freedHeads[sizeClass]) {
      heads[sizeClass] = freedHeads[sizeClass];
      counts[sizeClass] = freedCounts[sizeClass];
      freedHeads[sizeClass] = 0;
      freedCounts[sizeClass] = 0;
    }
    return heads[sizeClass] != 0;
  }
};

}  // namespace tamsil::heap
