// Medium blocks: 128 KiB regions committed one after another inside a range of address space, blocks with
// boundary tags, a list of free blocks searched first fit from a rover, splits only when more
// than 63 bytes would remain, and coalescing with both neighbours as soon as a block is freed.
//
// Every tag and descriptor address read back from memory is checked before it is trusted: a block
// freed twice or a damaged tag is reported, never followed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/heap/block_layout.h"
#include "runtime/heap/descriptor_pool.h"
#include "runtime/heap/poison.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {

class MediumBlocks {
 public:
  static constexpr std::size_t kRegionSize = 0x20000;
  // A free block is split only when at least this much would remain of it.
  static constexpr std::size_t kSplitRemainder = 64;

  MediumBlocks() { head_.next = head_.prev = &head_; }
  ~MediumBlocks();
  MediumBlocks(const MediumBlocks&) = delete;
  MediumBlocks& operator=(const MediumBlocks&) = delete;

  // The block size, header included, that serves `n` bytes.
  static std::size_t blockSizeFor(std::size_t n) { return roundUp(n, kAlignment) + kHeaderSize; }

  // Regions are committed inside [base, base + size), descriptors inside
  // [descriptors, descriptors + DescriptorPool::rangeFor(size)), both reserved and released by the
  // owner; until this is called (or with a null base) there are no regions at all.
  void place(std::byte* base, std::size_t size, std::byte* descriptors) {
    base_ = base;
    reserved_ = base ? size : 0;
    pool_.place(base ? descriptors : nullptr, DescriptorPool::rangeFor(size));
  }
  // Regions are only ever added, under the shard's lock; a thread's cache asks without it.
  bool contains(const void* p) const { return offsetOf(p) < committed_.load(std::memory_order_acquire); }
  // Whether a pointer inside the regions has room for a header in front of it, so its tag can
  // be read.
  bool hasHeader(const void* p) const { return offsetOf(p) % kAlignment == 0 && offsetOf(p) % kRegionSize >= kHeaderSize; }
  // A block for `n` bytes; null when no region can be added.
  std::byte* allocate(std::size_t n, std::uint8_t flag);
  // Whether `p` (inside the regions) is a block in use with sound tags; reports what it finds
  // otherwise.
  bool checkUsed(std::byte* p);
  // The same without a report: a thread's cache asks this without the lock before it keeps `p`,
  // reading only tags (which are atomic) and the block's own size.
  bool soundInUse(std::byte* p) const;
  // A sound block in use kept free in a thread's cache: marked so that freeing it again is
  // reported and neighbours do not merge with it, its payload poisoned. Without the lock.
  static void markCached(std::byte* p) {
    tagOf(p) = kTagMediumCached;
    poison(p, sizeOf(p) - kHeaderSize);
  }
  // A block marked cached handed out again for `n` bytes it holds. Without the lock.
  static void takeCached(std::byte* p, std::size_t n) {
    tagOf(p) = kTagMediumUsed;
    flagOf(p) = 0;
    exposeBlock(p, sizeOf(p), n);
  }
  // Makes the first `n` payload bytes of a block of `size` bytes addressable, the rest not.
  static void exposeBlock(std::byte* p, std::size_t size, std::size_t n) {
    unpoison(p, n);
    poison(p + n, size - kHeaderSize - n);
  }
  // Frees a block marked cached, as free does.
  void freeCached(std::byte* p);
  // Frees a checked block, merging it with free neighbours.
  void free(std::byte* p);

  enum class Resize { Done, Moved, Corrupt };
  // Gives a checked block room for `n` bytes in place; Moved when the neighbours do not allow it.
  Resize resize(std::byte* p, std::size_t n);
  static std::size_t usableSize(const std::byte* p) { return sizeOf(p) - kHeaderSize; }

 private:
  std::uintptr_t offsetOf(const void* p) const { return reinterpret_cast<std::uintptr_t>(p) - reinterpret_cast<std::uintptr_t>(base_); }
  // Whether a block of `size` with payload `p` lies wholly inside p's region.
  bool fits(const std::byte* p, std::size_t size) const;
  Descriptor* findFit(std::size_t size);
  Descriptor* addRegion();
  std::byte* take(Descriptor* d, std::size_t size, std::uint8_t flag, std::size_t n);
  // The descriptor of the free block at `p`, or of the free block that ends at `p`; null when the
  // tags and the descriptor disagree.
  Descriptor* freeAt(std::byte* p) const;
  Descriptor* freeBefore(std::byte* p) const;
  void insertFirst(Descriptor* d);
  void unlink(Descriptor* d);
  static void writeHeader(std::byte* p, std::uint8_t tag, std::uint8_t flag, std::size_t size);
  static void setDescriptor(std::byte* p, std::size_t size, Descriptor* d);

  std::byte* base_ = nullptr;
  std::size_t reserved_ = 0;
  std::atomic<std::size_t> committed_{0};
  DescriptorPool pool_;
  Descriptor head_;  // the list's sentinel; its size 0 fits no request
  Descriptor* rover_ = &head_;
};

}  // namespace tamsil::heap
