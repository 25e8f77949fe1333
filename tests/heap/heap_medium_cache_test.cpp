// Thread caches of medium blocks: every block of a class serves every request of that class, a
// cached block counts as free everywhere (a second free, a reallocation, an inspection) while no
// neighbour merges with it, only sound blocks with a class enter, one block a class, and a flush
// gives them back to their shards, where they merge.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

// Over every block size a medium block can have and every size a medium request needs: a
// request's class holds only blocks large enough, and never more than a quarter too large.
TEST(MediumCacheClasses, EveryBlockOfAClassServesEveryRequestOfIt) {
  std::array<std::size_t, MediumCache::kClassCount> smallestBlock{}, largestRequest{};
  smallestBlock.fill(~std::size_t(0));
  for (std::size_t size = MediumCache::kSmallestBlock; size < MediumCache::kBeyondLargestBlock; size += kAlignment) {
    ASSERT_TRUE(MediumCache::hasClass(size));
    const int c = MediumCache::classOf(size);
    ASSERT_GE(c, 0);
    ASSERT_LT(c, MediumCache::kClassCount);
    smallestBlock[std::size_t(c)] = std::min(smallestBlock[std::size_t(c)], size);
  }
  for (std::size_t n = TinyArena::kLargestBlock + 1; n <= Heap::kMediumLimit; ++n) {
    const int c = MediumCache::classFor(MediumBlocks::blockSizeFor(n));
    ASSERT_GE(c, 0) << n;
    ASSERT_LT(c, MediumCache::kClassCount) << n;
    largestRequest[std::size_t(c)] = std::max(largestRequest[std::size_t(c)], MediumBlocks::blockSizeFor(n));
  }
  for (std::size_t c = 0; c < smallestBlock.size(); ++c) {
    if (!largestRequest[c] || smallestBlock[c] == ~std::size_t(0)) continue;
    EXPECT_GE(smallestBlock[c], largestRequest[c]) << "class " << c;
  }
  for (std::size_t size : {std::size_t(0), std::size_t(32), std::size_t(48), MediumCache::kBeyondLargestBlock})
    EXPECT_FALSE(MediumCache::hasClass(size)) << size;
  // A request gets at most a quarter more than it needs from a block of the smallest size its
  // class holds.
  for (std::size_t n : {33u, 100u, 1000u, 4097u, 30000u, 53000u}) {
    const std::size_t needed = MediumBlocks::blockSizeFor(n);
    EXPECT_LE(smallestBlock[std::size_t(MediumCache::classFor(needed))], needed + needed / 4) << n;
  }
}

struct CachedMediumFault {
  const char* name;
  HeapError error;
  // Does something wrong with block `p`, freed into `cache` before.
  std::function<void(Heap&, MediumCache&, void* p)> fault;
};

const CachedMediumFault kCachedMediumFaults[] = {
    {"ThroughTheCache", HeapError::FreedTwice, [](Heap& h, MediumCache& c, void* p) { h.free(c, p); }},
    {"ThroughTheLock", HeapError::FreedTwice, [](Heap& h, MediumCache&, void* p) { h.free(p); }},
    {"ByReallocation", HeapError::FreedTwice, [](Heap& h, MediumCache&, void* p) { h.reallocate(p, 3000); }},
    {"IntoAnotherCache", HeapError::FreedTwice,
     [](Heap& h, MediumCache&, void* p) {
       MediumCache other;
       h.free(other, p);
       h.flush(other);
     }},
    {"InsideABlock", HeapError::CorruptBlock,
     [](Heap& h, MediumCache& c, void*) {
       void* q = h.allocate(3000);
       h.free(c, static_cast<char*>(q) + 16);
     }},
};

class CachedMediumFaults : public testing::TestWithParam<CachedMediumFault> {};

TEST_P(CachedMediumFaults, AreReportedOnceAndTheBlockIsHandedOutOnce) {
  Heap heap;
  MediumCache cache;
  void* p = heap.allocate(cache, 1000);
  heap.free(cache, p);
  {
    RecordedReports reports;
    GetParam().fault(heap, cache, p);
    ASSERT_EQ(reports.list().size(), 1u);
    EXPECT_EQ(reports.list()[0], GetParam().error);
  }
  void* again = heap.allocate(cache, 1000);
  void* other = heap.allocate(cache, 1000);
  EXPECT_EQ(again, p);
  EXPECT_NE(other, p);
  heap.free(cache, again);
  heap.free(cache, other);
  heap.flush(cache);
}

INSTANTIATE_TEST_SUITE_P(Cases, CachedMediumFaults, testing::ValuesIn(kCachedMediumFaults),
                         [](const testing::TestParamInfo<CachedMediumFault>& param) { return std::string(param.param.name); });

TEST(MediumCache, ACachedBlockIsFreeToTheHeapAndServesItsClassAgain) {
  Heap heap;
  MediumCache cache;
  void* p = heap.allocate(cache, 1000);
  fillPattern(p, 1000, 4);
  heap.free(cache, p);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::MediumFree);
  EXPECT_EQ(heap.usableSize(p), 0u);
  // A smaller request of the class above gets it, with its size; its flag is cleared.
  const std::size_t smaller = 1000 - 2 * kAlignment;
  ASSERT_EQ(MediumCache::classFor(MediumBlocks::blockSizeFor(smaller)), MediumCache::classOf(MediumBlocks::blockSizeFor(1000)));
  void* again = heap.allocate(cache, smaller);
  EXPECT_EQ(again, p);
  EXPECT_EQ(heap.inspect(again).kind, BlockKind::Medium);
  EXPECT_EQ(heap.inspect(again).flag, 0);
  EXPECT_GE(heap.usableSize(again), smaller);
  std::memset(again, 7, smaller);
  heap.free(cache, again);
  heap.flush(cache);
  for (std::byte* b : cache.blocks) EXPECT_EQ(b, nullptr);
}

TEST(MediumCache, NeighboursMergeWithACachedBlockOnlyOnceItIsFlushed) {
  Heap heap;
  MediumCache cache;
  void* a = heap.allocate(1000);
  void* b = heap.allocate(1000);
  void* c = heap.allocate(1000);
  void* guard = heap.allocate(1000);
  heap.free(cache, b);
  heap.free(a);
  heap.free(c);
  EXPECT_EQ(heap.inspect(a).size, MediumBlocks::blockSizeFor(1000));
  EXPECT_EQ(heap.inspect(c).size, MediumBlocks::blockSizeFor(1000));
  heap.flush(cache);
  EXPECT_EQ(heap.inspect(a).kind, BlockKind::MediumFree);
  EXPECT_EQ(heap.inspect(a).size, 3 * MediumBlocks::blockSizeFor(1000));
  heap.free(guard);
}

// Which blocks a cache keeps and which go straight to their shard.
struct FreedBlock {
  const char* name;
  std::size_t size;
  std::uint8_t flag;
  bool secondOfItsClass;  // another block of the same class is cached first
  bool cached;
};

const FreedBlock kFreedBlocks[] = {
    {"Smallest", 33, 0, false, true},
    {"Largest", Heap::kMediumLimit, 0, false, true},
    {"Flagged", 1000, 3, false, true},
    {"FlaggedBelowEveryClass", 10, 3, false, false},
    {"SecondOfItsClass", 1000, 0, true, false},
    {"Large", Heap::kMediumLimit + 1, 0, false, false},
    {"Tiny", 16, 0, false, false},
};

class FreedBlocks : public testing::TestWithParam<FreedBlock> {};

TEST_P(FreedBlocks, StayInTheCacheOnlyWithAClassThatHasRoom) {
  Heap heap;
  MediumCache cache;
  if (GetParam().secondOfItsClass) heap.free(cache, heap.allocate(GetParam().size));
  void* p = heap.allocate(GetParam().size, GetParam().flag);
  {
    RecordedReports reports;
    heap.free(cache, p);
    EXPECT_TRUE(reports.list().empty());
  }
  bool found = false;
  for (std::byte* b : cache.blocks) found = found || b == p;
  EXPECT_EQ(found, GetParam().cached);
  EXPECT_EQ(heap.usableSize(p), 0u);
  heap.flush(cache);
}

INSTANTIATE_TEST_SUITE_P(Cases, FreedBlocks, testing::ValuesIn(kFreedBlocks),
                         [](const testing::TestParamInfo<FreedBlock>& param) { return std::string(param.param.name); });

// A write past a block's end damages the next header: the cache does not keep the block, and the
// full path reports it, so the damage is found when it is freed, as without a cache.
TEST(MediumCache, ABlockWithADamagedNeighbourIsReportedNotKept) {
  Heap heap;
  MediumCache cache;
  auto* p = static_cast<unsigned char*>(heap.allocate(1000));
  heap.allocate(1000);  // the neighbour whose header the write damages
  const std::size_t usable = heap.usableSize(p);
  std::memset(p + usable, 0x41, kHeaderSize);
  {
    RecordedReports reports;
    heap.free(cache, p);
    ASSERT_EQ(reports.list().size(), 1u);
    EXPECT_EQ(reports.list()[0], HeapError::CorruptBlock);
  }
  for (std::byte* b : cache.blocks) EXPECT_EQ(b, nullptr);
}

}  // namespace
}  // namespace tamsil::heap
