// Four threads allocate, reallocate and free at random on one heap, handing blocks to each other,
// while a shadow model of every live block (its size and the pattern written into it) is checked
// at each step. Any overlap, lost byte, wrong size, misalignment or heap report fails the test.
//
// KESTREL_HEAP_STRESS_OPS sets the number of operations of all threads together.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/heap/memory_heap.h"
#include "tests/heap/heap_test.h"

namespace tamsil::heap {
namespace {

constexpr std::uint64_t kDefaultOperations = 4'000'000;
constexpr int kThreads = 4;
constexpr std::size_t kSlotsPerThread = 2048;
constexpr std::size_t kExchangeSlots = 64;
// Blocks up to this size are checked whole; larger ones at their ends and every kStride bytes.
constexpr std::size_t kCheckedWhole = 256;
constexpr std::size_t kStride = 251;

std::uint64_t operationCount() {
  const char* text = std::getenv("KESTREL_HEAP_STRESS_OPS");
  return text && *text ? std::strtoull(text, nullptr, 10) : kDefaultOperations;
}

struct Block {
  void* p = nullptr;
  std::uint32_t size = 0;
  std::uint32_t seed = 0;
};

// The bytes of a block the model writes and checks.
template <class Visit>
bool forEachChecked(std::size_t size, Visit visit) {
  if (size <= kCheckedWhole) {
    for (std::size_t i = 0; i < size; ++i)
      if (!visit(i)) return false;
    return true;
  }
  for (std::size_t i = 0; i < 64; ++i)
    if (!visit(i) || !visit(size - 1 - i)) return false;
  for (std::size_t i = 64; i < size - 64; i += kStride)
    if (!visit(i)) return false;
  return true;
}

void write(const Block& b) {
  auto* bytes = static_cast<std::uint8_t*>(b.p);
  forEachChecked(b.size, [&](std::size_t i) {
    bytes[i] = patternByte(b.seed, i);
    return true;
  });
}

bool intact(const Block& b, std::size_t upTo) {
  const auto* bytes = static_cast<const std::uint8_t*>(b.p);
  return forEachChecked(b.size, [&](std::size_t i) { return i >= upTo || bytes[i] == patternByte(b.seed, i); });
}

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return std::uint32_t(state_ >> 16);
  }
  std::uint32_t below(std::uint32_t n) { return next() % n; }

 private:
  std::uint64_t state_;
};

// Mostly tiny and small medium blocks, some up to the medium limit, a few large ones.
std::uint32_t randomSize(Random& r) {
  const std::uint32_t pick = r.below(1000);
  if (pick < 550) return 1 + r.below(32);
  if (pick < 900) return 33 + r.below(1024 - 32);
  if (pick < 995) return 1025 + r.below(std::uint32_t(Heap::kMediumLimit) - 1024);
  return std::uint32_t(Heap::kMediumLimit) + 1 + r.below(150000);
}

struct Exchange {
  std::mutex mutex;
  Block block;
};

struct Shared {
  Heap heap;
  // Whether each thread allocates and frees through caches of tiny and medium blocks of its own.
  bool cached = false;
  std::array<Exchange, kExchangeSlots> exchange;
  std::atomic<std::uint64_t> failures{0};
  std::atomic<std::uint32_t> seeds{1};
};

std::atomic<int> gReports{0};

void fail(Shared& s, const char* what, std::size_t size) {
  if (s.failures.fetch_add(1) < 10) std::fprintf(stderr, "stress: %s (size %zu)\n", what, size);
}

void checkFresh(Shared& s, const Block& b, std::size_t alignment) {
  if (!b.p) return fail(s, "allocation refused", b.size);
  if (reinterpret_cast<std::uintptr_t>(b.p) % alignment) fail(s, "misaligned block", b.size);
  if (s.heap.usableSize(b.p) < b.size) fail(s, "block smaller than asked", b.size);
}

// The largest power of two, up to 16, that divides n: what any object of n bytes may need.
std::size_t naturalAlignment(std::size_t n) { return std::min<std::size_t>(16, n & (~n + 1)); }

// A thread's way into the heap: its caches when the run uses caches.
struct Lane {
  Shared& s;
  TinyCache cache;
  MediumCache medium;
  void* allocate(std::size_t n) {
    if (!s.cached) return s.heap.allocate(n);
    return n <= TinyArena::kLargestBlock ? s.heap.allocate(cache, n) : s.heap.allocate(medium, n);
  }
  void free(void* p) {
    if (!s.cached) s.heap.free(p);
    else if (s.heap.tinyPlace().contains(p)) s.heap.free(cache, p);
    else s.heap.free(medium, p);
  }
  void flush() {
    s.heap.flush(cache);
    s.heap.flush(medium);
  }
};

void allocateInto(Lane& lane, Random& r, Block& b) {
  Shared& s = lane.s;
  b.size = randomSize(r);
  b.seed = s.seeds.fetch_add(1, std::memory_order_relaxed);
  const std::uint32_t how = r.below(100);
  std::size_t alignment = naturalAlignment(b.size);
  if (how < 3) {
    alignment = std::size_t(32) << r.below(5);
    b.p = s.heap.allocateAligned(b.size, alignment);
  } else if (how < 6) {
    b.p = s.heap.allocateZeroed(1, b.size);
    if (b.p && !forEachChecked(b.size, [&](std::size_t i) { return static_cast<std::uint8_t*>(b.p)[i] == 0; }))
      fail(s, "zeroed block not zero", b.size);
  } else {
    b.p = lane.allocate(b.size);
  }
  checkFresh(s, b, alignment);
  if (b.p) write(b);
}

void release(Lane& lane, Block& b) {
  if (!intact(b, b.size)) fail(lane.s, "contents changed", b.size);
  lane.free(b.p);
  b = Block{};
}

void reallocate(Shared& s, Random& r, Block& b) {
  if (!intact(b, b.size)) fail(s, "contents changed before reallocation", b.size);
  const std::uint32_t size = randomSize(r);
  void* p = s.heap.reallocate(b.p, size);
  if (!p) return fail(s, "reallocation refused", size);
  // What the old block held up to the smaller size is kept (checked where the old block was
  // written); then the new block is written where its own checks look.
  if (!intact(Block{p, b.size, b.seed}, std::min(b.size, size))) fail(s, "contents lost by reallocation", size);
  const Block moved{p, size, b.seed};
  checkFresh(s, moved, naturalAlignment(size));
  write(moved);
  b = moved;
}

void run(Shared& s, int thread, std::uint64_t operations) {
  Lane lane{s, {}, {}};
  Random r(std::uint64_t(thread) + 1);
  std::vector<Block> slots(kSlotsPerThread);
  for (std::uint64_t op = 0; op < operations; ++op) {
    Block& b = slots[r.below(kSlotsPerThread)];
    const std::uint32_t what = r.below(100);
    if (!b.p) {
      allocateInto(lane, r, b);
    } else if (what < 35) {
      reallocate(s, r, b);
    } else if (what < 40) {
      // Swapped with whatever another thread left, so blocks are freed by threads that did not
      // allocate them.
      Exchange& e = s.exchange[r.below(kExchangeSlots)];
      std::lock_guard<std::mutex> hold(e.mutex);
      std::swap(e.block, b);
    } else {
      release(lane, b);
    }
  }
  for (Block& b : slots)
    if (b.p) release(lane, b);
  lane.flush();
}

class HeapStress : public testing::TestWithParam<bool> {};

TEST_P(HeapStress, RandomOperationsOnFourThreadsMatchTheShadowModel) {
  const CorruptionHook previous = SetCorruptionHook([](HeapError, const void*) { ++gReports; });
  const std::uint64_t operations = operationCount();
  const auto start = std::chrono::steady_clock::now();
  {
    auto shared = std::make_unique<Shared>();
    shared->cached = GetParam();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(run, std::ref(*shared), t, operations / kThreads);
    for (std::thread& t : threads) t.join();
    Lane last{*shared, {}, {}};
    for (Exchange& e : shared->exchange)
      if (e.block.p) release(last, e.block);
    last.flush();
    EXPECT_EQ(shared->failures.load(), 0u);
  }
  SetCorruptionHook(previous);
  EXPECT_EQ(gReports.load(), 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%llu operations on %d threads in %.1f s\n", static_cast<unsigned long long>(operations), kThreads, seconds);
}

INSTANTIATE_TEST_SUITE_P(Lanes, HeapStress, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) { return param.param ? "ThreadCaches" : "Direct"; });

}  // namespace
}  // namespace tamsil::heap
