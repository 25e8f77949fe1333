// Thread caches of tiny blocks: a cached block still counts as free everywhere (a second free,
// a reallocation, an inspection), a cache never holds more than its depth, and its blocks go
// back to the arena when it is flushed, also when a thread of the process heap ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <thread>
#include <vector>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

struct SecondFree {
  const char* name;
  HeapError error;
  // Does something wrong with block `p`, freed into `cache` before.
  std::function<void(Heap&, TinyCache&, void* p)> fault;
};

const SecondFree kSecondFrees[] = {
    {"ThroughTheCache", HeapError::FreedTwice, [](Heap& h, TinyCache& c, void* p) { h.free(c, p); }},
    {"ThroughTheLock", HeapError::FreedTwice, [](Heap& h, TinyCache&, void* p) { h.free(p); }},
    {"ByReallocation", HeapError::FreedTwice, [](Heap& h, TinyCache&, void* p) { h.reallocate(p, 60); }},
    {"IntoAnotherCache", HeapError::FreedTwice,
     [](Heap& h, TinyCache&, void* p) {
       TinyCache other;
       h.free(other, p);
       h.flush(other);
     }},
    {"InsideTheBlock", HeapError::CorruptBlock,
     [](Heap& h, TinyCache& c, void*) {
       void* q = h.allocate(c, 16);
       h.free(c, static_cast<char*>(q) + 4);
     }},
};

class CachedBlockFaults : public testing::TestWithParam<SecondFree> {};

TEST_P(CachedBlockFaults, ReportedOnceAndTheCacheStaysSound) {
  Heap heap;
  TinyCache cache;
  void* p = heap.allocate(cache, 12);
  heap.free(cache, p);
  const std::uint32_t cached = cache.counts[std::size_t(TinyArena::classFor(12))];
  {
    RecordedReports reports;
    GetParam().fault(heap, cache, p);
    ASSERT_EQ(reports.list().size(), 1u);
    EXPECT_EQ(reports.list()[0], GetParam().error);
  }
  // The block went nowhere twice: it is handed out once, then another block comes.
  EXPECT_LE(cache.counts[std::size_t(TinyArena::classFor(12))], cached);
  void* again = heap.allocate(cache, 12);
  void* other = heap.allocate(cache, 12);
  EXPECT_NE(again, other);
  heap.flush(cache);
}

INSTANTIATE_TEST_SUITE_P(Cases, CachedBlockFaults, testing::ValuesIn(kSecondFrees),
                         [](const testing::TestParamInfo<SecondFree>& param) { return std::string(param.param.name); });

TEST(TinyCache, CachedBlocksAreFreeToTheHeap) {
  Heap heap;
  TinyCache cache;
  void* p = heap.allocate(cache, 20);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::Tiny);
  EXPECT_EQ(heap.usableSize(p), 24u);
  heap.free(cache, p);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::TinyFree);
  EXPECT_EQ(heap.usableSize(p), 0u);
  heap.flush(cache);
}

TEST(TinyCache, RefillsInBatchesAndTrimsAFullClass) {
  Heap heap;
  TinyCache cache;
  const auto sizeClass = std::size_t(TinyArena::classFor(8));
  std::vector<void*> blocks;
  blocks.push_back(heap.allocate(cache, 8));
  EXPECT_EQ(cache.counts[sizeClass], TinyCache::kBatch - 1);
  while (blocks.size() < 3 * TinyCache::kDepth) blocks.push_back(heap.allocate(cache, 8));
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
  for (void* p : blocks) {
    heap.free(cache, p);
    ASSERT_LE(cache.counts[sizeClass], TinyCache::kDepth);
  }
  EXPECT_GE(cache.counts[sizeClass], TinyCache::kBatch);
  heap.flush(cache);
  for (std::uint32_t count : cache.counts) EXPECT_EQ(count, 0u);
  for (std::uint32_t head : cache.heads) EXPECT_EQ(head, 0u);
  // Trimmed and flushed, every block is back on the arena's list, ahead of the page's rest: none
  // was lost in the cache.
  std::set<void*> back;
  for (std::size_t i = 0; i < blocks.size(); ++i) back.insert(heap.allocate(8));
  EXPECT_EQ(back, std::set<void*>(blocks.begin(), blocks.end()));
}

TEST(TinyCache, ContentsSurviveTheCacheRoundTrip) {
  Heap heap;
  TinyCache cache;
  std::vector<void*> blocks;
  for (std::uint32_t n = 1; n <= 32; ++n) {
    blocks.push_back(heap.allocate(cache, n));
    fillPattern(blocks.back(), n, n);
  }
  for (std::uint32_t n = 1; n <= 32; n += 2) heap.free(cache, blocks[n - 1]);
  for (std::uint32_t n = 1; n <= 32; n += 2) blocks[n - 1] = heap.allocate(cache, n);
  for (std::uint32_t n = 2; n <= 32; n += 2) EXPECT_TRUE(hasPattern(blocks[n - 1], n, n)) << n;
  for (void* p : blocks) heap.free(cache, p);
  heap.flush(cache);
}

// A fresh process: a thread fills its cache of the process heap and ends; its blocks must come
// back to the main thread, which they could not if the ended thread's cache had kept them.
TEST(ProcessHeapCaches, AThreadEndingWithAFullCacheGivesItsBlocksBack) {
  EXPECT_EXIT(
      {
        std::set<void*> freedByThread;
        std::thread([&] {
          std::vector<void*> blocks;
          for (std::uint32_t i = 0; i < TinyCache::kDepth + TinyCache::kBatch; ++i) blocks.push_back(Allocate(4));
          for (void* p : blocks) Free(p);
          freedByThread.insert(blocks.begin(), blocks.end());
        }).join();
        std::size_t back = 0;
        for (std::uint32_t i = 0; i < 8 * TinyCache::kDepth; ++i) back += freedByThread.count(Allocate(4));
        std::exit(back == freedByThread.size() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(ProcessHeapCaches, CachedBlockFreedTwiceEndsTheProgram) {
  EXPECT_EXIT(
      {
        void* p = Allocate(7);
        Free(p);
        Free(p);
      },
      testing::ExitedWithCode(kHeapFaultExitCode), "memory block free'd twice");
}

}  // namespace
}  // namespace tamsil::heap
