#include "runtime/heap/heap.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>

#include <sys/single_threaded.h>

#include "runtime/heap/memory_heap.h"

namespace tamsil {
namespace {

// The process heap lives in static storage and is made on first use, so it can serve objects
// constructed before main; it is ended by an exit handler registered when it starts, after the
// destructors of everything constructed later.
alignas(heap::Heap) unsigned char gStorage[sizeof(heap::Heap)];
std::atomic<heap::Heap*> gHeap{nullptr};
std::atomic<bool> gShutDown{false};
std::mutex gStartMutex;

heap::Heap& startHeap() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  if (heap::Heap* running = gHeap.load()) return *running;
  auto* made = new (gStorage) heap::Heap;
  if (!gShutDown) std::atexit(HeapShutdown);
  gHeap.store(made, std::memory_order_release);
  return *made;
}

inline heap::Heap& processHeap() {
  heap::Heap* running = gHeap.load(std::memory_order_acquire);
  return running ? *running : startHeap();
}

// The process heap when it runs and this is the process's only thread, else null: then nobody
// else can be inside the heap, and tiny blocks need not take the lock.
inline heap::Heap* heapAlone() {
  heap::Heap* running = gHeap.load(std::memory_order_acquire);
  return __libc_single_threaded ? running : nullptr;
}

[[gnu::noinline]] void* allocateFully(std::size_t n) { return processHeap().allocate(n); }

[[gnu::noinline]] void freeFully(void* p) {
  // After the shutdown the memory is gone already.
  if (p && !gShutDown) processHeap().free(p);
}

}  // namespace

void HeapStartup() { processHeap(); }

void HeapShutdown() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  gShutDown = true;
  if (heap::Heap* running = gHeap.exchange(nullptr)) running->~Heap();
}

void* Allocate(std::size_t n) {
  if (heap::Heap* alone = heapAlone())
    if (void* p = alone->allocateTinyAlone(n)) return p;
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
  if (heap::Heap* alone = heapAlone())
    if (alone->freeTinyAlone(p)) return;
  freeFully(p);
}

}  // namespace tamsil
