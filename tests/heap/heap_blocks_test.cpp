// The heap's size ranges: tiny classes, medium splitting and coalescing, in-place reallocation,
// the medium/large boundary, alignment, and contents kept across moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

std::byte* at(void* p, std::ptrdiff_t offset) { return static_cast<std::byte*>(p) + offset; }

TEST(HeapRequests, ZeroBytesGiveNoBlock) {
  Heap heap;
  EXPECT_EQ(heap.allocate(0), nullptr);
  EXPECT_EQ(heap.allocate(0, 7), nullptr);
  EXPECT_EQ(heap.allocateZeroed(0, 8), nullptr);
  EXPECT_EQ(heap.allocateZeroed(8, 0), nullptr);
  EXPECT_EQ(heap.allocateAligned(0, 64), nullptr);
  EXPECT_EQ(heap.reallocate(nullptr, 0), nullptr);
  heap.free(nullptr);
  void* p = heap.allocate(100);
  EXPECT_EQ(heap.reallocate(p, 0), nullptr);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::MediumFree);
}

TEST(HeapRequests, RefusedSizesLeaveTheBlock) {
  Heap heap;
  EXPECT_EQ(heap.allocate(Heap::kLargestRequest + 1), nullptr);
  EXPECT_EQ(heap.allocateZeroed(std::size_t(1) << 33, std::size_t(1) << 33), nullptr);
  void* p = heap.allocate(200);
  fillPattern(p, 200, 5);
  EXPECT_EQ(heap.reallocate(p, Heap::kLargestRequest + 1), nullptr);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::Medium);
  EXPECT_TRUE(hasPattern(p, 200, 5));
}

struct ClassCase {
  std::size_t request;
  std::size_t blockSize;
};

class TinyClasses : public testing::TestWithParam<ClassCase> {};

TEST_P(TinyClasses, RequestLandsInTheSmallestClassThatHoldsIt) {
  Heap heap;
  void* p = heap.allocate(GetParam().request);
  const BlockInfo info = heap.inspect(p);
  EXPECT_EQ(info.kind, BlockKind::Tiny);
  EXPECT_EQ(info.size, GetParam().blockSize);
  // Aligned for whatever a block of this size can hold.
  const std::size_t natural = std::min<std::size_t>(16, GetParam().blockSize & (~GetParam().blockSize + 1));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % natural, 0u);
  heap.free(p);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::TinyFree);
  EXPECT_EQ(heap.allocate(GetParam().request), p);  // the freed block is the first taken again
}

INSTANTIATE_TEST_SUITE_P(Sizes, TinyClasses,
                         testing::Values(ClassCase{1, 4}, ClassCase{4, 4}, ClassCase{5, 8}, ClassCase{8, 8}, ClassCase{9, 12},
                                         ClassCase{13, 16}, ClassCase{17, 24}, ClassCase{24, 24}, ClassCase{25, 32}, ClassCase{32, 32}));

TEST(TinyBlocks, PagesAreHandedOutFromTheirStartAndNeverOverlap) {
  Heap heap;
  std::array<void*, 600> blocks{};
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    blocks[i] = heap.allocate(12);
    fillPattern(blocks[i], 12, std::uint32_t(i));
  }
  EXPECT_EQ(blocks[1], at(blocks[0], 12));
  for (std::size_t i = 0; i < blocks.size(); ++i) EXPECT_TRUE(hasPattern(blocks[i], 12, std::uint32_t(i))) << i;
}

TEST(TinyBlocks, FlaggedAndOversizedRequestsAreMedium) {
  Heap heap;
  const BlockInfo flagged = heap.inspect(heap.allocate(8, 0x5A));
  EXPECT_EQ(flagged.kind, BlockKind::Medium);
  EXPECT_EQ(flagged.flag, 0x5A);
  EXPECT_EQ(heap.inspect(heap.allocate(33)).kind, BlockKind::Medium);
}

TEST(TinyBlocks, CommittingAPageKeepsErrno) {
  Heap heap;
  errno = EBADF;
  for (int i = 0; i < 2000; ++i) ASSERT_NE(heap.allocate(4), nullptr);
  EXPECT_EQ(errno, EBADF);
}

TEST(TinyBlocks, RequestsFallThroughToMediumBlocksWhenTheArenaIsUsedUp) {
  Heap heap;
  // 32-byte blocks: 127 to a page (the page's first 32 bytes hold its class).
  const std::size_t perPage = 4096 / 32 - 1;
  std::size_t tiny = 0;
  void* p = nullptr;
  while (heap.inspect(p = heap.allocate(32)).kind == BlockKind::Tiny) ++tiny;
  EXPECT_EQ(tiny, TinyArena::kReservedSize / 4096 * perPage);
  EXPECT_EQ(heap.inspect(p).kind, BlockKind::Medium);
  EXPECT_EQ(heap.inspect(heap.allocate(4)).kind, BlockKind::Medium);
}

// Three neighbours of 128 bytes each (112 payload and the header) with a fourth in use behind
// them, so the region's remaining free space cannot join in.
struct Neighbours {
  Heap heap;
  std::array<void*, 3> blocks{};
  void* guard = nullptr;
  Neighbours() {
    for (void*& b : blocks) b = heap.allocate(112);
    guard = heap.allocate(112);
  }
};

class CoalescingOrder : public testing::TestWithParam<std::array<int, 3>> {};

TEST_P(CoalescingOrder, ThreeNeighboursBecomeOneFreeBlock) {
  Neighbours n;
  ASSERT_EQ(n.blocks[1], at(n.blocks[0], 128));
  ASSERT_EQ(n.blocks[2], at(n.blocks[1], 128));
  for (int i : GetParam()) n.heap.free(n.blocks[std::size_t(i)]);
  const BlockInfo merged = n.heap.inspect(n.blocks[0]);
  EXPECT_EQ(merged.kind, BlockKind::MediumFree);
  EXPECT_EQ(merged.size, 3u * 128u);
  EXPECT_EQ(n.heap.inspect(n.guard).kind, BlockKind::Medium);
  // The merged block serves a request of its whole size at its start.
  EXPECT_EQ(n.heap.allocate(3 * 128 - 16), n.blocks[0]);
}

INSTANTIATE_TEST_SUITE_P(Orders, CoalescingOrder,
                         testing::Values(std::array<int, 3>{0, 2, 1}, std::array<int, 3>{0, 1, 2}, std::array<int, 3>{2, 1, 0},
                                         std::array<int, 3>{1, 0, 2}, std::array<int, 3>{1, 2, 0}, std::array<int, 3>{2, 0, 1}));

TEST(MediumBlocks, SplitOnlyWhenMoreThan63BytesRemain) {
  Neighbours n;
  n.heap.free(n.blocks[1]);
  // 128 - 80 = 48 bytes would remain: the whole block is taken.
  void* whole = n.heap.allocate(64);
  EXPECT_EQ(whole, n.blocks[1]);
  EXPECT_EQ(n.heap.inspect(whole).size, 128u);
  n.heap.free(whole);
  // 128 - 64 = 64 bytes remain: split.
  void* part = n.heap.allocate(48);
  EXPECT_EQ(part, n.blocks[1]);
  EXPECT_EQ(n.heap.inspect(part).size, 64u);
  EXPECT_EQ(n.heap.inspect(at(part, 64)).kind, BlockKind::MediumFree);
}

TEST(MediumReallocation, ShrinkingBesideABlockInUseByUnder64BytesKeepsTheSize) {
  Neighbours n;
  void* p = n.heap.reallocate(n.blocks[0], 112 - 48);
  EXPECT_EQ(p, n.blocks[0]);
  EXPECT_EQ(n.heap.inspect(p).size, 128u);
}

TEST(MediumReallocation, ShrinkingFurtherGivesTheTailBack) {
  Heap heap;
  void* p = heap.allocate(1000);
  void* guard = heap.allocate(100);
  fillPattern(p, 1000, 9);
  EXPECT_EQ(heap.reallocate(p, 400), p);
  EXPECT_EQ(heap.inspect(p).size, 416u);
  EXPECT_EQ(heap.inspect(at(p, 416)).kind, BlockKind::MediumFree);
  EXPECT_TRUE(hasPattern(p, 400, 9));
  // The tail merges with its neighbours when the block after it is freed too.
  heap.free(guard);
  EXPECT_EQ(heap.inspect(at(p, 416)).kind, BlockKind::MediumFree);
  EXPECT_EQ(heap.reallocate(p, 3000), p);  // grows into the merged space
  EXPECT_TRUE(hasPattern(p, 400, 9));
}

TEST(MediumReallocation, ShrinkingBesideAFreeBlockHandsItTheTail) {
  Neighbours n;
  n.heap.free(n.blocks[1]);
  EXPECT_EQ(n.heap.reallocate(n.blocks[0], 80), n.blocks[0]);
  EXPECT_EQ(n.heap.inspect(n.blocks[0]).size, 96u);
  const BlockInfo after = n.heap.inspect(at(n.blocks[0], 96));
  EXPECT_EQ(after.kind, BlockKind::MediumFree);
  EXPECT_EQ(after.size, 128u + 32u);
}

TEST(MediumReallocation, GrowingTakesFromAFreeNeighbourOrMoves) {
  Neighbours n;
  fillPattern(n.blocks[0], 112, 3);
  // Next block in use: the block moves and keeps its contents.
  void* moved = n.heap.reallocate(n.blocks[0], 200);
  EXPECT_NE(moved, n.blocks[0]);
  EXPECT_TRUE(hasPattern(moved, 112, 3));
  // Next block free and large enough: in place, taking all of it when under 64 bytes would remain.
  fillPattern(n.blocks[1], 112, 4);
  n.heap.free(n.blocks[2]);
  EXPECT_EQ(n.heap.reallocate(n.blocks[1], 112 + 80), n.blocks[1]);
  EXPECT_EQ(n.heap.inspect(n.blocks[1]).size, 256u);
  EXPECT_TRUE(hasPattern(n.blocks[1], 112, 4));
}

TEST(MediumReallocation, FlagFollowsAMovedBlock) {
  Heap heap;
  void* p = heap.allocate(40, 0x42);
  heap.allocate(40);
  void* q = heap.reallocate(p, 4000);
  ASSERT_NE(q, p);
  EXPECT_EQ(heap.inspect(q).flag, 0x42);
}

struct BoundaryCase {
  std::size_t request;
  BlockKind kind;
};

class MediumLargeBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(MediumLargeBoundary, RequestSizeDecides) {
  Heap heap;
  void* p = heap.allocate(GetParam().request);
  EXPECT_EQ(heap.inspect(p).kind, GetParam().kind);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
  EXPECT_GE(heap.usableSize(p), GetParam().request);
  std::memset(p, 0xEE, GetParam().request);
  heap.free(p);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MediumLargeBoundary,
                         testing::Values(BoundaryCase{33, BlockKind::Medium}, BoundaryCase{53240, BlockKind::Medium},
                                         BoundaryCase{53241, BlockKind::Large}, BoundaryCase{1 << 20, BlockKind::Large}));

TEST(LargeBlocks, ReallocationCrossesRangesKeepingContents) {
  Heap heap;
  void* p = heap.allocate(20);
  fillPattern(p, 20, 77);
  const std::array<std::size_t, 6> sizes{3000, 60000, 300000, 60000, 3000, 20};
  const std::array<BlockKind, 6> kinds{BlockKind::Medium, BlockKind::Large,  BlockKind::Large,
                                       BlockKind::Large,  BlockKind::Medium, BlockKind::Medium};
  std::size_t filled = 20;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    p = heap.reallocate(p, sizes[i]);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(heap.inspect(p).kind, kinds[i]) << sizes[i];
    EXPECT_TRUE(hasPattern(p, std::min(filled, sizes[i]), 77)) << sizes[i];
    fillPattern(p, sizes[i], 77);
    filled = sizes[i];
  }
}

TEST(AlignedBlocks, AliasesKeepTheirAlignmentThroughReallocation) {
  Heap heap;
  for (std::size_t alignment : {32, 64, 4096}) {
    for (std::size_t n : {8, 1000, 100000}) {
      void* p = heap.allocateAligned(n, alignment);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignment, 0u);
      EXPECT_EQ(heap.inspect(p).kind, BlockKind::Alias);
      fillPattern(p, n, std::uint32_t(n));
      void* q = heap.reallocate(p, n * 2);
      ASSERT_NE(q, nullptr);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(q) % alignment, 0u);
      EXPECT_TRUE(hasPattern(q, n, std::uint32_t(n)));
      heap.free(q);
    }
  }
  // Small alignments need no alias.
  EXPECT_EQ(heap.inspect(heap.allocateAligned(24, 8)).kind, BlockKind::Tiny);
  EXPECT_EQ(heap.allocateAligned(10, 3), nullptr);
}

TEST(ZeroedBlocks, ReusedMemoryComesBackZero) {
  Heap heap;
  for (std::size_t n : {24, 500, 70000}) {
    void* dirty = heap.allocate(n);
    std::memset(dirty, 0xFF, n);
    heap.free(dirty);
    auto* p = static_cast<unsigned char*>(heap.allocateZeroed(1, n));
    EXPECT_TRUE(std::all_of(p, p + n, [](unsigned char c) { return c == 0; })) << n;
  }
}

TEST(Regions, RequestsBeyondOneRegionOpenAnother) {
  Heap heap;
  std::array<void*, 6> blocks{};
  for (void*& b : blocks) {
    b = heap.allocate(50000);
    ASSERT_NE(b, nullptr);
    std::memset(b, 0x11, 50000);
  }
  EXPECT_NE(blocks[2], at(blocks[1], 50016));  // two to a region
  for (void* b : blocks) heap.free(b);
  // Everything merged back: each region is one free block again.
  for (std::size_t i = 0; i < blocks.size(); i += 2) {
    EXPECT_EQ(heap.inspect(blocks[i]).kind, BlockKind::MediumFree);
    EXPECT_EQ(heap.inspect(blocks[i]).size, MediumBlocks::kRegionSize - 16);
  }
}

}  // namespace
}  // namespace tamsil::heap
