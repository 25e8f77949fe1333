// The runtime's heap: every allocation the runtime makes for itself (texts, queues, buffers,
// trees) comes from here rather than from the C library. Blocks of up to 32 bytes come from
// per-size free lists in one reserved arena; medium blocks from 128 KiB regions with boundary
// tags, first fit and immediate coalescing; large blocks from mappings of their own.
//
// Every block is aligned for any object its requested size can hold: medium and large blocks on
// 16 bytes, tiny blocks on their size's natural alignment (a 24-byte block on 8). One critical
// section serializes all operations, so any thread may allocate and free; only a thread's cache of
// free tiny blocks (a few per size, given back when the thread ends) is served without it, by
// Allocate and Free inline, in a handful of instructions (process_cache.h).
//
// A double free, a free of a pointer the heap never gave, and a damaged boundary tag are never
// passed over: they go to the corruption hook, whose default writes a report with a stack trace to
// the trace output and ends the program with kHeapFaultExitCode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/heap/process_cache.h"

namespace tamsil {

// Starts the process heap; the first allocation does it too. Ends with the process.
void HeapStartup();
// Returns all the process heap's memory. Blocks freed afterwards are ignored; allocations still
// succeed but are never returned.
void HeapShutdown();

// Null for 0 bytes or when memory runs out.
inline void* Allocate(std::size_t n) {
  if (n - 1 < heap::gCachedArena.largestRequest()) {
    if (void* p = heap::tThreadCache.take(heap::gCachedArena.place(), n)) return p;
  }
  return heap::AllocateUncached(n);
}
// As Allocate, with a caller's flag byte kept in the block header (a flagged block is never tiny).
void* AllocateFlagged(std::size_t n, std::uint8_t flag);
// count * size zero bytes; null when either is 0 or the product overflows.
void* AllocateZeroed(std::size_t count, std::size_t size);
// A block whose address is a multiple of `alignment` (a power of two).
void* AllocateAligned(std::size_t n, std::size_t alignment);
// Grows or shrinks a block, in place where the neighbours allow. Null `p` allocates; 0 bytes
// frees and answers null; on failure answers null and `p` stays as it was.
void* Reallocate(void* p, std::size_t n);
// Null is ignored.
inline void Free(void* p) {
  if (!heap::tThreadCache.give(heap::gCachedArena.place(), p)) heap::FreeUncached(p);
}
// The bytes a block in use may hold (at least what was asked for); 0 for an address that is no
// block of the process heap in use.
std::size_t HeapBlockSize(const void* p);

// What the heap found wrong; the numbers are those of the runtime's diagnostic table.
enum class HeapError : int {
  CorruptBlock = 0,    // an unknown pointer, or a block whose boundary tags were overwritten
  OutOfFreeSpace = 1,  // no descriptor left for a freed block
  FreedTwice = 11,
};

std::string_view HeapErrorText(HeapError error);

// Called with the heap's lock held; a hook that returns lets the operation give up (the free
// does nothing, the reallocation answers null). It must not call the heap.
using CorruptionHook = void (*)(HeapError error, const void* block);
// Installs a hook (null: the default) and answers the previous one.
CorruptionHook SetCorruptionHook(CorruptionHook hook);

// The exit code of a program the default hook ends.
inline constexpr int kHeapFaultExitCode = 2;

// Where heap reports go, one line at a time without line end; stderr until the runtime starts.
using HeapTraceOutput = void (*)(std::string_view line);
void SetHeapTraceOutput(HeapTraceOutput output);

}  // namespace tamsil
