// The runtime's global lock: every step that touches runtime data holds it. It is recursive, and
// the event loop leaves it while a loop body runs, so the body may call the runtime and open
// nested windows. (An uncontended lock costs next to nothing, so it is always on rather than
// switched on when a second thread starts.)
#pragma once

#include <mutex>

namespace tamsil {

// A recursive mutex that knows how deep the calling thread holds it.
class RuntimeMutex {
 public:
  void lock();
  void unlock();
  bool try_lock();
  int depth() const;  // the calling thread's depth

 private:
  std::recursive_mutex mutex_;
};

RuntimeMutex& runtimeLock();

using RuntimeLockGuard = std::lock_guard<RuntimeMutex>;

// Leaves the global lock completely for the life of the object and takes it back as deep as it
// was held, as the loop does around a body.
class RuntimeLockRelease {
 public:
  RuntimeLockRelease();
  ~RuntimeLockRelease();
  RuntimeLockRelease(const RuntimeLockRelease&) = delete;
  RuntimeLockRelease& operator=(const RuntimeLockRelease&) = delete;

 private:
  int depth_ = 0;
};

}  // namespace tamsil
