// Blocks of up to 32 bytes: six size classes carved out of 4 KiB pages of one reserved arena.
// Tiny blocks carry no header: the first 4 bytes of each page name the page's class, the first
// block starts at the offset of its own size (so every block is aligned as its size allows), and
// free blocks are chained by 32-bit offsets from the arena's start.
//
// A bitmap beside the arena marks the free blocks, so a block freed twice or a pointer into the
// middle of a block is reported instead of entering a free list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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
  // A block for `n` bytes (1 <= n <= 32); null when the arena is used up.
  void* allocate(std::size_t n);
  // Makes the first `n` bytes of block `p` of size `blockSize` addressable and the rest not.
  static void expose(void* p, std::uint32_t blockSize, std::size_t n);
  // Puts `p` back on its class's free list; reports a double free or a foreign pointer and
  // answers false instead.
  bool free(void* p);
  // The block size of the page `p` lies in, or 0 when `p` is no block of a carved page.
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

  static std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }
  bool carvePage(int sizeClass);
  // The free bit of the block at arena offset `offset` (one bit per 4 bytes).
  bool freeBit(std::uint32_t offset) const { return freeBits_[offset / 256] >> (offset / 4 % 64) & 1; }
  void flipFreeBit(std::uint32_t offset) { freeBits_[offset / 256] ^= std::uint64_t(1) << (offset / 4 % 64); }
  std::uint32_t& link(std::uint32_t offset) { return *reinterpret_cast<std::uint32_t*>(base_ + offset); }

  std::uintptr_t base_ = 0;
  std::size_t reserved_ = 0;
  std::size_t committed_ = 0;
  std::uint64_t* freeBits_ = nullptr;
  std::array<SizeClass, kClassCount> classes_{};
};

}  // namespace tamsil::heap
