// The process heap's thread caches as heap.h's inline Allocate and Free reach them: each thread's
// TinyCache in initial-exec thread-local storage (the runtime's libraries are linked statically,
// so it lies at a fixed offset from the thread pointer), the place of the arena they serve, and
// the out-of-line paths for everything else.
//
// A thread's cache takes no blocks until the thread's first out-of-line call arms it (which also
// arranges for it to be given back when the thread ends). The place is nowhere, so that no
// cache is used, until the first process heap starts and again once HeapShutdown has run.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/tiny_cache.h"
#include "runtime/heap/tiny_classes.h"

namespace tamsil::heap {

class CachedArena {
 public:
  // The largest request the caches serve: tiny::kLargestBlock while they serve, else 0. Never
  // more, which the compiler is told, so that it knows a request below it indexes no further
  // than the class table.
  std::size_t largestRequest() const {
    const std::size_t largest = largest_.load(std::memory_order_relaxed);
    if (largest > tiny::kLargestBlock) __builtin_unreachable();
    return largest;
  }
  // The arena the caches serve; nowhere while they serve none.
  tiny::ArenaPlace place() const { return {base_.load(std::memory_order_acquire)}; }
  void start(const tiny::ArenaPlace& place) {
    base_.store(place.base, std::memory_order_release);
    largest_.store(place.exists() ? tiny::kLargestBlock : 0, std::memory_order_release);
  }
  void end() {
    largest_.store(0, std::memory_order_relaxed);
    base_.store(tiny::ArenaPlace::kNowhere, std::memory_order_relaxed);
  }

 private:
  std::atomic<std::uintptr_t> base_{tiny::ArenaPlace::kNowhere};
  std::atomic<std::size_t> largest_{0};
};

extern CachedArena gCachedArena;
extern constinit thread_local TinyCache tThreadCache [[gnu::tls_model("initial-exec")]];

// Everything the calling thread's cache does not serve: arms the cache, refills or trims a class,
// and takes the heap's full paths for other blocks (reporting a bad free).
void* AllocateUncached(std::size_t n);
void FreeUncached(void* p);

}  // namespace tamsil::heap
