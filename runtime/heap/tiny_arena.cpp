#include "runtime/heap/tiny_arena.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>

#include "runtime/heap/heap_report.h"

namespace tamsil::heap {

TinyArena::TinyArena() {
  for (int c = 0; c < kClassCount; ++c) classes_[std::size_t(c)].blockSize = kBlockSizes[std::size_t(c)];
  auto* range = static_cast<std::byte*>(ReserveRange(tiny::kReservation));
  // The state map's pages appear, zero, as they are first touched.
  if (!range || !CommitRange(range + tiny::kStateMapOffset, tiny::kReservation - tiny::kStateMapOffset)) {
    const int code = errno;
    char line[64];
    std::snprintf(line, sizeof line, "Memory failed: %lx", static_cast<unsigned long>(code));
    TraceLine(line);
    ReleaseRange(range, tiny::kReservation);
    return;
  }
  place_.base = reinterpret_cast<std::uintptr_t>(range);
}

TinyArena::~TinyArena() {
  if (!place_.exists()) return;
  unpoison(place_.blockAt(0), committed_);
  ReleaseRange(place_.blockAt(0), tiny::kReservation);
}

bool TinyArena::carvePage(int sizeClass) {
  if (!place_.exists() || committed_ + kPageSize > kReservedSize) return false;
  const auto page = std::uint32_t(committed_);
  if (!CommitRange(place_.blockAt(page), kPageSize)) return false;
  committed_ += kPageSize;
  SizeClass& cls = classes_[std::size_t(sizeClass)];
  *static_cast<std::uint32_t*>(place_.blockAt(page)) = std::uint32_t(sizeClass);
  // Chained from the highest block down, so the page is handed out from its start.
  const std::uint32_t size = cls.blockSize;
  for (std::uint32_t at = (kPageSize / size - 1) * size; at >= size; at -= size) {
    const std::uint32_t offset = page + at;
    place_.link(offset) = cls.head;
    cls.head = offset;
    place_.storeState(offset, tiny::freeState(std::uint32_t(sizeClass)));
    tiny::expose(place_.blockAt(offset), size, tiny::kLinkSpan);
  }
  return true;
}

void TinyArena::releaseAll(TinyCache& cache, int sizeClass) {
  const auto c = std::size_t(sizeClass);
  std::array<std::uint32_t, TinyCache::kLargestFill + TinyCache::kFreedCapacity> offsets;
  std::size_t count = 0;
  for (std::uint32_t* head : {&cache.heads[c], &cache.freedHeads[c]}) {
    for (; *head && count < offsets.size(); *head = place_.link(*head)) offsets[count++] = *head;
  }
  // A cache holds no more than that; anything beyond goes back as it is.
  release(cache.heads[c], cache.counts[c], sizeClass);
  release(cache.freedHeads[c], cache.freedCounts[c], sizeClass);
  cache.counts[c] = cache.freedCounts[c] = 0;
  // Put in front from the highest down, so the list starts with the lowest.
  std::sort(offsets.begin(), offsets.begin() + std::ptrdiff_t(count), std::greater<>());
  SizeClass& cls = classes_[c];
  for (std::size_t i = 0; i < count; ++i) {
    place_.link(offsets[i]) = cls.head;
    cls.head = offsets[i];
  }
}

void* TinyArena::allocateFromNewPage(std::size_t n) { return carvePage(classFor(n)) ? take(n) : nullptr; }

std::uint32_t TinyArena::blockSizeOf(const void* p) const {
  const std::uintptr_t offset = place_.offsetOf(p);
  if (offset >= committed_ || offset % 4) return 0;
  const std::uint8_t state = place_.loadState(offset) & ~tiny::kFreeBit;
  return state ? kBlockSizes[state - 1u] : 0;
}

bool TinyArena::isFree(const void* p) const { return blockSizeOf(p) && (place_.loadState(place_.offsetOf(p)) & tiny::kFreeBit); }

void TinyArena::reportBadFree(void* p) const {
  const bool block = blockSizeOf(p) != 0;
  ReportCorruption(block ? HeapError::FreedTwice : HeapError::CorruptBlock, p);
}

}  // namespace tamsil::heap
