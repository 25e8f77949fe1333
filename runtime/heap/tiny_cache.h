// A thread's own stock of free tiny blocks, up to kDepth per size class, in front of the arena:
// while a class has blocks (or room for one more), that thread allocates (or frees) a tiny block
// without the heap's lock. A refill takes kBatch blocks from the arena at once; a full class
// gives kBatch blocks back. Each class is a list chained through its blocks by arena offsets,
// like the arena's own lists, and its blocks stay marked free in the arena's state map, so
// freeing one again is still reported.
//
// Taking and giving are inline and touch only the cache, the block and its state byte: they are
// the whole of a tiny allocation or free while the class has a block or room. The class of a
// freed block comes from its state byte, which also proves it a block in use; the map lies
// outside the arena, so a write past the end of a block cannot change it.
//
// The cache is a plain aggregate, so a thread_local one needs no construction; whoever owns one
// gives its blocks back (Heap::flush) before the thread ends.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/tiny_classes.h"

namespace tamsil::heap {

struct TinyCache {
  static constexpr std::uint32_t kDepth = 32;
  static constexpr std::uint32_t kBatch = kDepth / 2;
  static constexpr int kClassCount = tiny::kClassCount;

  std::array<std::uint32_t, kClassCount> heads{};  // arena offset of the newest block; 0 for none
  std::array<std::uint32_t, kClassCount> counts{};
  // How many blocks a class may hold; 0 for a cache that takes no blocks (a thread's cache
  // before it is armed and once it is given back for good).
  std::uint32_t depth = kDepth;

  // The newest block of the class for `n` bytes (1 <= n <= 32), marked in use; null when the
  // class has none.
  void* take(const tiny::ArenaPlace& arena, std::size_t n) {
    const std::uint32_t sizeClass = tiny::kClassOf[n];
    if (counts[sizeClass] == 0) return nullptr;
    const std::uint32_t offset = pop(arena, sizeClass);
    arena.storeState(offset, tiny::usedState(sizeClass));
    void* block = arena.blockAt(offset);
    tiny::expose(block, tiny::kBlockSizes[sizeClass], n);
    return block;
  }
  // Marks `p` free and makes it the newest block of its class; false, changing nothing, when `p`
  // is no block in use of `arena` or its class is full.
  //
  // The class is read from the page's header, which stays as it is once the page is carved,
  // rather than from the state byte the allocation has just written: the state byte is only
  // compared, so the steps after it need not wait for it. Both must agree; a damaged header
  // leaves the block to the arena's own free, which goes by the state byte alone.
  bool give(const tiny::ArenaPlace& arena, void* p) {
    const std::uintptr_t offset = arena.offsetOf(p);
    if (offset >= arena.span || offset % 4) return false;
    const std::uint8_t state = arena.loadState(offset);
    // A page not yet carved has state 0 throughout, so its header is only read once committed.
    if (tiny::classOfUsed(state) >= std::uint32_t(kClassCount)) return false;
    const std::uint32_t sizeClass = arena.pageClass(offset);
    if (state != tiny::usedState(sizeClass) || counts[sizeClass] >= depth) return false;
    arena.storeState(offset, tiny::freeState(sizeClass));
    push(arena, std::uint32_t(offset), sizeClass);
    return true;
  }
  // Makes the block at `offset`, marked free, the newest of its class, which has room for it.
  void push(const tiny::ArenaPlace& arena, std::uint32_t offset, std::uint32_t sizeClass) {
    tiny::expose(arena.blockAt(offset), tiny::kBlockSizes[sizeClass], tiny::kLinkSpan);
    arena.link(offset) = heads[sizeClass];
    heads[sizeClass] = offset;
    ++counts[sizeClass];
  }
  // Removes the newest block of a class that has one and answers its offset; it stays marked free.
  std::uint32_t pop(const tiny::ArenaPlace& arena, std::uint32_t sizeClass) {
    const std::uint32_t offset = heads[sizeClass];
    heads[sizeClass] = arena.link(offset);
    --counts[sizeClass];
    return offset;
  }
};

}  // namespace tamsil::heap
