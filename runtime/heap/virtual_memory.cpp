#include "runtime/heap/virtual_memory.h"

#include <sys/mman.h>

#include <cerrno>

namespace tamsil::heap {
namespace {

// Restores errno when the call that may have changed it is done.
class KeepErrno {
 public:
  KeepErrno() : saved_(errno) {}
  ~KeepErrno() { errno = saved_; }
  KeepErrno(const KeepErrno&) = delete;
  KeepErrno& operator=(const KeepErrno&) = delete;

 private:
  int saved_;
};

void* mapOrNull(std::size_t size, int protection) {
  void* at = mmap(nullptr, size, protection, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return at == MAP_FAILED ? nullptr : at;
}

}  // namespace

void* ReserveRange(std::size_t size) {
  KeepErrno keep;
  return mapOrNull(size, PROT_NONE);
}

bool CommitRange(void* at, std::size_t size) {
  KeepErrno keep;
  return mprotect(at, size, PROT_READ | PROT_WRITE) == 0;
}

void* MapMemory(std::size_t size) {
  KeepErrno keep;
  return mapOrNull(size, PROT_READ | PROT_WRITE);
}

void ReleaseRange(void* at, std::size_t size) {
  KeepErrno keep;
  if (at) munmap(at, size);
}

}  // namespace tamsil::heap
