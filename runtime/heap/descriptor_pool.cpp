#include "runtime/heap/descriptor_pool.h"

#include "runtime/heap/virtual_memory.h"

namespace tamsil::heap {

bool DescriptorPool::addChunk() {
  if (committed_ + kChunkSize > reserved_ || !CommitRange(base_ + committed_, kChunkSize)) return false;
  std::byte* chunk = base_ + committed_;
  reinterpret_cast<ChunkHeader*>(chunk)->previous = committed_ ? chunk - kChunkSize : nullptr;
  committed_ += kChunkSize;
  auto* first = reinterpret_cast<Descriptor*>(chunk) + 1;
  auto* end = reinterpret_cast<Descriptor*>(chunk + kChunkSize);
  for (Descriptor* d = end - 1; d >= first; --d) {
    d->next = free_;
    free_ = d;
  }
  return true;
}

Descriptor* DescriptorPool::take() {
  if (!free_ && !addChunk()) return nullptr;
  Descriptor* d = free_;
  free_ = d->next;
  *d = Descriptor{};
  return d;
}

void DescriptorPool::give(Descriptor* descriptor) {
  descriptor->block = nullptr;
  descriptor->size = 0;
  descriptor->next = free_;
  free_ = descriptor;
}

bool DescriptorPool::owns(const void* p) const {
  const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(p) - reinterpret_cast<std::uintptr_t>(base_);
  if (!base_ || offset >= committed_) return false;
  const std::size_t inChunk = offset % kChunkSize;
  return inChunk >= sizeof(ChunkHeader) && inChunk % sizeof(Descriptor) == 0;
}

}  // namespace tamsil::heap
