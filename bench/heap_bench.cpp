// The runtime's heap against glibc malloc and mimalloc in the same run: pairs of allocate and
// free of tiny blocks (1 to 32 bytes) and of medium blocks (33 bytes to the medium limit), on one
// thread and on four. The one-thread runs come first, while the process has a single thread.
//
// mimalloc, once linked, takes over malloc itself, and under glibc's own names as well
// (__libc_malloc, __libc_free); glibc's allocator is looked up in the C library's own scope, so
// all three are measured side by side.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <mimalloc.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "runtime/heap/heap.h"
#include "runtime/heap/memory_heap.h"

namespace tamsil {
namespace {

// A function of the C library itself, not of a library that replaces it: a handle's lookup
// searches that library and its own dependencies only.
template <class Function>
Function* glibcFunction(const char* name) {
  void* libc = dlopen("libc.so.6", RTLD_NOW | RTLD_NOLOAD);
  void* found = libc ? dlsym(libc, name) : nullptr;
  if (!found) {
    std::fprintf(stderr, "glibc's %s not found\n", name);
    std::abort();
  }
  return reinterpret_cast<Function*>(found);
}

struct RuntimeHeap {
  static void* allocate(std::size_t n) { return Allocate(n); }
  static void release(void* p) { Free(p); }
};

struct GlibcMalloc {
  static void* allocate(std::size_t n) { return glibcMalloc(n); }
  static void release(void* p) { glibcFree(p); }
  static inline void* (*const glibcMalloc)(std::size_t) = glibcFunction<void*(std::size_t)>("malloc");
  static inline void (*const glibcFree)(void*) = glibcFunction<void(void*)>("free");
};

struct Mimalloc {
  static void* allocate(std::size_t n) { return mi_malloc(n); }
  static void release(void* p) { mi_free(p); }
};

constexpr std::size_t kSizes = 1024;

// Sizes from a fixed sequence, evenly spread over [low, high].
template <std::size_t low, std::size_t high>
const std::array<std::uint32_t, kSizes>& sizes() {
  static const std::array<std::uint32_t, kSizes> table = [] {
    std::array<std::uint32_t, kSizes> t{};
    std::uint32_t x = 2463534242u;
    for (std::uint32_t& s : t) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      s = std::uint32_t(low + x % (high - low + 1));
    }
    return t;
  }();
  return table;
}

template <class Allocator, std::size_t low, std::size_t high>
void pairs(benchmark::State& state) {
  HeapStartup();
  const auto& table = sizes<low, high>();
  std::size_t i = std::size_t(state.thread_index()) * 97;
  for (auto _ : state) {
    void* p = Allocator::allocate(table[i++ % kSizes]);
    benchmark::DoNotOptimize(p);
    Allocator::release(p);
  }
  state.SetItemsProcessed(state.iterations());
}

template <class Allocator>
void BM_TinyPairs(benchmark::State& state) {
  pairs<Allocator, 1, 32>(state);
}

template <class Allocator>
void BM_MediumPairs(benchmark::State& state) {
  pairs<Allocator, 33, heap::Heap::kMediumLimit>(state);
}

BENCHMARK_TEMPLATE(BM_TinyPairs, GlibcMalloc);
BENCHMARK_TEMPLATE(BM_TinyPairs, RuntimeHeap);
BENCHMARK_TEMPLATE(BM_TinyPairs, Mimalloc);
BENCHMARK_TEMPLATE(BM_MediumPairs, GlibcMalloc);
BENCHMARK_TEMPLATE(BM_MediumPairs, RuntimeHeap);
BENCHMARK_TEMPLATE(BM_MediumPairs, Mimalloc);
BENCHMARK_TEMPLATE(BM_TinyPairs, GlibcMalloc)->Threads(4)->UseRealTime();
BENCHMARK_TEMPLATE(BM_TinyPairs, RuntimeHeap)->Threads(4)->UseRealTime();
BENCHMARK_TEMPLATE(BM_TinyPairs, Mimalloc)->Threads(4)->UseRealTime();
BENCHMARK_TEMPLATE(BM_MediumPairs, GlibcMalloc)->Threads(4)->UseRealTime();
BENCHMARK_TEMPLATE(BM_MediumPairs, RuntimeHeap)->Threads(4)->UseRealTime();
BENCHMARK_TEMPLATE(BM_MediumPairs, Mimalloc)->Threads(4)->UseRealTime();

}  // namespace
}  // namespace tamsil
