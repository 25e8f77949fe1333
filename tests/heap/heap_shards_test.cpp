// The medium blocks' shards: threads running together allocate from shards of their own, a block
// goes back to its own shard whichever thread frees or grows it, and a shard without room hands
// requests to the others.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

std::uintptr_t address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

std::uintptr_t distance(const void* a, const void* b) { return std::max(address(a), address(b)) - std::min(address(a), address(b)); }

TEST(MediumShards, ThreadsRunningTogetherAllocateFromShardsOfTheirOwn) {
  Heap heap;
  std::vector<void*> first(MediumShards::kShardCount);
  onEveryShard([&](std::size_t i) { first[i] = heap.allocate(1000); });
  // Blocks of one shard would share a region; blocks of different shards lie a shard's part apart.
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_NE(first[i], nullptr);
    for (std::size_t j = 0; j < i; ++j) EXPECT_GE(distance(first[i], first[j]), MediumBlocks::kRegionSize) << i << " and " << j;
  }
  for (void* p : first) heap.free(p);
}

TEST(MediumShards, BlocksFreedOnAnotherThreadGoBackToTheirShard) {
  Heap heap;
  void* a = heap.allocate(1000);
  void* b = heap.allocate(1000);
  void* guard = heap.allocate(1000);
  fillPattern(guard, 1000, 3);
  void* elsewhere = nullptr;
  std::thread other([&] {
    void* keep = heap.allocate(1000);  // this thread's own shard, apart from the blocks above
    heap.free(a);
    heap.free(b);
    elsewhere = heap.allocate(2000);
    heap.free(keep);
  });
  other.join();
  // Merged in their own shard, where this thread's next request finds them first.
  EXPECT_EQ(heap.inspect(a).kind, BlockKind::MediumFree);
  EXPECT_EQ(heap.inspect(a).size, 2 * 1024u);
  EXPECT_GE(distance(elsewhere, a), MediumBlocks::kRegionSize);
  EXPECT_EQ(heap.allocate(2000), a);
  EXPECT_TRUE(hasPattern(guard, 1000, 3));
  heap.free(elsewhere);
}

TEST(MediumShards, ReallocationOnAnotherThreadStaysInItsShard) {
  Heap heap;
  void* p = heap.allocate(1000);
  void* next = heap.allocate(1000);
  heap.allocate(1000);
  fillPattern(p, 1000, 8);
  void* grown = nullptr;
  void* moved = nullptr;
  std::thread other([&] {
    heap.free(next);
    grown = heap.reallocate(p, 2000);       // into the freed neighbour, in place
    moved = heap.reallocate(grown, 20000);  // no room beside it: a block of this thread's shard
  });
  other.join();
  EXPECT_EQ(grown, p);
  ASSERT_NE(moved, nullptr);
  EXPECT_TRUE(hasPattern(moved, 1000, 8));
  EXPECT_GE(distance(moved, p), MediumBlocks::kRegionSize);
  // The old block went back to this thread's shard, merged with what followed it.
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::MediumFree);
  EXPECT_EQ(heap.allocate(2000), p);
}

TEST(MediumShards, AFullShardHandsRequestsToTheOthers) {
  // Two regions to a shard, two blocks of 50000 bytes to a region.
  constexpr std::size_t kPerShard = 4;
  Heap heap(MediumShards::kShardCount * 2 * MediumBlocks::kRegionSize);
  std::vector<void*> blocks;
  for (std::size_t i = 0; i < kPerShard * MediumShards::kShardCount; ++i) {
    void* p = heap.allocate(50000);
    ASSERT_NE(p, nullptr) << i;
    fillPattern(p, 50000, std::uint32_t(i));
    blocks.push_back(p);
  }
  EXPECT_EQ(heap.allocate(50000), nullptr);
  EXPECT_EQ(heap.allocate(50000, 5), nullptr);
  EXPECT_NE(heap.allocate(10), nullptr);      // tiny blocks are not the regions'
  EXPECT_NE(heap.allocate(100000), nullptr);  // nor are large ones
  for (std::size_t i = 0; i < blocks.size(); ++i) EXPECT_TRUE(hasPattern(blocks[i], 50000, std::uint32_t(i))) << i;
  // Room in any shard serves the next request, whichever it is.
  heap.free(blocks.back());
  EXPECT_EQ(heap.allocate(50000), blocks.back());
  heap.free(blocks.front());
  EXPECT_EQ(heap.allocate(50000), blocks.front());
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TAMSIL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TAMSIL_SANITIZED 1
#endif
#endif

#ifndef TAMSIL_SANITIZED
// The address space this process maps now, in bytes.
std::size_t mappedBytes() {
  std::size_t pages = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm) {
    if (std::fscanf(statm, "%zu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  return pages * 4096;
}

// Exits with 0 when a heap made under an address-space limit serves medium blocks on every shard.
void serveUnderALimit() {
  // Room for a quarter of the largest reservation, the tiny arena and little else.
  const rlim_t limit = mappedBytes() + (std::size_t(3) << 30);
  const rlimit r{limit, limit};
  if (setrlimit(RLIMIT_AS, &r) != 0) std::exit(3);
  Heap heap;
  bool served = true;
  onEveryShard([&](std::size_t) {
    void* small = heap.allocate(1000);
    void* big = heap.allocate(50000);
    served = served && small && big;
    if (small) std::memset(small, 1, 1000);
    if (big) std::memset(big, 2, 50000);
  });
  std::exit(served ? 0 : 1);
}
#endif

TEST(MediumShards, AnAddressSpaceLimitLeavesSmallerShardsThatStillServe) {
#ifdef TAMSIL_SANITIZED
  GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#else
  EXPECT_EXIT(serveUnderALimit(), testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
}  // namespace tamsil::heap
