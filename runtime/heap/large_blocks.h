// Large blocks: each its own mapping, with the common header in front of the payload and the
// trailing tag behind it. A table of the payload addresses the heap handed out (and of aligned
// aliases inside them) answers whether a pointer outside the arena and the regions is a block at
// all, so an unknown pointer is reported without being read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tamsil::heap {

class LargeBlocks {
 public:
  LargeBlocks() = default;
  ~LargeBlocks();
  LargeBlocks(const LargeBlocks&) = delete;
  LargeBlocks& operator=(const LargeBlocks&) = delete;

  // A block of its own mapping for `n` bytes; null when refused.
  std::byte* allocate(std::size_t n, std::uint8_t flag);
  bool isBlock(const void* p) const;
  bool isAlias(const void* p) const;
  // Whether a recorded block's tags are sound; reports a damaged block.
  bool check(std::byte* p) const;
  // Unmaps a checked block.
  void release(std::byte* p);
  // Records an aligned alias inside a block; false when the table cannot grow.
  bool addAlias(const void* alias);
  void forgetAlias(const void* alias);
  static std::size_t usableSize(const std::byte* p);

 private:
  // Open addressing with linear probing; a length of 0 marks an alias.
  struct Entry {
    std::uintptr_t key = 0;
    std::size_t length = 0;
  };
  Entry* find(std::uintptr_t key) const;
  bool insert(std::uintptr_t key, std::size_t length);
  void erase(Entry* entry);
  bool grow();

  Entry* table_ = nullptr;
  std::size_t capacity_ = 0;  // a power of two
  std::size_t used_ = 0;
};

}  // namespace tamsil::heap
