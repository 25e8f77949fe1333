// Mutexes the lock rules of thread_annotations.h can name: the standard library's mutexes carry
// no annotations, so these wrap them. Mutex and RecursiveMutex are locks; MutexLock holds one for
// its scope (and waits on a condition variable with it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/thread_annotations.h"

namespace platform {

class CAPABILITY("mutex") Mutex {
 public:
  void lock() ACQUIRE() { m_.lock(); }
  void unlock() RELEASE() { m_.unlock(); }
  // The standard mutex inside, for a condition variable's wait (MutexLock).
  std::mutex& native() { return m_; }

 private:
  std::mutex m_;
};

// A mutex its holder may take again. The analysis does not count re-entries: a function that takes
// the lock while its caller holds it says so with a comment and locks through RecursiveLock.
class CAPABILITY("mutex") RecursiveMutex {
 public:
  void lock() ACQUIRE() { m_.lock(); }
  void unlock() RELEASE() { m_.unlock(); }
  bool try_lock() TRY_ACQUIRE(true) { return m_.try_lock(); }

 private:
  std::recursive_mutex m_;
};

// Holds a Mutex for its scope.
class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& m) ACQUIRE(m) : lock_(m.native()) {}
  ~MutexLock() RELEASE() {}
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

  // Lets go of the mutex until cv is notified (or the deadline passes, or a spurious wake-up),
  // then holds it again: callers loop on their condition.
  void wait(std::condition_variable& cv) { cv.wait(lock_); }
  template <typename Clock, typename Duration>
  void waitUntil(std::condition_variable& cv, const std::chrono::time_point<Clock, Duration>& deadline) {
    cv.wait_until(lock_, deadline);
  }

 private:
  std::unique_lock<std::mutex> lock_;
};

// Holds a RecursiveMutex for its scope.
class SCOPED_CAPABILITY RecursiveLock {
 public:
  explicit RecursiveLock(RecursiveMutex& m) ACQUIRE(m) : m_(m) { m_.lock(); }
  ~RecursiveLock() RELEASE() { m_.unlock(); }
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

 private:
  RecursiveMutex& m_;
};

}  // namespace platform
