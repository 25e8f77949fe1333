// Blocks of up to 32 bytes: six size classes carved out of 4 KiB pages of one reserved arena.
// Tiny blocks carry no header: the first 4 bytes of each page name the page's class, the first
// block starts at the offset of its own size (so every block is aligned as its size allows), and
// free blocks are chained by 32-bit offsets from the arena's start.
//
// A map beside the arena holds one byte per 4 arena bytes: for the start of a block its class
// and whether it is free, else 0. Freeing reads that one byte, so a block freed twice or a
// pointer into the middle of a block is reported instead of entering a free list, at the cost of
// one load.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/poison.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {

class TinyArena {
 public:
  static constexpr std::size_t kReservedSize = 0x8000000;  // 128 MiB
  static constexpr std::size_t kLargestBlock = 32;
  static constexpr int kClassCount = 6;
  static constexpr std::array<std::uint32_t, kClassCount> kBlockSizes{4, 8, 12, 16, 24, 32};

  // Reserves the arena; when refused, says so on the trace output and serves nothing.
  TinyArena();
  ~TinyArena();
  TinyArena(const TinyArena&) = delete;
  TinyArena& operator=(const TinyArena&) = delete;

  // The smallest class that holds `n` bytes, 1 <= n <= 32.
  static int classFor(std::size_t n) { return kClassOf[n]; }

  bool contains(const void* p) const { return address(p) - base_ < reserved_; }
  // A block for `n` bytes (1 <= n <= 32) from its class's free list; null when the list is empty.
  void* take(std::size_t n) {
    const int sizeClass = kClassOf[n];
    SizeClass& cls = classes_[std::size_t(sizeClass)];
    if (!cls.head) return nullptr;
    const std::uint32_t offset = cls.head;
    cls.head = link(offset);
    stateAt(offset) = std::uint8_t(sizeClass + 1);
    void* block = reinterpret_cast<void*>(base_ + offset);
    expose(block, cls.blockSize, n);
    return block;
  }
  // As take, carving a new page when the list is empty; null when the arena is used up.
  void* allocate(std::size_t n) {
    void* block = take(n);
    return block ? block : allocateFromNewPage(n);
  }
  // Makes the first `n` bytes of block `p` of size `blockSize` addressable and the rest not.
  static void expose(void* p, std::uint32_t blockSize, std::size_t n) {
    unpoison(p, blockSize);
    if (blockSize % 8 == 0) poison(static_cast<char*>(p) + n, blockSize - n);
  }
  // Puts `p` (inside the arena) back on its class's free list; false, changing nothing, when `p`
  // is no block in use.
  bool give(void* p) {
    const auto offset = std::uint32_t(address(p) - base_);
    std::uint8_t& state = stateAt(offset);
    if (!state || (state & kFreeBit) || offset % 4) return false;
    SizeClass& cls = classes_[std::size_t(state - 1)];
    expose(p, cls.blockSize, kLinkSpan);
    link(offset) = cls.head;
    cls.head = offset;
    state |= kFreeBit;
    return true;
  }
  // As give, reporting a double free or a foreign pointer.
  void free(void* p) {
    if (!give(p)) reportBadFree(p);
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

  // Built as the classes are registered: largest first, each for every size up to its own, so
  // every size ends with the smallest class that holds it.
  static constexpr std::array<std::uint8_t, kLargestBlock + 1> kClassOf = [] {
    std::array<std::uint8_t, kLargestBlock + 1> table{};
    for (int c = kClassCount - 1; c >= 0; --c)
      for (std::uint32_t n = 1; n <= kBlockSizes[std::size_t(c)]; ++n) table[n] = std::uint8_t(c);
    return table;
  }();
  // A block's state byte: its class + 1, with this bit while it is free.
  static constexpr std::uint8_t kFreeBit = 0x80;
  // What stays addressable of a free block: the sanitizer granule that holds its link.
  static constexpr std::size_t kLinkSpan = 8;

  static std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }
  // The state byte of the 4 bytes at arena offset `offset`; pages not yet carved read 0.
  std::uint8_t& stateAt(std::uint32_t offset) const { return states_[offset / 4]; }
  std::uint32_t& link(std::uint32_t offset) { return *reinterpret_cast<std::uint32_t*>(base_ + offset); }
  void* allocateFromNewPage(std::size_t n);
  void reportBadFree(void* p) const;
  bool carvePage(int sizeClass);

  std::uintptr_t base_ = 0;
  std::size_t reserved_ = 0;
  std::size_t committed_ = 0;
  std::uint8_t* states_ = nullptr;
  std::array<SizeClass, kClassCount> classes_{};
};

}  // namespace tamsil::heap
