// Thread caches of tiny blocks: a cached block still counts as free everywhere (a second free,
// a reallocation, an inspection), a cache never holds more than a refill and a full list of
// freed blocks, caches filled in turn share no line, freed blocks are taken again once the others
// are used up, and its blocks go back to the arena when it is flushed, also when a thread of the
// process heap ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "runtime/heap/memory_heap.h"
#include "runtime/heap/poison.h"
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
  // The batch and the rest of its group: the first page's blocks of 8 bytes in the first group
  // start at 8 (the page's header comes first).
  EXPECT_EQ(cache.counts[sizeClass], tiny::kGroupBytes / 8 - 1 - 1);
  // Whole refills only, so every block the cache took is among them.
  while (blocks.size() < 3 * TinyCache::kLargestFill || cache.counts[sizeClass]) blocks.push_back(heap.allocate(cache, 8));
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
  for (void* p : blocks) {
    heap.free(cache, p);
    ASSERT_LE(cache.counts[sizeClass], TinyCache::kLargestFill);
    ASSERT_LE(cache.freedCounts[sizeClass], TinyCache::kFreedCapacity);
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

// Two caches refilled one after the other get blocks of different groups, in every class and
// all over the arena's pages: their state bytes never share a line.
TEST(TinyCache, CachesFilledInTurnShareNoGroup) {
  Heap heap;
  const std::uintptr_t base = heap.tinyPlace().base;
  for (std::size_t size : {4u, 8u, 12u, 16u, 24u, 32u}) {
    const auto sizeClass = std::size_t(TinyArena::classFor(size));
    for (int round = 0; round < 40; ++round) {
      TinyCache first, second;
      heap.allocate(first, size);
      heap.allocate(second, size);
      // Every block either cache has is taken, so the next round's refills come from further on.
      auto groupsOf = [&](TinyCache& cache) {
        std::set<std::uintptr_t> groups;
        while (cache.heads[sizeClass]) groups.insert(tiny::groupOf(reinterpret_cast<std::uintptr_t>(heap.allocate(cache, size)) - base));
        return groups;
      };
      const std::set<std::uintptr_t> firstGroups = groupsOf(first);
      for (std::uintptr_t g : groupsOf(second)) ASSERT_EQ(firstGroups.count(g), 0u) << "size " << size << " round " << round;
    }
  }
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

TEST(TinyCache, FreedBlocksAreTakenAgainOnceTheOthersAreUsedUp) {
  Heap heap;
  TinyCache cache;
  const auto sizeClass = std::size_t(TinyArena::classFor(24));
  void* first = heap.allocate(cache, 24);
  heap.free(cache, first);
  EXPECT_EQ(cache.freedCounts[sizeClass], 1u);
  std::vector<void*> rest;
  while (cache.counts[sizeClass]) rest.push_back(heap.allocate(cache, 24));
  EXPECT_GE(rest.size() + 1, TinyCache::kBatch);
  EXPECT_EQ(std::count(rest.begin(), rest.end(), first), 0);
  // The batch is used up: the freed block comes next, before anything from the arena.
  EXPECT_EQ(heap.allocate(cache, 24), first);
  EXPECT_EQ(cache.freedCounts[sizeClass], 0u);
  heap.free(cache, first);
  for (void* p : rest) heap.free(cache, p);
  heap.flush(cache);
}

// A class whose freed blocks fill their list when one more is freed.
struct FullFreedList {
  const char* name;
  std::uint32_t allocated;  // blocks allocated through the cache, all freed but the last
  std::uint32_t left;       // blocks left to allocate from afterwards
  bool backInTheArena;      // whether the full list went back to the arena
};

// What refills of blocks of 4 bytes bring from a new heap: the first group's blocks but the
// page's header, then a whole group.
constexpr std::uint32_t kFirstFill = tiny::kGroupBytes / 4 - 1;
constexpr std::uint32_t kGroupFill = tiny::kGroupBytes / 4;

const FullFreedList kFullFreedLists[] = {
    {"WhileBlocksRemainToTake", TinyCache::kFreedCapacity + 1, kFirstFill + kGroupFill - TinyCache::kFreedCapacity - 1, true},
    {"OnceNoneRemain", kFirstFill + kGroupFill, TinyCache::kFreedCapacity, false},
};

class FullFreedLists : public testing::TestWithParam<FullFreedList> {};

TEST_P(FullFreedLists, GoBackToTheArenaOnlyWhileBlocksRemainToTake) {
  Heap heap;
  TinyCache cache;
  const auto sizeClass = std::size_t(TinyArena::classFor(4));
  std::vector<void*> blocks;
  for (std::uint32_t i = 0; i < GetParam().allocated; ++i) blocks.push_back(heap.allocate(cache, 4));
  for (std::uint32_t i = 0; i < TinyCache::kFreedCapacity; ++i) heap.free(cache, blocks[i]);
  EXPECT_EQ(cache.freedCounts[sizeClass], TinyCache::kFreedCapacity);
  heap.free(cache, blocks.back());
  EXPECT_EQ(cache.freedCounts[sizeClass], 1u);
  EXPECT_EQ(cache.counts[sizeClass], GetParam().left);
  EXPECT_LE(cache.counts[sizeClass] + cache.freedCounts[sizeClass], TinyCache::kLargestFill + TinyCache::kFreedCapacity);
  const std::set<void*> fullList(blocks.begin(), blocks.begin() + TinyCache::kFreedCapacity);
  EXPECT_EQ(fullList.count(heap.allocate(4)), GetParam().backInTheArena ? 1u : 0u);
  heap.flush(cache);
}

INSTANTIATE_TEST_SUITE_P(Cases, FullFreedLists, testing::ValuesIn(kFullFreedLists),
                         [](const testing::TestParamInfo<FullFreedList>& param) { return std::string(param.param.name); });

TEST(TinyCache, AClosedCacheTakesAndGivesNothing) {
  Heap heap;
  TinyCache open;
  void* p = heap.allocate(open, 8);
  TinyCache closed = TinyCache::closed();
  EXPECT_FALSE(closed.give(heap.tinyPlace(), p));
  EXPECT_EQ(closed.take(heap.tinyPlace(), 8), nullptr);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::Tiny);
  heap.free(open, p);
  heap.flush(open);
}

TEST(TinyCache, NowhereHoldsNoAddress) {
  const tiny::ArenaPlace nowhere;
  int local = 0;
  static int global = 0;
  auto owned = std::make_unique<int>(0);
  TinyCache cache;
  for (const void* p : {static_cast<const void*>(nullptr), static_cast<const void*>(&local), static_cast<const void*>(&global),
                        static_cast<const void*>(owned.get())}) {
    EXPECT_FALSE(nowhere.contains(p));
    EXPECT_FALSE(cache.give(nowhere, const_cast<void*>(p)));
  }
}

// A fault freeing a tiny block through the process heap's inline path.
struct InlineFault {
  const char* name;
  std::size_t size;
  std::size_t into;  // how far into the block the freed pointer lies
  bool twice;        // the block itself, freed a second time
  HeapError error;
};

const InlineFault kInlineFaults[] = {
    {"SecondFree", 12, 0, true, HeapError::FreedTwice},
    {"OneByteIn", 12, 1, false, HeapError::CorruptBlock},
    {"OneSlotIn", 16, 4, false, HeapError::CorruptBlock},
    {"LastBytes", 32, 28, false, HeapError::CorruptBlock},
};

class InlineFaults : public testing::TestWithParam<InlineFault> {};

TEST_P(InlineFaults, AreReportedAndLeaveTheBlockAsItWas) {
  RecordedReports reports;
  void* p = Allocate(GetParam().size);
  if (GetParam().twice) Free(p);
  Free(static_cast<char*>(p) + GetParam().into);
  ASSERT_EQ(reports.list().size(), 1u);
  EXPECT_EQ(reports.list()[0], GetParam().error);
  if (!GetParam().twice) {
    EXPECT_EQ(HeapBlockSize(p), TinyArena::kBlockSizes[std::size_t(TinyArena::classFor(GetParam().size))]);
    Free(p);
  }
  EXPECT_EQ(HeapBlockSize(p), 0u);
  EXPECT_EQ(reports.list().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, InlineFaults, testing::ValuesIn(kInlineFaults),
                         [](const testing::TestParamInfo<InlineFault>& param) { return std::string(param.param.name); });

// A fresh process: a thread fills its cache of the process heap and ends; its blocks must come
// back to the main thread, which they could not if the ended thread's cache had kept them.
TEST(ProcessHeapCaches, AThreadEndingWithAFullCacheGivesItsBlocksBack) {
  EXPECT_EXIT(
      {
        std::set<void*> freedByThread;
        std::thread([&] {
          std::vector<void*> blocks;
          for (std::uint32_t i = 0; i < TinyCache::kLargestFill + TinyCache::kFreedCapacity; ++i) blocks.push_back(Allocate(4));
          for (void* p : blocks) Free(p);
          freedByThread.insert(blocks.begin(), blocks.end());
        }).join();
        std::size_t back = 0;
        for (std::uint32_t i = 0; i < 8 * TinyCache::kLargestFill; ++i) back += freedByThread.count(Allocate(4));
        std::exit(back == freedByThread.size() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// A fresh process: a thread whose only calls are frees of blocks from another thread must give
// them back when it ends, although it never allocated.
TEST(ProcessHeapCaches, AThreadThatOnlyFreesGivesTheBlocksBack) {
  EXPECT_EXIT(
      {
        std::vector<void*> blocks;
        for (std::uint32_t i = 0; i < TinyCache::kBatch; ++i) blocks.push_back(Allocate(24));
        std::thread([&] {
          for (void* p : blocks) Free(p);
        }).join();
        const std::set<void*> freed(blocks.begin(), blocks.end());
        std::size_t back = 0;
        for (std::uint32_t i = 0; i < 8 * TinyCache::kLargestFill; ++i) back += freed.count(Allocate(24));
        std::exit(back == freed.size() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// A fresh process: once the heap is shut down, the blocks a cache holds belong to memory that is
// gone; freeing a tiny block is ignored and allocating one comes from a heap of its own.
TEST(ProcessHeapCaches, AfterShutdownTinyBlocksGoNowhereNearTheCache) {
  EXPECT_EXIT(
      {
        void* kept = Allocate(8);
        Free(Allocate(8));
        HeapShutdown();
        Free(kept);
        void* q = Allocate(8);
        std::memset(q, 1, 8);
        Free(q);
        std::exit(q ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// Under AddressSanitizer the inline paths poison what a block does not use: the tail beyond the
// request while it is in use, everything beyond its link once it is cached.
TEST(ProcessHeapCaches, CachedBlocksArePoisonedBeyondWhatTheyHold) {
#ifndef TAMSIL_HEAP_POISONING
  GTEST_SKIP() << "built without AddressSanitizer";
#else
  auto* p = static_cast<volatile char*>(Allocate(20));
  p[19] = 1;
  EXPECT_DEATH(p[21] = 1, "AddressSanitizer");
  Free(const_cast<char*>(p));
  EXPECT_DEATH(p[16] = 1, "use-after-poison");
#endif
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
