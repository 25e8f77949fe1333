#include "runtime/heap/memory_heap.h"

#include <algorithm>
#include <cstring>

#include "runtime/heap/heap_report.h"
#include "runtime/heap/poison.h"

namespace tamsil::heap {
namespace {

std::byte* bytes(void* p) { return static_cast<std::byte*>(p); }

}  // namespace

void* Heap::allocateLarge(std::size_t n, std::uint8_t flag) {
  if (n == 0 || n > kLargestRequest) return nullptr;
  HeapGuard guard(lock_);
  return large_.allocate(n, flag);
}

void* Heap::refill(TinyCache& cache, std::size_t n) {
  const int sizeClass = TinyArena::classFor(n);
  if (!cache.reuseFreed(std::uint32_t(sizeClass))) {
    HeapGuard guard(lock_);
    tiny_.fill(cache, sizeClass, TinyCache::kBatch);
  }
  void* p = cache.take(tiny_.place(), n);
  return p ? p : allocate(n);  // the arena is used up: a medium block
}

void Heap::freeBeyondCache(TinyCache& cache, void* p) {
  const int sizeClass = tiny_.classInUse(p);
  if (sizeClass >= 0) {
    const auto c = std::size_t(sizeClass);
    if (cache.freedCounts[c] >= TinyCache::kFreedCapacity && cache.heads[c]) {
      HeapGuard guard(lock_);
      tiny_.release(cache.freedHeads[c], cache.freedCounts[c], sizeClass);
    }
    cache.reuseFreed(std::uint32_t(sizeClass));
    if (cache.give(tiny_.place(), p)) return;
  }
  if (p) free(p);
}

void Heap::flush(TinyCache& cache) {
  HeapGuard guard(lock_);
  for (int c = 0; c < TinyArena::kClassCount; ++c) tiny_.releaseAll(cache, c);
}

void* Heap::allocateBeyondCache(MediumCache& cache, std::size_t n) {
  if (void* p = allocate(n)) return p;
  flush(cache);
  return allocate(n);
}

void Heap::free(MediumCache& cache, void* p) {
  MediumShards::Shard* shard = medium_.shardOf(p);
  auto* b = bytes(p);
  if (shard && shard->blocks.contains(b) && shard->blocks.soundInUse(b) && MediumCache::hasClass(sizeOf(b))) {
    std::byte*& slot = cache.blocks[std::size_t(MediumCache::classOf(sizeOf(b)))];
    if (!slot) {
      MediumBlocks::markCached(b);
      slot = b;
      return;
    }
  }
  free(p);
}

void Heap::flush(MediumCache& cache) {
  for (std::byte*& p : cache.blocks) {
    if (!p) continue;
    MediumShards::Shard* shard = medium_.shardOf(p);
    HeapGuard guard(shard->lock);
    shard->blocks.freeCached(p);
    p = nullptr;
  }
}

void* Heap::allocateZeroed(std::size_t count, std::size_t size) {
  if (count == 0 || size == 0 || count > kLargestRequest / size) return nullptr;
  void* p = allocate(count * size);
  if (p) std::memset(p, 0, count * size);
  return p;
}

void* Heap::allocateAligned(std::size_t n, std::size_t alignment, std::uint8_t flag) {
  if (n == 0 || alignment == 0 || (alignment & (alignment - 1)) || alignment > kLargestRequest - n) return nullptr;
  // Every block is aligned for what its size can hold: a size rounded to the alignment is enough.
  if (alignment <= kAlignment) return allocate(roundUp(n, alignment), flag);
  // Too large for a tiny block: the alias header lies in the payload of a block only the caller
  // knows of yet, so it is written without a lock.
  std::byte* real = bytes(allocate(n + alignment, 0));
  if (!real) return nullptr;
  auto* alias = reinterpret_cast<std::byte*>(roundUp(reinterpret_cast<std::uintptr_t>(real) + kHeaderSize, alignment));
  setPointerAt(alias - kHeaderSize, real);
  tagOf(alias) = kTagAlias;
  flagOf(alias) = flag;
  setSize(alias, alignment);
  if (medium_.shardOf(real)) return alias;
  HeapGuard guard(lock_);
  if (!large_.addAlias(alias)) {
    large_.release(real);
    return nullptr;
  }
  return alias;
}

std::size_t Heap::aliasedBytes(MediumShards::Shard& shard, std::byte* alias) {
  std::byte* real = pointerAt<std::byte>(alias - kHeaderSize);
  if (real < alias && shard.blocks.contains(real) && shard.blocks.hasHeader(real)) {
    if (!shard.blocks.checkUsed(real)) return 0;
    if (alias < real + MediumBlocks::usableSize(real)) return std::size_t(real + MediumBlocks::usableSize(real) - alias);
  }
  ReportCorruption(HeapError::CorruptBlock, alias);
  return 0;
}

std::size_t Heap::aliasedBytes(std::byte* alias) {
  std::byte* real = pointerAt<std::byte>(alias - kHeaderSize);
  if (real < alias && large_.isBlock(real)) {
    if (!large_.check(real)) return 0;
    if (alias < real + LargeBlocks::usableSize(real)) return std::size_t(real + LargeBlocks::usableSize(real) - alias);
  }
  ReportCorruption(HeapError::CorruptBlock, alias);
  return 0;
}

inline void Heap::freeMedium(MediumShards::Shard& shard, std::byte* p) {
  MediumBlocks& blocks = shard.blocks;
  if (blocks.contains(p) && blocks.hasHeader(p) && tagOf(p) == kTagAlias) {
    if (!aliasedBytes(shard, p)) return;
    blocks.free(pointerAt<std::byte>(p - kHeaderSize));
    // Like every header, the alias's stays readable, marked free: a second free of the alias is
    // known as such.
    unpoison(p - kHeaderSize, kHeaderSize);
    tagOf(p) = kTagMediumFree;
  } else if (!blocks.contains(p)) {
    ReportCorruption(HeapError::CorruptBlock, p);
  } else if (blocks.checkUsed(p)) {
    blocks.free(p);
  }
}

void Heap::freeBeyondTiny(void* p) {
  if (!p) return;
  if (MediumShards::Shard* shard = medium_.shardOf(p)) {
    HeapGuard guard(shard->lock);
    freeMedium(*shard, bytes(p));
  } else {
    HeapGuard guard(lock_);
    freeLarge(bytes(p));
  }
}

void Heap::freeLarge(std::byte* p) {
  if (large_.isAlias(p)) {
    if (!aliasedBytes(p)) return;
    large_.forgetAlias(p);
    large_.release(pointerAt<std::byte>(p - kHeaderSize));
  } else if (large_.isBlock(p)) {
    if (large_.check(p)) large_.release(p);
  } else {
    ReportCorruption(HeapError::CorruptBlock, p);
  }
}

void* Heap::move(std::byte* p, std::size_t old, std::size_t n, std::uint8_t flag, std::size_t alignment) {
  void* q = alignment ? allocateAligned(n, alignment, flag) : allocate(n, flag);
  if (!q) return nullptr;
  // The old block is the caller's until it is freed below: no lock is needed to read it.
  unpoison(p, old);
  std::memcpy(q, p, std::min(old, n));
  free(p);
  return q;
}

void* Heap::reallocateTiny(void* p, std::size_t n) {
  std::uint32_t size = 0;
  {
    HeapGuard guard(lock_);
    size = tiny_.blockSizeOf(p);
    if (!size || tiny_.isFree(p)) {
      ReportCorruption(size ? HeapError::FreedTwice : HeapError::CorruptBlock, p);
      return nullptr;
    }
    if (n <= TinyArena::kLargestBlock && TinyArena::classFor(n) == TinyArena::classFor(size)) {
      tiny::expose(p, size, n);
      return p;
    }
  }
  return move(bytes(p), size, n, 0, 0);  // the old block stays when there is no room
}

void* Heap::reallocateMedium(MediumShards::Shard& shard, std::byte* p, std::size_t n) {
  std::size_t old = 0;
  std::uint8_t flag = 0;
  std::size_t alignment = 0;
  {
    HeapGuard guard(shard.lock);
    MediumBlocks& blocks = shard.blocks;
    if (blocks.contains(p) && blocks.hasHeader(p) && tagOf(p) == kTagAlias) {
      if (!(old = aliasedBytes(shard, p))) return nullptr;
      alignment = sizeOf(p);
    } else {
      if (!blocks.contains(p)) {
        ReportCorruption(HeapError::CorruptBlock, p);
        return nullptr;
      }
      if (!blocks.checkUsed(p) || n > kLargestRequest) return nullptr;
      if (n <= kInPlaceLimit) {
        const MediumBlocks::Resize result = blocks.resize(p, n);
        if (result != MediumBlocks::Resize::Moved) return result == MediumBlocks::Resize::Done ? p : nullptr;
      }
      old = MediumBlocks::usableSize(p);
    }
    flag = flagOf(p);
  }
  return move(p, old, n, flag, alignment);
}

void* Heap::reallocateLarge(std::byte* p, std::size_t n) {
  std::size_t old = 0;
  std::size_t alignment = 0;
  std::uint8_t flag = 0;
  {
    HeapGuard guard(lock_);
    if (large_.isAlias(p)) {
      if (!(old = aliasedBytes(p))) return nullptr;
      alignment = sizeOf(p);
    } else {
      if (!large_.isBlock(p)) {
        ReportCorruption(HeapError::CorruptBlock, p);
        return nullptr;
      }
      if (!large_.check(p) || n > kLargestRequest) return nullptr;
      old = LargeBlocks::usableSize(p);
    }
    flag = flagOf(p);
  }
  return move(p, old, n, flag, alignment);
}

void* Heap::reallocate(void* p, std::size_t n) {
  if (!p) return allocate(n);
  if (n == 0) {
    free(p);
    return nullptr;
  }
  if (tiny_.contains(p)) return reallocateTiny(p, n);
  if (MediumShards::Shard* shard = medium_.shardOf(p)) return reallocateMedium(*shard, bytes(p), n);
  return reallocateLarge(bytes(p), n);
}

BlockInfo Heap::inspect(const void* p) {
  if (MediumShards::Shard* shard = medium_.shardOf(p)) {
    HeapGuard guard(shard->lock);
    return inspectMedium(*shard, p);
  }
  HeapGuard guard(lock_);
  return inspectLocked(p);
}

BlockInfo Heap::inspectMedium(MediumShards::Shard& shard, const void* p) {
  std::byte* b = bytes(const_cast<void*>(p));
  if (!shard.blocks.contains(p) || !shard.blocks.hasHeader(p)) return {};
  switch (tagOf(b)) {
    case kTagMediumUsed: return {BlockKind::Medium, sizeOf(b), flagOf(b)};
    case kTagMediumFree:
    case kTagMediumCached: return {BlockKind::MediumFree, sizeOf(b), flagOf(b)};
    case kTagAlias: return {BlockKind::Alias, sizeOf(b), flagOf(b)};
    default: return {};
  }
}

BlockInfo Heap::inspectLocked(const void* p) {
  std::byte* b = bytes(const_cast<void*>(p));
  if (tiny_.contains(p)) {
    const std::uint32_t size = tiny_.blockSizeOf(p);
    if (!size) return {};
    return {tiny_.isFree(p) ? BlockKind::TinyFree : BlockKind::Tiny, size, 0};
  }
  if (large_.isBlock(p)) return {BlockKind::Large, sizeOf(b), flagOf(b)};
  if (large_.isAlias(p)) return {BlockKind::Alias, sizeOf(b), flagOf(b)};
  return {};
}

std::size_t Heap::usableSize(const void* p) {
  std::byte* b = bytes(const_cast<void*>(p));
  if (MediumShards::Shard* shard = medium_.shardOf(p)) {
    HeapGuard guard(shard->lock);
    const BlockInfo info = inspectMedium(*shard, p);
    if (info.kind == BlockKind::Medium) return info.size - kHeaderSize;
    if (info.kind != BlockKind::Alias) return 0;
    std::byte* real = pointerAt<std::byte>(b - kHeaderSize);
    return std::size_t(real + MediumBlocks::usableSize(real) - b);
  }
  HeapGuard guard(lock_);
  const BlockInfo info = inspectLocked(p);
  switch (info.kind) {
    case BlockKind::Tiny: return info.size;
    case BlockKind::Large: return info.size - kHeaderSize;
    case BlockKind::Alias: {
      std::byte* real = pointerAt<std::byte>(b - kHeaderSize);
      return std::size_t(real + LargeBlocks::usableSize(real) - b);
    }
    default: return 0;
  }
}

}  // namespace tamsil::heap
