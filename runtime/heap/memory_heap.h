// One heap: the tiny-block arena, the medium regions and the large mappings behind one critical
// section. The process heap of heap.h is one of these; tests make their own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/heap/heap_lock.h"
#include "runtime/heap/large_blocks.h"
#include "runtime/heap/medium_blocks.h"
#include "runtime/heap/tiny_arena.h"
#include "runtime/heap/tiny_cache.h"

namespace tamsil::heap {

enum class BlockKind : std::uint8_t { None, Tiny, TinyFree, Medium, MediumFree, Large, Alias };

// What the heap knows of an address: tiny blocks give their class size, medium and large blocks
// their size with the header, an aligned alias its alignment.
struct BlockInfo {
  BlockKind kind = BlockKind::None;
  std::size_t size = 0;
  std::uint8_t flag = 0;
};

class Heap {
 public:
  // The largest request a medium block serves; larger ones get a mapping of their own.
  static constexpr std::size_t kMediumLimit = 0xD000 - 8;
  // Reallocations up to this size stay in place when the neighbours allow.
  static constexpr std::size_t kInPlaceLimit = 0xD000;
  // Block sizes are 32-bit words.
  static constexpr std::size_t kLargestRequest = 0xFFFFFFF0;

  Heap() = default;
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // Tiny requests are served here, inline; everything else by the out-of-line paths.
  void* allocate(std::size_t n, std::uint8_t flag = 0) {
    HeapGuard guard(lock_);
    if (flag == 0 && n - 1 < TinyArena::kLargestBlock) {
      if (void* p = tiny_.allocate(n)) return p;
    }
    return allocateLocked(n, flag);
  }
  void* allocateZeroed(std::size_t count, std::size_t size);
  void* allocateAligned(std::size_t n, std::size_t alignment);
  void* reallocate(void* p, std::size_t n);
  void free(void* p) {
    HeapGuard guard(lock_);
    if (tiny_.contains(p)) tiny_.free(p);
    else freeLocked(p);
  }
  // As allocate and free, through the calling thread's cache of tiny blocks (which serves this
  // heap alone): a tiny block comes from and goes to the cache without the lock, and only a refill
  // of an empty class or the trimming of a full one takes it. Anything else, and a pointer that
  // is no tiny block in use, takes the full path (which reports it).
  void* allocate(TinyCache& cache, std::size_t n) {
    if (n - 1 >= TinyArena::kLargestBlock) return allocate(n);
    void* p = cache.take(tiny_.place(), n);
    return p ? p : refill(cache, n);
  }
  void free(TinyCache& cache, void* p) {
    if (!cache.give(tiny_.place(), p)) freeBeyondCache(cache, p);
  }
  // What free(cache, p) does when the cache cannot take `p` at once: for a block in use whose
  // class has no room, the class's freed blocks become the ones to allocate when those are used
  // up, else go back to the arena, and the cache takes the block; anything else takes the full
  // path.
  void freeBeyondCache(TinyCache& cache, void* p);
  // Where the tiny arena lies, for caches served without the heap's object.
  const tiny::ArenaPlace& tinyPlace() const { return tiny_.place(); }
  // Gives every block of `cache` back to the arena.
  void flush(TinyCache& cache);
  BlockInfo inspect(const void* p);
  // The bytes a block may use (at least what was asked for); 0 for no block in use.
  std::size_t usableSize(const void* p);

 private:
  void* allocateLocked(std::size_t n, std::uint8_t flag);
  // Gives the class for `n` bytes of `cache`, which has no block to take, its freed blocks or
  // else a batch from the arena, and answers one of them.
  void* refill(TinyCache& cache, std::size_t n);
  void* allocateAlignedLocked(std::size_t n, std::size_t alignment, std::uint8_t flag);
  void freeLocked(void* p);
  // The real block behind an alias, checked; null after a report.
  std::byte* realBlockOf(std::byte* alias);
  void freeAlias(std::byte* alias);
  void* reallocateTiny(void* p, std::size_t n);
  void* reallocateAlias(std::byte* alias, std::size_t n);
  // Moves a checked medium or large block to a new one of `n` bytes.
  void* move(std::byte* p, std::size_t n);
  bool isAlias(const void* p) const;
  BlockInfo inspectLocked(const void* p);

  HeapLock lock_;
  TinyArena tiny_;
  MediumBlocks medium_;
  LargeBlocks large_;
};

}  // namespace tamsil::heap
