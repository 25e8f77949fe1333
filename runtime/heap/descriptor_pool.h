// Descriptors of free medium blocks, kept in a doubly linked circular list, and the pool they
// come from. The pool commits chunks one after another inside a reservation of its own, so a
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
  static constexpr std::size_t kReservedSize = std::size_t(1) << 30;

  DescriptorPool();
  ~DescriptorPool();
  DescriptorPool(const DescriptorPool&) = delete;
  DescriptorPool& operator=(const DescriptorPool&) = delete;

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
