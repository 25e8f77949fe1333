#include "runtime/heap/memory_heap.h"

#include <algorithm>
#include <cstring>

#include "runtime/heap/heap_report.h"
#include "runtime/heap/poison.h"

namespace tamsil::heap {
namespace {

std::byte* bytes(void* p) { return static_cast<std::byte*>(p); }

}  // namespace

void* Heap::allocateLocked(std::size_t n, std::uint8_t flag) {
  if (n == 0 || n > kLargestRequest) return nullptr;
  if (flag == 0 && n <= TinyArena::kLargestBlock) {
    if (void* p = tiny_.allocate(n)) return p;
  }
  return n > kMediumLimit ? large_.allocate(n, flag) : medium_.allocate(n, flag);
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
    if (cache.freedCounts[c] >= TinyCache::kBatch && cache.heads[c]) {
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
  for (int c = 0; c < TinyArena::kClassCount; ++c) {
    const auto i = std::size_t(c);
    tiny_.release(cache.heads[i], cache.counts[i], c);
    tiny_.release(cache.freedHeads[i], cache.freedCounts[i], c);
  }
}

void* Heap::allocateZeroed(std::size_t count, std::size_t size) {
  if (count == 0 || size == 0 || count > kLargestRequest / size) return nullptr;
  void* p = allocate(count * size);
  if (p) std::memset(p, 0, count * size);
  return p;
}

void* Heap::allocateAligned(std::size_t n, std::size_t alignment) {
  HeapGuard guard(lock_);
  return allocateAlignedLocked(n, alignment, 0);
}

void* Heap::allocateAlignedLocked(std::size_t n, std::size_t alignment, std::uint8_t flag) {
  if (n == 0 || alignment == 0 || (alignment & (alignment - 1)) || alignment > kLargestRequest - n) return nullptr;
  // Every block is aligned for what its size can hold: a size rounded to the alignment is enough.
  if (alignment <= kAlignment) return allocateLocked(roundUp(n, alignment), flag);
  std::byte* real = bytes(allocateLocked(n + alignment, 0));
  if (!real) return nullptr;
  auto* alias = reinterpret_cast<std::byte*>(roundUp(reinterpret_cast<std::uintptr_t>(real) + kHeaderSize, alignment));
  setPointerAt(alias - kHeaderSize, real);
  tagOf(alias) = kTagAlias;
  flagOf(alias) = flag;
  setSize(alias, alignment);
  if (large_.isBlock(real) && !large_.addAlias(alias)) {
    large_.release(real);
    return nullptr;
  }
  return alias;
}

bool Heap::isAlias(const void* p) const {
  if (medium_.contains(p)) return medium_.hasHeader(p) && tagOf(bytes(const_cast<void*>(p))) == kTagAlias;
  return large_.isAlias(p);
}

std::byte* Heap::realBlockOf(std::byte* alias) {
  std::byte* real = pointerAt<std::byte>(alias - kHeaderSize);
  const bool inside = real < alias;
  if (inside && medium_.contains(real) && medium_.hasHeader(real)) {
    if (!medium_.checkUsed(real)) return nullptr;
    if (alias < real + MediumBlocks::usableSize(real)) return real;
  } else if (inside && large_.isBlock(real)) {
    if (!large_.check(real)) return nullptr;
    if (alias < real + LargeBlocks::usableSize(real)) return real;
  }
  ReportCorruption(HeapError::CorruptBlock, alias);
  return nullptr;
}

void Heap::freeAlias(std::byte* alias) {
  std::byte* real = realBlockOf(alias);
  if (!real) return;
  if (medium_.contains(real)) {
    medium_.free(real);
    // Like every header, the alias's stays readable, marked free: a second free of the alias is
    // known as such.
    unpoison(alias - kHeaderSize, kHeaderSize);
    tagOf(alias) = kTagMediumFree;
  } else {
    large_.forgetAlias(alias);
    large_.release(real);
  }
}

void Heap::freeLocked(void* p) {
  if (!p) return;
  if (tiny_.contains(p)) {
    tiny_.free(p);
  } else if (isAlias(p)) {
    freeAlias(bytes(p));
  } else if (medium_.contains(p)) {
    if (medium_.checkUsed(bytes(p))) medium_.free(bytes(p));
  } else if (large_.isBlock(p)) {
    if (large_.check(bytes(p))) large_.release(bytes(p));
  } else {
    ReportCorruption(HeapError::CorruptBlock, p);
  }
}

void* Heap::reallocateTiny(void* p, std::size_t n) {
  const std::uint32_t size = tiny_.blockSizeOf(p);
  if (!size || tiny_.isFree(p)) {
    ReportCorruption(size ? HeapError::FreedTwice : HeapError::CorruptBlock, p);
    return nullptr;
  }
  if (n <= TinyArena::kLargestBlock && TinyArena::classFor(n) == TinyArena::classFor(size)) {
    tiny::expose(p, size, n);
    return p;
  }
  void* q = allocateLocked(n, 0);
  if (!q) return nullptr;  // the old block stays, as for medium blocks
  unpoison(p, size);
  std::memcpy(q, p, std::min<std::size_t>(size, n));
  tiny_.free(p);
  return q;
}

void* Heap::reallocateAlias(std::byte* alias, std::size_t n) {
  std::byte* real = realBlockOf(alias);
  if (!real) return nullptr;
  const std::size_t usable = medium_.contains(real) ? MediumBlocks::usableSize(real) : LargeBlocks::usableSize(real);
  void* q = allocateAlignedLocked(n, sizeOf(alias), flagOf(alias));
  if (!q) return nullptr;
  const std::size_t old = std::size_t(real + usable - alias);
  unpoison(alias, old);
  std::memcpy(q, alias, std::min(old, n));
  freeAlias(alias);
  return q;
}

void* Heap::move(std::byte* p, std::size_t n) {
  const bool medium = medium_.contains(p);
  const std::size_t old = medium ? MediumBlocks::usableSize(p) : LargeBlocks::usableSize(p);
  void* q = allocateLocked(n, flagOf(p));
  if (!q) return nullptr;
  unpoison(p, old);
  std::memcpy(q, p, std::min(old, n));
  if (medium) medium_.free(p);
  else large_.release(p);
  return q;
}

void* Heap::reallocate(void* p, std::size_t n) {
  HeapGuard guard(lock_);
  if (!p) return allocateLocked(n, 0);
  if (n == 0) {
    freeLocked(p);
    return nullptr;
  }
  if (tiny_.contains(p)) return reallocateTiny(p, n);
  if (isAlias(p)) return reallocateAlias(bytes(p), n);
  std::byte* block = bytes(p);
  if (medium_.contains(p)) {
    if (!medium_.checkUsed(block)) return nullptr;
    if (n > kLargestRequest) return nullptr;
    if (n <= kInPlaceLimit) {
      const MediumBlocks::Resize result = medium_.resize(block, n);
      if (result != MediumBlocks::Resize::Moved) return result == MediumBlocks::Resize::Done ? p : nullptr;
    }
    return move(block, n);
  }
  if (!large_.isBlock(p)) {
    ReportCorruption(HeapError::CorruptBlock, p);
    return nullptr;
  }
  if (!large_.check(block) || n > kLargestRequest) return nullptr;
  return move(block, n);
}

BlockInfo Heap::inspect(const void* p) {
  HeapGuard guard(lock_);
  return inspectLocked(p);
}

BlockInfo Heap::inspectLocked(const void* p) {
  std::byte* b = bytes(const_cast<void*>(p));
  if (tiny_.contains(p)) {
    const std::uint32_t size = tiny_.blockSizeOf(p);
    if (!size) return {};
    return {tiny_.isFree(p) ? BlockKind::TinyFree : BlockKind::Tiny, size, 0};
  }
  if (medium_.contains(p)) {
    if (!medium_.hasHeader(p)) return {};
    switch (tagOf(b)) {
      case kTagMediumUsed: return {BlockKind::Medium, sizeOf(b), flagOf(b)};
      case kTagMediumFree: return {BlockKind::MediumFree, sizeOf(b), flagOf(b)};
      case kTagAlias: return {BlockKind::Alias, sizeOf(b), flagOf(b)};
      default: return {};
    }
  }
  if (large_.isBlock(p)) return {BlockKind::Large, sizeOf(b), flagOf(b)};
  if (large_.isAlias(p)) return {BlockKind::Alias, sizeOf(b), flagOf(b)};
  return {};
}

std::size_t Heap::usableSize(const void* p) {
  HeapGuard guard(lock_);
  const BlockInfo info = inspectLocked(p);
  switch (info.kind) {
    case BlockKind::Tiny: return info.size;
    case BlockKind::Medium:
    case BlockKind::Large: return info.size - kHeaderSize;
    case BlockKind::Alias: {
      std::byte* real = pointerAt<std::byte>(static_cast<const std::byte*>(p) - kHeaderSize);
      const std::size_t usable = medium_.contains(real) ? MediumBlocks::usableSize(real) : LargeBlocks::usableSize(real);
      return std::size_t(real + usable - static_cast<const std::byte*>(p));
    }
    default: return 0;
  }
}

}  // namespace tamsil::heap
