#include "runtime/heap/heap_lock.h"

namespace tamsil::heap {
namespace {

constexpr int kSpins = 100;

inline void pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

void HeapLock::lockSlowly() {
  for (int i = 0; i < kSpins; ++i) {
    pause();
    std::uint32_t expected = kFree;
    if (state_.load(std::memory_order_relaxed) == kFree && state_.compare_exchange_weak(expected, kHeld, std::memory_order_acquire)) return;
  }
  // Marked as waited for, so the holder wakes a sleeper when it leaves.
  while (state_.exchange(kHeldWithWaiters, std::memory_order_acquire) != kFree) state_.wait(kHeldWithWaiters);
}

}  // namespace tamsil::heap
