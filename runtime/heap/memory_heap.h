// One heap: the tiny-block arena and the large mappings behind one critical section, the medium
// regions in shards behind one each. No path holds two of these locks at once. The process heap
// of heap.h is one of these; tests make their own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/heap/heap_lock.h"
#include "runtime/heap/large_blocks.h"
#include "runtime/heap/medium_cache.h"
#include "runtime/heap/medium_shards.h"
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

  // `mediumReservation` bounds the address space of the medium regions (a power of two).
  explicit Heap(std::size_t mediumReservation = MediumShards::kLargestReservation) : medium_(mediumReservation) {}
  Heap(const Heap&) = delete;
  Heap& operator=(const Heap&) = delete;

  // Tiny requests are served here, inline; everything else by the out-of-line paths.
  void* allocate(std::size_t n, std::uint8_t flag = 0) {
    if (flag == 0 && n - 1 < TinyArena::kLargestBlock) {
      HeapGuard guard(lock_);
      if (void* p = tiny_.allocate(n)) return p;
    }
    return allocateBeyondTiny(n, flag);
  }
  void* allocateZeroed(std::size_t count, std::size_t size);
  // `flag` marks the block handed out (an alias when the alignment is above 16).
  void* allocateAligned(std::size_t n, std::size_t alignment, std::uint8_t flag = 0);
  void* reallocate(void* p, std::size_t n);
  void free(void* p) {
    if (tiny_.contains(p)) {
      HeapGuard guard(lock_);
      tiny_.free(p);
    } else {
      freeBeyondTiny(p);
    }
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
  // As allocate and free, through the calling thread's cache of medium blocks (which serves this
  // heap alone): a medium request whose class holds a block takes it, a sound medium block whose
  // class is empty stays there, both without a lock. Anything else takes the full path.
  void* allocate(MediumCache& cache, std::size_t n) {
    if (n > TinyArena::kLargestBlock && n <= kMediumLimit) {
      std::byte*& slot = cache.blocks[std::size_t(MediumCache::classFor(MediumBlocks::blockSizeFor(n)))];
      if (std::byte* p = slot) {
        slot = nullptr;
        MediumBlocks::takeCached(p, n);
        return p;
      }
    }
    return allocateBeyondCache(cache, n);
  }
  void free(MediumCache& cache, void* p);
  // Gives every block of `cache` back to its shard.
  void flush(MediumCache& cache);
  BlockInfo inspect(const void* p);
  // The bytes a block may use (at least what was asked for); 0 for no block in use.
  std::size_t usableSize(const void* p);

 private:
  // Medium and large requests (and tiny ones the arena cannot serve); takes the locks it needs.
  void* allocateBeyondTiny(std::size_t n, std::uint8_t flag) {
    if (n - 1 < kMediumLimit) return medium_.allocate(n, flag);
    return allocateLarge(n, flag);
  }
  void* allocateLarge(std::size_t n, std::uint8_t flag);
  // A request the cache could not serve; when the shards have no room left, the cache's blocks go
  // back to them and it is tried again.
  void* allocateBeyondCache(MediumCache& cache, std::size_t n);
  // Gives the class for `n` bytes of `cache`, which has no block to take, its freed blocks or
  // else a batch from the arena, and answers one of them.
  void* refill(TinyCache& cache, std::size_t n);
  void freeBeyondTiny(void* p);
  // Under the shard's lock: frees a medium block or an alias inside one.
  void freeMedium(MediumShards::Shard& shard, std::byte* p);
  // Under the heap's lock: frees a large block or an alias inside one.
  void freeLarge(std::byte* p);
  // The bytes from an alias to the end of its real block, checked under the lock that guards the
  // real block; 0 after a report.
  std::size_t aliasedBytes(MediumShards::Shard& shard, std::byte* alias);
  std::size_t aliasedBytes(std::byte* alias);
  void* reallocateTiny(void* p, std::size_t n);
  void* reallocateMedium(MediumShards::Shard& shard, std::byte* p, std::size_t n);
  void* reallocateLarge(std::byte* p, std::size_t n);
  // Copies what fits of the `old` bytes at `p` to a new block of `n` bytes (aligned to
  // `alignment` when that is not 0), then frees `p`; null, with `p` kept, when there is no room.
  void* move(std::byte* p, std::size_t old, std::size_t n, std::uint8_t flag, std::size_t alignment);
  // Under the shard's lock, and under the heap's lock, respectively.
  BlockInfo inspectMedium(MediumShards::Shard& shard, const void* p);
  BlockInfo inspectLocked(const void* p);

  HeapLock lock_;
  TinyArena tiny_;
  MediumShards medium_;
  LargeBlocks large_;
};

}  // namespace tamsil::heap
