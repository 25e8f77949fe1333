#include "runtime/heap/heap.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>

#include "runtime/heap/memory_heap.h"

namespace tamsil {
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
  }
  gHeap.store(made, std::memory_order_release);
  return *made;
}

inline heap::Heap& processHeap() {
  heap::Heap* running = gHeap.load(std::memory_order_acquire);
  return running ? *running : startHeap();
}

// Each thread's cache of tiny blocks. It is used once the thread has armed it (which arranges
// for it to be given back when the thread ends) and no more after that.
enum class CacheState : std::uint8_t { Unarmed, Armed, Ended };
constinit thread_local heap::TinyCache tCache;
constinit thread_local CacheState tCacheState = CacheState::Unarmed;

struct CacheFlush {
  ~CacheFlush() {
    tCacheState = CacheState::Ended;
    std::lock_guard<std::mutex> hold(gStartMutex);
    if (heap::Heap* running = gCachingHeap.load()) running->flush(tCache);
  }
};

// The caching heap when this thread's cache serves it, else null.
inline heap::Heap* cachingHeap() {
  heap::Heap* running = gCachingHeap.load(std::memory_order_acquire);
  return tCacheState == CacheState::Armed ? running : nullptr;
}

// Arms this thread's cache if it never was; answers whether it now serves the caching heap.
bool armCache() {
  if (tCacheState != CacheState::Unarmed) return false;
  thread_local CacheFlush flushAtThreadEnd;
  tCacheState = CacheState::Armed;
  return gCachingHeap.load(std::memory_order_acquire) != nullptr;
}

[[gnu::noinline]] void* allocateFully(std::size_t n) {
  if (armCache()) return Allocate(n);
  return processHeap().allocate(n);
}

[[gnu::noinline]] void freeFully(void* p) {
  if (armCache()) return Free(p);
  // After the shutdown the memory is gone already.
  if (p && !gShutDown) processHeap().free(p);
}

}  // namespace

void HeapStartup() { processHeap(); }

void HeapShutdown() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  gShutDown = true;
  gCachingHeap = nullptr;
  if (heap::Heap* running = gHeap.exchange(nullptr)) running->~Heap();
}

void* Allocate(std::size_t n) {
  if (heap::Heap* cached = cachingHeap()) return cached->allocate(tCache, n);
  return allocateFully(n);
}

void* AllocateFlagged(std::size_t n, std::uint8_t flag) { return processHeap().allocate(n, flag); }

void* AllocateZeroed(std::size_t count, std::size_t size) { return processHeap().allocateZeroed(count, size); }

void* AllocateAligned(std::size_t n, std::size_t alignment) { return processHeap().allocateAligned(n, alignment); }

void* Reallocate(void* p, std::size_t n) {
  if (p && gShutDown.load(std::memory_order_relaxed)) return nullptr;
  return processHeap().reallocate(p, n);
}

std::size_t HeapBlockSize(const void* p) { return gShutDown ? 0 : processHeap().usableSize(p); }

void Free(void* p) {
  if (heap::Heap* cached = cachingHeap()) return cached->free(tCache, p);
  freeFully(p);
}

}  // namespace tamsil
