// A thread's own free medium blocks, at most one per size class, in front of the shards: while
// the class a request needs holds a block, or the class of a freed block is empty, that thread
// allocates or frees a medium block without taking any lock. A request and a freed block meet in
// the same class, and one block per class is enough for a thread that frees what it allocated
// before allocating again; the most one cache can hold is about 700 KiB (one block of each class).
//
// Classes go by the top three bits of the block size (eight a doubling), so any block of a class
// serves any request for that class, with at most a quarter more room than asked for. A cached
// block stays in use as far as its shard knows (no neighbour merges with it) but is marked
// cached, so freeing it again, growing it or asking for its size is reported or answered as for a
// free block. Whoever owns a cache gives its blocks back (Heap::flush) before the thread ends.
#pragma once

#include <array>
#include <bit>
#include <cstddef>

namespace tamsil::heap {

struct MediumCache {
  // From 64 bytes (the smallest medium block) to just below 64 KiB (beyond every medium block).
  static constexpr int kClassCount = 80;
  static constexpr std::size_t kSmallestBlock = 64;
  static constexpr std::size_t kBeyondLargestBlock = std::size_t(1) << 16;

  // Whether a block of `size` bytes has a class (a flagged block may be smaller than 64 bytes).
  static bool hasClass(std::size_t size) { return size - kSmallestBlock < kBeyondLargestBlock - kSmallestBlock; }
  // The class of a block of `size` bytes (hasClass): the last class whose least size is at most
  // `size`.
  static int classOf(std::size_t size) {
    const int exponent = std::bit_width(size) - 1;
    const auto topBits = int(size >> (exponent - 3)) & 7;
    return (exponent - 6) * 8 + topBits;
  }
  // The class whose every block has at least `size` bytes (64 to 64 KiB): the one after the class
  // of `size - 1`.
  static int classFor(std::size_t size) { return classOf(size - 1) + 1; }

  std::array<std::byte*, kClassCount> blocks{};
};

}  // namespace tamsil::heap
