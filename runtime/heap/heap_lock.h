// The heap's critical section. Taking it costs one atomic exchange when free; a thread that finds
// it held spins briefly (the heap holds it for a few hundred instructions at most) and then
// sleeps until the holder leaves. While the process has a single thread there is nobody to
// exclude, so the guard does not touch the lock at all, as the C library does for its own heap.
#pragma once

#include <sys/single_threaded.h>

#include <atomic>
#include <cstdint>

namespace tamsil::heap {

class HeapLock {
 public:
  void lock() {
    std::uint32_t expected = kFree;
    if (!state_.compare_exchange_strong(expected, kHeld, std::memory_order_acquire)) lockSlowly();
  }
  void unlock() {
    if (state_.exchange(kFree, std::memory_order_release) == kHeldWithWaiters) state_.notify_one();
  }

 private:
  enum : std::uint32_t { kFree, kHeld, kHeldWithWaiters };
  void lockSlowly();
  std::atomic<std::uint32_t> state_{kFree};
};

// Holds the lock for a scope, unless this is the only thread. A thread is only ever created by
// a thread that runs, so the answer cannot change between entering and leaving.
class HeapGuard {
 public:
  explicit HeapGuard(HeapLock& lock) : lock_(__libc_single_threaded ? nullptr : &lock) {
    if (lock_) lock_->lock();
  }
  ~HeapGuard() {
    if (lock_) lock_->unlock();
  }
  HeapGuard(const HeapGuard&) = delete;
  HeapGuard& operator=(const HeapGuard&) = delete;

 private:
  HeapLock* lock_;
};

}  // namespace tamsil::heap
