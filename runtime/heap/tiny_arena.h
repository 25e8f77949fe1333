// Blocks of up to 32 bytes: six size classes carved out of 4 KiB pages of one reserved arena.
// Tiny blocks carry no header: the first 4 bytes of each page name the page's class, the first
// block starts at the offset of its own size (so every block is aligned as its size allows), and
// free blocks are chained by 32-bit offsets from the arena's start.
//
// The state map beside the arena (tiny_classes.h) says for each block whether it is free, so a
// block freed twice or a pointer into the middle of a block is reported instead of entering a
// free list, at the cost of one load.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/tiny_cache.h"
#include "runtime/heap/tiny_classes.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {

class TinyArena {
 public:
  static constexpr std::size_t kReservedSize = tiny::kArenaSize;
  static constexpr std::size_t kLargestBlock = tiny::kLargestBlock;
  static constexpr int kClassCount = tiny::kClassCount;
  static constexpr const std::array<std::uint32_t, kClassCount>& kBlockSizes = tiny::kBlockSizes;

  // Reserves the arena; when refused, says so on the trace output and serves nothing.
  TinyArena();
  ~TinyArena();
  TinyArena(const TinyArena&) = delete;
  TinyArena& operator=(const TinyArena&) = delete;

  // The smallest class that holds `n` bytes, 1 <= n <= 32.
  static int classFor(std::size_t n) { return tiny::kClassOf[n]; }

  // Where the arena lies, for the thread caches; nowhere when the reservation was refused.
  const tiny::ArenaPlace& place() const { return place_; }
  bool contains(const void* p) const { return place_.contains(p); }
  // A block for `n` bytes (1 <= n <= 32) from its class's free list; null when the list is empty.
  void* take(std::size_t n) {
    const std::uint32_t sizeClass = tiny::kClassOf[n];
    SizeClass& cls = classes_[sizeClass];
    if (!cls.head) return nullptr;
    const std::uint32_t offset = cls.head;
    cls.head = place_.link(offset);
    place_.storeState(offset, tiny::usedState(sizeClass));
    void* block = place_.blockAt(offset);
    tiny::expose(block, cls.blockSize, n);
    return block;
  }
  // As take, carving a new page when the list is empty; null when the arena is used up.
  void* allocate(std::size_t n) {
    void* block = take(n);
    return block ? block : allocateFromNewPage(n);
  }
  // Puts `p` (inside the arena) back on its class's free list; false, changing nothing, when `p`
  // is no block in use.
  bool give(void* p) {
    const auto offset = std::uint32_t(place_.offsetOf(p));
    const std::uint8_t state = place_.loadState(offset);
    const std::uint32_t sizeClass = tiny::classOfUsed(state);
    if (sizeClass >= std::uint32_t(kClassCount) || offset % 4) return false;
    SizeClass& cls = classes_[sizeClass];
    tiny::expose(p, cls.blockSize, tiny::kLinkSpan);
    place_.link(offset) = cls.head;
    cls.head = offset;
    place_.storeState(offset, tiny::freeState(sizeClass));
    return true;
  }
  // Moves a list of a thread cache's blocks (its first block and their number) to the arena's
  // list of class `sizeClass`, leaving it empty.
  void release(std::uint32_t& head, std::uint32_t& count, int sizeClass) {
    SizeClass& cls = classes_[std::size_t(sizeClass)];
    for (; head; --count) {
      const std::uint32_t offset = head;
      head = place_.link(offset);
      place_.link(offset) = cls.head;
      cls.head = offset;
    }
  }
  // Moves every block of a thread cache's class `sizeClass` to the arena's list, in address
  // order, leaving the cache's lists empty: the cache's blocks lie in groups of their own, and
  // kept together the next refills (fill) hand out whole groups again.
  void releaseAll(TinyCache& cache, int sizeClass);
  // Adds `k` free blocks of a class from the arena's list, carving pages as needed, to the blocks
  // `cache` allocates from; they stay marked free. It goes on past `k` while the list's next block
  // lies in the same group (tiny::kGroupBytes) as the last one taken: a new page is handed out in
  // address order, so two threads' caches then share no line of the state map, and no line of the
  // arena but where a block straddles two groups. Writes to a line two threads share would make
  // their caches' lock-free paths wait for each other on every allocation.
  void fill(TinyCache& cache, int sizeClass, std::uint32_t k) {
    SizeClass& cls = classes_[std::size_t(sizeClass)];
    std::uint32_t last = 0;
    while ((k || (cls.head && tiny::groupOf(cls.head) == tiny::groupOf(last))) && (cls.head || carvePage(sizeClass))) {
      last = cls.head;
      cls.head = place_.link(last);
      cache.add(place_, last, std::uint32_t(sizeClass));
      if (k) --k;
    }
  }
  // As give, reporting a double free or a foreign pointer.
  void free(void* p) {
    if (!give(p)) reportBadFree(p);
  }
  // The class of the block in use that starts at `p`, by its state byte alone, so without the
  // lock; -1 when none does.
  int classInUse(const void* p) const {
    const std::uintptr_t offset = place_.offsetOf(p);
    if (offset >= kReservedSize || offset % 4) return -1;
    const std::uint32_t sizeClass = tiny::classOfUsed(place_.loadState(offset));
    return sizeClass < std::uint32_t(kClassCount) ? int(sizeClass) : -1;
  }
  // The block size of the block that starts at `p`, free or not; 0 when none starts there.
  std::uint32_t blockSizeOf(const void* p) const;
  // Whether `p` is a block on a free list.
  bool isFree(const void* p) const;

 private:
  struct SizeClass {
    std::uint32_t blockSize = 0;
    std::uint32_t head = 0;  // offset of the first free block; 0 for none
  };

  void* allocateFromNewPage(std::size_t n);
  void reportBadFree(void* p) const;
  bool carvePage(int sizeClass);

  tiny::ArenaPlace place_;
  std::size_t committed_ = 0;
  std::array<SizeClass, kClassCount> classes_{};
};

}  // namespace tamsil::heap
