#include "runtime/heap/tiny_arena.h"

#include <cerrno>
#include <cstdio>

#include "runtime/heap/heap_report.h"

namespace tamsil::heap {
namespace {

constexpr std::size_t kStateMapSize = TinyArena::kReservedSize / 4;

}  // namespace

TinyArena::TinyArena() {
  for (int c = 0; c < kClassCount; ++c) classes_[std::size_t(c)].blockSize = kBlockSizes[std::size_t(c)];
  void* arena = ReserveRange(kReservedSize);
  void* states = arena ? MapMemory(kStateMapSize) : nullptr;
  if (!arena || !states) {
    const int code = errno;
    char line[64];
    std::snprintf(line, sizeof line, "Memory failed: %lx", static_cast<unsigned long>(code));
    TraceLine(line);
    ReleaseRange(arena, kReservedSize);
    return;
  }
  base_ = reinterpret_cast<std::uintptr_t>(arena);
  reserved_ = kReservedSize;
  states_ = static_cast<std::uint8_t*>(states);
}

TinyArena::~TinyArena() {
  unpoison(reinterpret_cast<void*>(base_), committed_);
  ReleaseRange(reinterpret_cast<void*>(base_), reserved_);
  ReleaseRange(states_, states_ ? kStateMapSize : 0);
}

bool TinyArena::carvePage(int sizeClass) {
  if (committed_ + kPageSize > reserved_) return false;
  const auto page = std::uint32_t(committed_);
  if (!CommitRange(reinterpret_cast<void*>(base_ + page), kPageSize)) return false;
  committed_ += kPageSize;
  SizeClass& cls = classes_[std::size_t(sizeClass)];
  *reinterpret_cast<std::uint32_t*>(base_ + page) = std::uint32_t(sizeClass);
  // Chained from the highest block down, so the page is handed out from its start.
  const std::uint32_t size = cls.blockSize;
  for (std::uint32_t at = (kPageSize / size - 1) * size; at >= size; at -= size) {
    const std::uint32_t offset = page + at;
    link(offset) = cls.head;
    cls.head = offset;
    stateAt(offset) = std::uint8_t(sizeClass + 1) | kFreeBit;
    expose(reinterpret_cast<void*>(base_ + offset), size, kLinkSpan);
  }
  return true;
}

void* TinyArena::allocateFromNewPage(std::size_t n) { return carvePage(classFor(n)) ? take(n) : nullptr; }

std::uint32_t TinyArena::blockSizeOf(const void* p) const {
  const std::uintptr_t offset = address(p) - base_;
  if (offset >= committed_ || offset % 4) return 0;
  const std::uint8_t state = stateAt(std::uint32_t(offset)) & ~kFreeBit;
  return state ? kBlockSizes[state - 1u] : 0;
}

bool TinyArena::isFree(const void* p) const { return blockSizeOf(p) && (stateAt(std::uint32_t(address(p) - base_)) & kFreeBit); }

void TinyArena::reportBadFree(void* p) const {
  const bool block = blockSizeOf(p) != 0;
  ReportCorruption(block ? HeapError::FreedTwice : HeapError::CorruptBlock, p);
}

}  // namespace tamsil::heap
