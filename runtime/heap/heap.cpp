#include "runtime/heap/heap.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>

#include "runtime/heap/memory_heap.h"

namespace tamsil {
namespace heap {

CachedArena gCachedArena;
constinit thread_local TinyCache tThreadCache = TinyCache::closed();
// The calling thread's medium blocks, used while its tiny cache is armed (both serve the first
// heap only).
constinit thread_local MediumCache tMediumCache;

}  // namespace heap

namespace {

// The process heap lives in static storage and is made on first use, so it can serve objects
// constructed before main; it is ended by an exit handler registered when it starts, after the
// destructors of everything constructed later.
alignas(heap::Heap) unsigned char gStorage[sizeof(heap::Heap)];
std::atomic<heap::Heap*> gHeap{nullptr};
// The first heap while it runs: the only one whose tiny blocks go through thread caches (one
// started after the shutdown serves everything on its full paths).
std::atomic<heap::Heap*> gCachingHeap{nullptr};
std::atomic<bool> gShutDown{false};
std::mutex gStartMutex;

heap::Heap& startHeap() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  if (heap::Heap* running = gHeap.load()) return *running;
  auto* made = new (gStorage) heap::Heap;
  if (!gShutDown) {
    std::atexit(HeapShutdown);
    gCachingHeap.store(made, std::memory_order_release);
    heap::gCachedArena.start(made->tinyPlace());
  }
  gHeap.store(made, std::memory_order_release);
  return *made;
}

inline heap::Heap& processHeap() {
  heap::Heap* running = gHeap.load(std::memory_order_acquire);
  return running ? *running : startHeap();
}

// Whether this thread's cache was armed and is still in service: it is armed on the thread's
// first out-of-line call and ended when the thread ends, for good.
enum class CacheState : std::uint8_t { Unarmed, Armed, Ended };
constinit thread_local CacheState tCacheState = CacheState::Unarmed;

struct CacheFlush {
  ~CacheFlush() {
    tCacheState = CacheState::Ended;
    std::lock_guard<std::mutex> hold(gStartMutex);
    if (heap::Heap* running = gCachingHeap.load()) {
      running->flush(heap::tThreadCache);
      running->flush(heap::tMediumCache);
    }
    heap::tThreadCache = heap::TinyCache::closed();
  }
};

// Arms this thread's cache if it never was; answers the caching heap when this thread's cache
// serves it, else null.
heap::Heap* cachingHeap() {
  if (tCacheState == CacheState::Unarmed) [[unlikely]] {
    thread_local CacheFlush flushAtThreadEnd;
    tCacheState = CacheState::Armed;
    heap::tThreadCache = heap::TinyCache{};
  }
  heap::Heap* running = gCachingHeap.load(std::memory_order_acquire);
  return tCacheState == CacheState::Armed ? running : nullptr;
}

}  // namespace

void* heap::AllocateUncached(std::size_t n) {
  if (n - 1 < Heap::kMediumLimit) {
    if (Heap* cached = cachingHeap()) {
      return n <= tiny::kLargestBlock ? cached->allocate(tThreadCache, n) : cached->allocate(tMediumCache, n);
    }
  }
  return processHeap().allocate(n);
}

void heap::FreeUncached(void* p) {
  // After the shutdown the memory is gone already.
  if (!p || gShutDown.load(std::memory_order_relaxed)) return;
  Heap& running = processHeap();
  if (Heap* cached = cachingHeap()) {
    if (running.tinyPlace().contains(p)) return cached->freeBeyondCache(tThreadCache, p);
    return cached->free(tMediumCache, p);
  }
  running.free(p);
}

void HeapStartup() { processHeap(); }

void HeapShutdown() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  gShutDown = true;
  heap::gCachedArena.end();
  gCachingHeap = nullptr;
  if (heap::Heap* running = gHeap.exchange(nullptr)) running->~Heap();
}

void* AllocateFlagged(std::size_t n, std::uint8_t flag) { return processHeap().allocate(n, flag); }

void* AllocateZeroed(std::size_t count, std::size_t size) { return processHeap().allocateZeroed(count, size); }

void* AllocateAligned(std::size_t n, std::size_t alignment) { return processHeap().allocateAligned(n, alignment); }

void* Reallocate(void* p, std::size_t n) {
  if (p && gShutDown.load(std::memory_order_relaxed)) return nullptr;
  return processHeap().reallocate(p, n);
}

std::size_t HeapBlockSize(const void* p) { return gShutDown ? 0 : processHeap().usableSize(p); }

}  // namespace tamsil
