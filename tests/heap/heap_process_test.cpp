// The process heap behind the runtime's allocation calls, the allocator that puts containers on
// it, and its life across start-up, threads and shutdown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "runtime/heap/heap_allocator.h"
#include "tests/heap/heap_test.h"

namespace tamsil {
namespace {

TEST(ProcessHeap, CallsServeEveryRange) {
  HeapStartup();
  for (std::size_t n : {1, 32, 33, 4000, 53240, 53241, 200000}) {
    void* p = Allocate(n);
    ASSERT_NE(p, nullptr) << n;
    heap::fillPattern(p, n, 1);
    p = Reallocate(p, n + 100);
    EXPECT_TRUE(heap::hasPattern(p, n, 1)) << n;
    Free(p);
  }
  void* flagged = AllocateFlagged(10, 3);
  auto* zeroed = static_cast<unsigned char*>(AllocateZeroed(10, 10));
  EXPECT_EQ(zeroed[99], 0);
  void* aligned = AllocateAligned(100, 256);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(aligned) % 256, 0u);
  for (void* p : {flagged, static_cast<void*>(zeroed), aligned}) Free(p);
  EXPECT_EQ(Allocate(0), nullptr);
  Free(nullptr);
}

struct alignas(64) Wide {
  char bytes[64];
};

struct Node : HeapObject {
  explicit Node(int v) : value(v) {}
  int value;
  HeapString name{"a node whose name is longer than the inline buffer"};
};

TEST(HeapAllocator, ContainersAndObjectsLiveOnTheHeap) {
  heap::RecordedReports reports;
  HeapString text = "a text long enough to leave the small-string buffer behind";
  text += text;
  EXPECT_EQ(text.size(), 116u);
  EXPECT_EQ(text.substr(58, 6), "a text");
  HeapVector<Wide> wides(5);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wides.data()) % 64, 0u);
  HeapDeque<int> queue;
  for (int i = 0; i < 5000; ++i) queue.push_back(i);
  while (queue.size() > 1) queue.pop_front();
  EXPECT_EQ(queue.front(), 4999);
  auto node = std::make_unique<Node>(7);
  EXPECT_EQ(node->value, 7);
  node.reset();
  EXPECT_TRUE(reports.list().empty());
}

TEST(ProcessHeap, ThreadsShareItSafely) {
  heap::RecordedReports reports;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      std::deque<void*> blocks;
      for (int i = 0; i < 20000; ++i) {
        const std::size_t n = std::size_t(1 + (i * 37 + t) % 3000);
        blocks.push_back(Allocate(n));
        std::memset(blocks.back(), t, n);
        if (i % 3 == 0) {
          Free(blocks.front());
          blocks.pop_front();
        }
      }
      for (void* b : blocks) Free(b);
    });
  for (std::thread& t : threads) t.join();
  EXPECT_TRUE(reports.list().empty());
}

TEST(ProcessHeap, AfterShutdownFreesAreIgnoredAndAllocationsStillWork) {
  EXPECT_EXIT(
      {
        void* p = Allocate(100);
        HeapShutdown();
        Free(p);
        void* q = Allocate(100);
        std::memset(q, 1, 100);
        Free(q);
        std::exit(q ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tamsil
