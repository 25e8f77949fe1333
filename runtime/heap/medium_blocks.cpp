#include "runtime/heap/medium_blocks.h"

#include "runtime/heap/heap_report.h"
#include "runtime/heap/poison.h"

namespace tamsil::heap {
namespace {

constexpr std::size_t kSmallestBlock = 2 * kHeaderSize;
constexpr std::size_t kDescriptorSlot = 24;  // back from the block's end

bool soundNeighbourTag(std::uint8_t tag) {
  return tag == kTagMediumUsed || tag == kTagMediumFree || tag == kTagMediumCached || tag == kTagBoundary;
}

}  // namespace

MediumBlocks::~MediumBlocks() { unpoison(base_, committed_.load(std::memory_order_relaxed)); }

void MediumBlocks::writeHeader(std::byte* p, std::uint8_t tag, std::uint8_t flag, std::size_t size) {
  unpoison(p - kHeaderSize, kHeaderSize);
  tagOf(p) = tag;
  flagOf(p) = flag;
  setSize(p, size);
}

void MediumBlocks::setDescriptor(std::byte* p, std::size_t size, Descriptor* d) {
  std::byte* slot = p + size - kDescriptorSlot;
  unpoison(slot, sizeof d);
  setPointerAt(slot, d);
}

bool MediumBlocks::fits(const std::byte* p, std::size_t size) const {
  const std::uintptr_t inRegion = offsetOf(p) % kRegionSize;
  return offsetOf(p) % kAlignment == 0 && inRegion >= kHeaderSize && size >= kSmallestBlock && size % kAlignment == 0 &&
         inRegion + size <= kRegionSize;
}

void MediumBlocks::insertFirst(Descriptor* d) {
  d->next = head_.next;
  d->prev = &head_;
  head_.next->prev = d;
  head_.next = d;
  rover_ = &head_;
}

void MediumBlocks::unlink(Descriptor* d) {
  d->prev->next = d->next;
  d->next->prev = d->prev;
}

Descriptor* MediumBlocks::findFit(std::size_t size) {
  Descriptor* d = rover_;
  do {
    if (d->size >= size) return d;
    d = d->next;
  } while (d != rover_);
  return nullptr;
}

Descriptor* MediumBlocks::addRegion() {
  const std::size_t committed = committed_.load(std::memory_order_relaxed);
  if (committed + kRegionSize > reserved_) return nullptr;
  Descriptor* d = pool_.take();
  if (!d) return nullptr;
  std::byte* region = base_ + committed;
  if (!CommitRange(region, kRegionSize)) {
    pool_.give(d);
    return nullptr;
  }
  // One free block from just after the boundary to the end, where the next block's tag position
  // says there is none.
  std::byte* p = region + kHeaderSize;
  const std::size_t size = kRegionSize - kHeaderSize;
  previousTagOf(p) = kTagBoundary;
  writeHeader(p, kTagMediumFree, 0, size);
  trailingTagOf(p, size) = kTagMediumFree;
  tagOf(region + kRegionSize) = kTagBoundary;
  setDescriptor(p, size, d);
  poison(p, size - kDescriptorSlot);
  d->block = p;
  d->size = size;
  insertFirst(d);
  // Published once the region's tags are written: a cache that finds a pointer inside reads them.
  committed_.store(committed + kRegionSize, std::memory_order_release);
  return d;
}

std::byte* MediumBlocks::take(Descriptor* d, std::size_t size, std::uint8_t flag, std::size_t n) {
  std::byte* p = d->block;
  const std::size_t available = d->size;
  if (available - size >= kSplitRemainder) {
    std::byte* rest = p + size;
    writeHeader(rest, kTagMediumFree, 0, available - size);
    previousTagOf(rest) = kTagMediumUsed;
    d->block = rest;
    d->size = available - size;
  } else {
    size = available;
    rover_ = d->next;
    unlink(d);
    pool_.give(d);
    trailingTagOf(p, size) = kTagMediumUsed;
  }
  writeHeader(p, kTagMediumUsed, flag, size);
  exposeBlock(p, size, n);
  return p;
}

std::byte* MediumBlocks::allocate(std::size_t n, std::uint8_t flag) {
  const std::size_t size = blockSizeFor(n);
  Descriptor* d = findFit(size);
  if (!d) d = addRegion();
  return d ? take(d, size, flag, n) : nullptr;
}

Descriptor* MediumBlocks::freeAt(std::byte* p) const {
  const std::size_t size = sizeOf(p);
  if (!fits(p, size)) return nullptr;
  auto* d = pointerAt<Descriptor>(p + size - kDescriptorSlot);
  return pool_.owns(d) && d->block == p && d->size == size ? d : nullptr;
}

Descriptor* MediumBlocks::freeBefore(std::byte* p) const {
  auto* d = pointerAt<Descriptor>(p - kDescriptorSlot);
  if (!pool_.owns(d) || !contains(d->block) || d->block + d->size != p) return nullptr;
  return tagOf(d->block) == kTagMediumFree && fits(d->block, d->size) ? d : nullptr;
}

bool MediumBlocks::soundInUse(std::byte* p) const {
  if (!hasHeader(p) || tagOf(p) != kTagMediumUsed) return false;
  const std::size_t size = sizeOf(p);
  return fits(p, size) && trailingTagOf(p, size) == kTagMediumUsed && soundNeighbourTag(previousTagOf(p)) && soundNeighbourTag(tagOf(p + size));
}

bool MediumBlocks::checkUsed(std::byte* p) {
  if (soundInUse(p)) return true;
  const bool freed = hasHeader(p) && (tagOf(p) == kTagMediumFree || tagOf(p) == kTagMediumCached);
  ReportCorruption(freed ? HeapError::FreedTwice : HeapError::CorruptBlock, p);
  return false;
}

void MediumBlocks::freeCached(std::byte* p) {
  tagOf(p) = kTagMediumUsed;
  free(p);
}

void MediumBlocks::free(std::byte* p) {
  const std::size_t size = sizeOf(p);
  std::byte* next = p + size;
  Descriptor* before = previousTagOf(p) == kTagMediumFree ? freeBefore(p) : nullptr;
  Descriptor* after = tagOf(next) == kTagMediumFree ? freeAt(next) : nullptr;
  if ((previousTagOf(p) == kTagMediumFree && !before) || (tagOf(next) == kTagMediumFree && !after)) {
    ReportCorruption(HeapError::CorruptBlock, p);
    return;
  }
  Descriptor* merged = before;
  if (before && after) {
    before->size += size + after->size;
    if (rover_ == after) rover_ = &head_;
    unlink(after);
    pool_.give(after);
  } else if (before) {
    before->size += size;
  } else if (after) {
    after->block = p;
    after->size += size;
    if (rover_ == after) rover_ = &head_;
    merged = after;
  } else {
    merged = pool_.take();
    if (!merged) {
      ReportCorruption(HeapError::OutOfFreeSpace, p);
      return;
    }
    merged->block = p;
    merged->size = size;
    insertFirst(merged);
  }
  // This header stays marked free even when it ends up inside a neighbour, so freeing the block
  // again is recognised.
  tagOf(p) = kTagMediumFree;
  poison(p, size - kHeaderSize);
  setSize(merged->block, merged->size);
  trailingTagOf(merged->block, merged->size) = kTagMediumFree;
  setDescriptor(merged->block, merged->size, merged);
}

MediumBlocks::Resize MediumBlocks::resize(std::byte* p, std::size_t n) {
  const std::size_t wanted = blockSizeFor(n);
  const std::size_t size = sizeOf(p);
  std::byte* next = p + size;
  Descriptor* after = nullptr;
  if (tagOf(next) == kTagMediumFree && !(after = freeAt(next))) {
    ReportCorruption(HeapError::CorruptBlock, p);
    return Resize::Corrupt;
  }
  if (wanted < size && after) {
    // The free block behind takes the tail.
    std::byte* moved = p + wanted;
    after->block = moved;
    after->size += size - wanted;
    writeHeader(moved, kTagMediumFree, 0, after->size);
    previousTagOf(moved) = kTagMediumUsed;
    poison(moved, size - wanted);
    setSize(p, wanted);
  } else if (wanted < size && size - wanted >= kSplitRemainder) {
    // The tail becomes a free block of its own; without a descriptor the block keeps its size.
    if (Descriptor* d = pool_.take()) {
      std::byte* tail = p + wanted;
      const std::size_t tailSize = size - wanted;
      writeHeader(tail, kTagMediumFree, 0, tailSize);
      previousTagOf(tail) = kTagMediumUsed;
      trailingTagOf(tail, tailSize) = kTagMediumFree;
      setDescriptor(tail, tailSize, d);
      poison(tail, tailSize - kDescriptorSlot);
      d->block = tail;
      d->size = tailSize;
      insertFirst(d);
      setSize(p, wanted);
    }
  } else if (wanted > size) {
    const std::size_t needed = wanted - size;
    if (!after || after->size < needed) return Resize::Moved;
    if (after->size - needed < kSplitRemainder) {
      const std::size_t whole = size + after->size;
      if (rover_ == after) rover_ = after->next;
      unlink(after);
      pool_.give(after);
      setSize(p, whole);
      trailingTagOf(p, whole) = kTagMediumUsed;
    } else {
      std::byte* moved = next + needed;
      after->block = moved;
      after->size -= needed;
      writeHeader(moved, kTagMediumFree, 0, after->size);
      previousTagOf(moved) = kTagMediumUsed;
      setSize(p, wanted);
    }
  }
  exposeBlock(p, sizeOf(p), n);
  return Resize::Done;
}

}  // namespace tamsil::heap
