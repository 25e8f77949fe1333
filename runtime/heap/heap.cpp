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

}  // namespace

void HeapStartup() { processHeap(); }

void HeapShutdown() {
  std::lock_guard<std::mutex> hold(gStartMutex);
  gShutDown = true;
  if (heap::Heap* running = gHeap.exchange(nullptr)) running->~Heap();
}

void* Allocate(std::size_t n) { return processHeap().allocate(n); }

void* AllocateFlagged(std::size_t n, std::uint8_t flag) { return processHeap().allocate(n, flag); }

void* AllocateZeroed(std::size_t count, std::size_t size) { return processHeap().allocateZeroed(count, size); }

void* AllocateAligned(std::size_t n, std::size_t alignment) { return processHeap().allocateAligned(n, alignment); }

void* Reallocate(void* p, std::size_t n) {
  if (p && gShutDown.load(std::memory_order_relaxed)) return nullptr;
  return processHeap().reallocate(p, n);
}

void Free(void* p) {
  // After the shutdown the memory is gone already.
  if (!p || gShutDown.load(std::memory_order_relaxed)) return;
  processHeap().free(p);
}

}  // namespace tamsil
