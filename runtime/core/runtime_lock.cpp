#include "runtime/core/runtime_lock.h"

namespace tamsil {

namespace {
thread_local int tDepth = 0;
}  // namespace

void RuntimeMutex::lock() {
  mutex_.lock();
  ++tDepth;
}

void RuntimeMutex::unlock() {
  --tDepth;
  mutex_.unlock();
}

bool RuntimeMutex::try_lock() {
  if (!mutex_.try_lock()) return false;
  ++tDepth;
  return true;
}

int RuntimeMutex::depth() const { return tDepth; }

RuntimeMutex& runtimeLock() {
  static RuntimeMutex m;
  return m;
}

RuntimeLockRelease::RuntimeLockRelease() : depth_(tDepth) {
  for (int i = 0; i < depth_; ++i) runtimeLock().unlock();
}

RuntimeLockRelease::~RuntimeLockRelease() {
  for (int i = 0; i < depth_; ++i) runtimeLock().lock();
}

}  // namespace tamsil
