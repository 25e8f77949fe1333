#include "runtime/heap/medium_shards.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <mutex>

#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {
namespace {

// How many running threads have each shard as theirs. A new thread takes the least used one, so
// threads running at the same time share a shard only when there are more of them than shards.
// Threads that start together claim one after another, so they cannot all see the same shard as
// the least used.
std::array<std::atomic<std::uint32_t>, MediumShards::kShardCount> gThreadsPerShard;
std::mutex gClaimMutex;

// Ends the calling thread's claim on its shard when the thread ends; anything it frees or
// allocates after that still goes where it went.
struct ShardClaim {
  std::size_t shard = 0;
  ~ShardClaim() { gThreadsPerShard[shard].fetch_sub(1, std::memory_order_relaxed); }
};

}  // namespace

constinit thread_local std::size_t MediumShards::tHomeShard = MediumShards::kNoShard;

std::size_t MediumShards::claimShard() {
  std::lock_guard<std::mutex> hold(gClaimMutex);
  std::size_t best = 0;
  for (std::size_t i = 1; i < kShardCount; ++i) {
    if (gThreadsPerShard[i].load(std::memory_order_relaxed) < gThreadsPerShard[best].load(std::memory_order_relaxed)) best = i;
  }
  gThreadsPerShard[best].fetch_add(1, std::memory_order_relaxed);
  thread_local ShardClaim claim;
  claim.shard = best;
  return best;
}

MediumShards::Reservation::Reservation(std::size_t largest) {
  const std::size_t smallest = std::min(largest, kSmallestReservation);
  for (std::size_t tried = largest; tried >= smallest && !base; tried /= 2) {
    const std::size_t total = tried + kShardCount * DescriptorPool::rangeFor(tried / kShardCount);
    base = static_cast<std::byte*>(ReserveRange(total));
    if (base) {
      size = tried;
      reserved = total;
    }
  }
}

MediumShards::Reservation::~Reservation() { ReleaseRange(base, reserved); }

MediumShards::MediumShards(std::size_t largest) : range_(largest) {
  const std::size_t part = range_.size / kShardCount;
  shift_ = part ? unsigned(std::countr_zero(part)) : 0;
  // The regions' parts first, then each shard's descriptor pool.
  std::byte* descriptors = range_.base ? range_.base + range_.size : nullptr;
  for (std::size_t i = 0; i < kShardCount; ++i) {
    shards_[i].blocks.place(range_.base ? range_.base + i * part : nullptr, part, descriptors);
    if (descriptors) descriptors += DescriptorPool::rangeFor(part);
  }
}

std::byte* MediumShards::allocateElsewhere(std::size_t n, std::uint8_t flag) {
  for (std::size_t i = 1; i < kShardCount; ++i) {
    Shard& shard = shards_[(tHomeShard + i) % kShardCount];
    HeapGuard guard(shard.lock);
    if (std::byte* p = shard.blocks.allocate(n, flag)) return p;
  }
  return nullptr;
}

}  // namespace tamsil::heap
