// Helpers shared by the heap's tests: a hook that records what the heap reports instead of ending
// the program, and a byte pattern that tells blocks apart.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime/heap/heap.h"
#include "runtime/heap/memory_heap.h"

namespace tamsil::heap {

// Installs a recording hook for the scope; the previous hook comes back at its end.
class RecordedReports {
 public:
  RecordedReports() : previous_(SetCorruptionHook(record)) { errors().clear(); }
  ~RecordedReports() { SetCorruptionHook(previous_); }
  RecordedReports(const RecordedReports&) = delete;
  RecordedReports& operator=(const RecordedReports&) = delete;

  const std::vector<HeapError>& list() const { return errors(); }

 private:
  static std::vector<HeapError>& errors() {
    static std::vector<HeapError> list;
    return list;
  }
  static void record(HeapError error, const void*) { errors().push_back(error); }
  CorruptionHook previous_;
};

// The byte at `index` of a block filled for `seed`.
inline std::uint8_t patternByte(std::uint32_t seed, std::size_t index) { return std::uint8_t((seed * 2654435761u + index * 40503u) >> 13); }

inline void fillPattern(void* p, std::size_t size, std::uint32_t seed) {
  auto* b = static_cast<std::uint8_t*>(p);
  for (std::size_t i = 0; i < size; ++i) b[i] = patternByte(seed, i);
}

inline bool hasPattern(const void* p, std::size_t size, std::uint32_t seed) {
  const auto* b = static_cast<const std::uint8_t*>(p);
  for (std::size_t i = 0; i < size; ++i)
    if (b[i] != patternByte(seed, i)) return false;
  return true;
}

// Runs `task(i)` on threads 0 .. kShardCount - 1, one after another, while all of them run: each
// claims its medium shard first, so between them they allocate from every shard.
inline void onEveryShard(const std::function<void(std::size_t)>& task) {
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t claimed = 0;
  std::size_t turn = 0;
  Heap scratch(MediumShards::kShardCount * MediumBlocks::kRegionSize);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < MediumShards::kShardCount; ++i) {
    threads.emplace_back([&, i] {
      scratch.free(scratch.allocate(100));  // the first medium block claims the thread's shard
      std::unique_lock<std::mutex> hold(mutex);
      ++claimed;
      changed.notify_all();
      changed.wait(hold, [&] { return claimed == MediumShards::kShardCount && turn == i; });
      task(i);
      ++turn;
      changed.notify_all();
    });
  }
  for (std::thread& t : threads) t.join();
}

}  // namespace tamsil::heap
