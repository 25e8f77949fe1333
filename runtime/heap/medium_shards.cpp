#include "runtime/heap/medium_shards.h"

#include <atomic>
#include <algorithm>
#include <bit>

#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {
namespace {

constexpr std::size_t kNoShard = ~std::size_t(0);

// How many running threads have each shard as theirs. A new thread takes the least used one, so
// threads running at the same time share a shard only when there are more of them than shards.
std::array<std::atomic<std::uint32_t>, MediumShards::kShardCount> gThreadsPerShard;
constinit thread_local std::size_t tHome = kNoShard;

// Ends the calling thread's claim on its shard when the thread ends; anything it frees or
// allocates after that still goes where it went.
struct HomeClaim {
  ~HomeClaim() { gThreadsPerShard[tHome].fetch_sub(1, std::memory_order_relaxed); }
};

std::size_t claimHome() {
  thread_local HomeClaim claim;
  std::size_t best = 0;
  for (std::size_t i = 1; i < MediumShards::kShardCount; ++i) {
    if (gThreadsPerShard[i].load(std::memory_order_relaxed) < gThreadsPerShard[best].load(std::memory_order_relaxed)) best = i;
  }
  gThreadsPerShard[best].fetch_add(1, std::memory_order_relaxed);
  return best;
}

// The calling thread's shard index, chosen on first use and kept for good.
std::size_t homeShard() {
  if (tHome == kNoShard) [[unlikely]]
    tHome = claimHome();
  return tHome;
}

}  // namespace

MediumShards::Reservation::Reservation(std::size_t largest) {
  const std::size_t smallest = std::min(largest, kSmallestReservation);
  for (std::size_t tried = largest; tried >= smallest && !base; tried /= 2) {
    base = static_cast<std::byte*>(ReserveRange(tried));
    if (base) size = tried;
  }
}

MediumShards::Reservation::~Reservation() { ReleaseRange(base, size); }

MediumShards::MediumShards(std::size_t largest) : range_(largest) {
  const std::size_t part = range_.size / kShardCount;
  shift_ = part ? unsigned(std::countr_zero(part)) : 0;
  for (std::size_t i = 0; i < kShardCount; ++i) shards_[i].blocks.place(range_.base ? range_.base + i * part : nullptr, part);
}

std::byte* MediumShards::allocate(std::size_t n, std::uint8_t flag) {
  const std::size_t home = homeShard();
  for (std::size_t i = 0; i < kShardCount; ++i) {
    Shard& shard = shards_[(home + i) % kShardCount];
    HeapGuard guard(shard.lock);
    if (std::byte* p = shard.blocks.allocate(n, flag)) return p;
  }
  return nullptr;
}

}  // namespace tamsil::heap
