#include "runtime/heap/tiny_arena.h"

#include <cerrno>
#include <cstdio>

#include "runtime/heap/heap_report.h"
#include "runtime/heap/poison.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {
namespace {

constexpr std::size_t kBitmapSize = TinyArena::kReservedSize / 4 / 8;

// Blocks that start on 8 bytes can be poisoned past their link; the 4- and 12-byte classes
// share sanitizer granules between neighbours and stay unpoisoned.
bool poisonable(std::uint32_t blockSize) { return blockSize % 8 == 0; }

// What stays addressable of a free block: the sanitizer granule that holds its link.
constexpr std::size_t kLinkSpan = 8;

}  // namespace

TinyArena::TinyArena() {
  for (int c = 0; c < kClassCount; ++c) classes_[std::size_t(c)].blockSize = kBlockSizes[std::size_t(c)];
  void* arena = ReserveRange(kReservedSize);
  void* bits = arena ? MapMemory(kBitmapSize) : nullptr;
  if (!arena || !bits) {
    const int code = errno;
    char line[64];
    std::snprintf(line, sizeof line, "Memory failed: %lx", static_cast<unsigned long>(code));
    TraceLine(line);
    ReleaseRange(arena, kReservedSize);
    return;
  }
  base_ = reinterpret_cast<std::uintptr_t>(arena);
  reserved_ = kReservedSize;
  freeBits_ = static_cast<std::uint64_t*>(bits);
}

TinyArena::~TinyArena() {
  unpoison(reinterpret_cast<void*>(base_), committed_);
  ReleaseRange(reinterpret_cast<void*>(base_), reserved_);
  ReleaseRange(freeBits_, freeBits_ ? kBitmapSize : 0);
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
    flipFreeBit(offset);
    expose(reinterpret_cast<void*>(base_ + offset), size, kLinkSpan);
  }
  return true;
}

void TinyArena::expose(void* p, std::uint32_t blockSize, std::size_t n) {
  unpoison(p, blockSize);
  if (poisonable(blockSize)) poison(static_cast<char*>(p) + n, blockSize - n);
}

void* TinyArena::allocate(std::size_t n) {
  const int sizeClass = classFor(n);
  SizeClass& cls = classes_[std::size_t(sizeClass)];
  if (!cls.head && !carvePage(sizeClass)) return nullptr;
  const std::uint32_t offset = cls.head;
  cls.head = link(offset);
  flipFreeBit(offset);
  void* block = reinterpret_cast<void*>(base_ + offset);
  expose(block, cls.blockSize, n);
  return block;
}

std::uint32_t TinyArena::blockSizeOf(const void* p) const {
  const std::uintptr_t offset = address(p) - base_;
  if (offset >= committed_) return 0;
  const std::uint32_t sizeClass = *reinterpret_cast<const std::uint32_t*>(base_ + (offset & ~(kPageSize - 1)));
  if (sizeClass >= std::uint32_t(kClassCount)) return 0;
  const std::uint32_t size = kBlockSizes[sizeClass];
  const std::uintptr_t inPage = offset & (kPageSize - 1);
  return inPage >= size && inPage % size == 0 ? size : 0;
}

bool TinyArena::isFree(const void* p) const { return blockSizeOf(p) && freeBit(std::uint32_t(address(p) - base_)); }

bool TinyArena::free(void* p) {
  const std::uint32_t size = blockSizeOf(p);
  if (!size) {
    ReportCorruption(HeapError::CorruptBlock, p);
    return false;
  }
  const auto offset = std::uint32_t(address(p) - base_);
  if (freeBit(offset)) {
    ReportCorruption(HeapError::FreedTwice, p);
    return false;
  }
  SizeClass& cls = classes_[std::size_t(classFor(size))];
  expose(p, size, kLinkSpan);
  link(offset) = cls.head;
  cls.head = offset;
  flipFreeBit(offset);
  return true;
}

}  // namespace tamsil::heap
