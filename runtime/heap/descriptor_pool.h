// Descriptors of free medium blocks, kept in a doubly linked circular list, and the pool they
// come from. The pool commits chunks one after another inside a range of its own, so a
// descriptor address read back from a block is checked against the pool before it is followed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tamsil::heap {

struct Descriptor {
  Descriptor* next = nullptr;
  Descriptor* prev = nullptr;
  std::uint64_t size = 0;      // of the free block, header included
  std::byte* block = nullptr;  // the free block's payload
};

class DescriptorPool {
 public:
  static constexpr std::size_t kChunkSize = 49152;
  // The range a pool gets for the free blocks of `blockBytes` bytes of regions: a sixteenth, at
  // least one chunk (a pool that runs out has the free reported as out of free space).
  static constexpr std::size_t rangeFor(std::size_t blockBytes) { return blockBytes / 16 > kChunkSize ? blockBytes / 16 : kChunkSize; }

  DescriptorPool() = default;
  DescriptorPool(const DescriptorPool&) = delete;
  DescriptorPool& operator=(const DescriptorPool&) = delete;

  // Chunks are committed inside [base, base + size), reserved and released by the owner; until
  // this is called (or with a null base) the pool has no room.
  void place(std::byte* base, std::size_t size) {
    base_ = base;
    reserved_ = base ? size : 0;
  }
  // A descriptor from the pool; null when no chunk can be added.
  Descriptor* take();
  void give(Descriptor* descriptor);
  // Whether `p` is the address of a descriptor in a committed chunk.
  bool owns(const void* p) const;

 private:
  // A chunk begins with the link to the chunk committed before it; descriptors follow.
  struct ChunkHeader {
    std::byte* previous;
    std::byte* unused;
    std::byte* unused2;
    std::byte* unused3;
  };
  static_assert(sizeof(ChunkHeader) == sizeof(Descriptor));
  bool addChunk();

  std::byte* base_ = nullptr;
  std::size_t reserved_ = 0;
  std::size_t committed_ = 0;
  Descriptor* free_ = nullptr;  // chained through `next`
};

}  // namespace tamsil::heap
