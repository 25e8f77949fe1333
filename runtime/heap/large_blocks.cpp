#include "runtime/heap/large_blocks.h"

#include "runtime/heap/block_layout.h"
#include "runtime/heap/heap_report.h"
#include "runtime/heap/poison.h"
#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {
namespace {

constexpr std::size_t kFirstCapacity = 256;

std::size_t slotOf(std::uintptr_t key, std::size_t capacity) { return std::size_t((key >> 4) * 0x9E3779B97F4A7C15ull >> 20) & (capacity - 1); }

std::byte* mappingOf(std::byte* p) { return p - kHeaderSize; }

}  // namespace

LargeBlocks::~LargeBlocks() {
  for (std::size_t i = 0; i < capacity_; ++i) {
    const Entry& e = table_[i];
    if (e.key && e.length) {
      std::byte* mapping = mappingOf(reinterpret_cast<std::byte*>(e.key));
      unpoison(mapping, e.length);
      ReleaseRange(mapping, e.length);
    }
  }
  ReleaseRange(table_, capacity_ * sizeof(Entry));
}

LargeBlocks::Entry* LargeBlocks::find(std::uintptr_t key) const {
  if (!capacity_) return nullptr;
  for (std::size_t i = slotOf(key, capacity_);; i = (i + 1) & (capacity_ - 1)) {
    if (table_[i].key == key) return &table_[i];
    if (!table_[i].key) return nullptr;
  }
}

bool LargeBlocks::grow() {
  const std::size_t capacity = capacity_ ? capacity_ * 2 : kFirstCapacity;
  auto* table = static_cast<Entry*>(MapMemory(capacity * sizeof(Entry)));
  if (!table) return false;
  Entry* old = table_;
  const std::size_t oldCapacity = capacity_;
  table_ = table;
  capacity_ = capacity;
  used_ = 0;
  for (std::size_t i = 0; i < oldCapacity; ++i)
    if (old[i].key) insert(old[i].key, old[i].length);
  ReleaseRange(old, oldCapacity * sizeof(Entry));
  return true;
}

bool LargeBlocks::insert(std::uintptr_t key, std::size_t length) {
  if ((used_ + 1) * 2 > capacity_ && !grow()) return false;
  std::size_t i = slotOf(key, capacity_);
  while (table_[i].key) i = (i + 1) & (capacity_ - 1);
  table_[i] = Entry{key, length};
  ++used_;
  return true;
}

void LargeBlocks::erase(Entry* entry) {
  // Moves later entries of the same run back, so every lookup still ends at an empty slot.
  std::size_t hole = std::size_t(entry - table_);
  for (std::size_t i = (hole + 1) & (capacity_ - 1); table_[i].key; i = (i + 1) & (capacity_ - 1)) {
    const std::size_t home = slotOf(table_[i].key, capacity_);
    const bool between = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
    if (!between) {
      table_[hole] = table_[i];
      hole = i;
    }
  }
  table_[hole] = Entry{};
  --used_;
}

std::byte* LargeBlocks::allocate(std::size_t n, std::uint8_t flag) {
  const std::size_t rounded = roundUp(n, kAlignment);
  const std::size_t length = roundUp(rounded + 2 * kHeaderSize, kPageSize);
  auto* mapping = static_cast<std::byte*>(MapMemory(length));
  if (!mapping) return nullptr;
  std::byte* p = mapping + kHeaderSize;
  if (!insert(reinterpret_cast<std::uintptr_t>(p), length)) {
    ReleaseRange(mapping, length);
    return nullptr;
  }
  reinterpret_cast<std::uint8_t&>(mapping[0]) = kTagLargeStart;
  tagOf(p) = kTagLarge;
  flagOf(p) = flag;
  setSize(p, rounded + kHeaderSize);
  trailingTagOf(p, rounded + kHeaderSize) = kTagLarge;
  poison(p + n, rounded - n);
  return p;
}

bool LargeBlocks::isBlock(const void* p) const {
  const Entry* e = find(reinterpret_cast<std::uintptr_t>(p));
  return e && e->length;
}

bool LargeBlocks::isAlias(const void* p) const {
  const Entry* e = find(reinterpret_cast<std::uintptr_t>(p));
  return e && !e->length;
}

void LargeBlocks::release(std::byte* p) {
  Entry* e = find(reinterpret_cast<std::uintptr_t>(p));
  const std::size_t length = e->length;
  erase(e);
  unpoison(mappingOf(p), length);
  ReleaseRange(mappingOf(p), length);
}

bool LargeBlocks::addAlias(const void* alias) { return insert(reinterpret_cast<std::uintptr_t>(alias), 0); }

bool LargeBlocks::check(std::byte* p) const {
  const Entry* e = find(reinterpret_cast<std::uintptr_t>(p));
  const std::size_t size = sizeOf(p);
  if (tagOf(p) == kTagLarge && size >= kHeaderSize && size + kHeaderSize <= e->length && trailingTagOf(p, size) == kTagLarge) return true;
  ReportCorruption(HeapError::CorruptBlock, p);
  return false;
}

void LargeBlocks::forgetAlias(const void* alias) {
  if (Entry* e = find(reinterpret_cast<std::uintptr_t>(alias))) erase(e);
}

std::size_t LargeBlocks::usableSize(const std::byte* p) { return sizeOf(p) - kHeaderSize; }

}  // namespace tamsil::heap
