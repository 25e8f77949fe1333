// The medium blocks in shards: one reservation split into equal, power-of-two parts (with a
// range for each part's descriptor pool behind them), each a `MediumBlocks` of its own behind its
// own lock, so threads that allocate medium blocks at the same time rarely wait for each other. A
// thread allocates from the shard it claimed on first use (the one fewest running threads have)
// and moves on to the others only when that one has no room left; a block goes back to the shard
// its address lies in, whichever thread frees it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/heap_lock.h"
#include "runtime/heap/medium_blocks.h"

namespace tamsil::heap {

class MediumShards {
 public:
  static constexpr std::size_t kShardCount = 8;
  // Tried from the largest down (halving): a machine with a small address-space limit still gets
  // regions.
  static constexpr std::size_t kLargestReservation = std::size_t(16) << 30;
  static constexpr std::size_t kSmallestReservation = std::size_t(128) << 20;

  struct alignas(64) Shard {
    HeapLock lock;
    MediumBlocks blocks;
  };

  // Reserves at most `largest` bytes of regions (a power of two) and their descriptor pools, at
  // least kSmallestReservation or `largest` when that is smaller.
  explicit MediumShards(std::size_t largest = kLargestReservation);
  MediumShards(const MediumShards&) = delete;
  MediumShards& operator=(const MediumShards&) = delete;

  // The shard whose part of the reservation holds `p`, or null; whether a block lies there is for
  // the shard to say, under its lock.
  Shard* shardOf(const void* p) {
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(p) - reinterpret_cast<std::uintptr_t>(range_.base);
    return offset < range_.size ? &shards_[offset >> shift_] : nullptr;
  }
  // A block for `n` bytes from the calling thread's shard, else from the first other shard with
  // room; null when none can add a region. Takes each shard's lock in turn, never two at once.
  std::byte* allocate(std::size_t n, std::uint8_t flag) {
    if (tHomeShard == kNoShard) [[unlikely]]
      tHomeShard = claimShard();
    Shard& home = shards_[tHomeShard];
    {
      HeapGuard guard(home.lock);
      if (std::byte* p = home.blocks.allocate(n, flag)) return p;
    }
    return allocateElsewhere(n, flag);
  }

 private:
  static constexpr std::size_t kNoShard = ~std::size_t(0);
  // The calling thread's shard index, chosen on first use and kept for good (initial-exec: the
  // runtime's libraries are linked statically).
  static constinit thread_local std::size_t tHomeShard [[gnu::tls_model("initial-exec")]];
  // The shard fewest running threads have, claimed for the calling thread until it ends.
  static std::size_t claimShard();
  std::byte* allocateElsewhere(std::size_t n, std::uint8_t flag);

  // Released after the shards are gone.
  struct Reservation {
    explicit Reservation(std::size_t largest);
    ~Reservation();
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    std::byte* base = nullptr;
    std::size_t size = 0;      // of the regions' parts
    std::size_t reserved = 0;  // with the descriptor pools behind them
  };

  Reservation range_;
  unsigned shift_ = 0;  // log2 of one shard's part
  std::array<Shard, kShardCount> shards_;
};

}  // namespace tamsil::heap
