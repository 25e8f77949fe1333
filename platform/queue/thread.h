// Threads as the runtime sees them: a number per thread (the first thread is 1), one thread-local
// slot for the runtime's per-thread context, and critical sections.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include "platform/types.h"

namespace platform {

// The calling thread's number; the first thread that touches the platform is 1.
DWORD GetCurrentThreadId();

// Ends the process with `code`: output flushed, the backend taken down in order on its own thread
// (from any other thread the process ends at once). The one way a program on the platform leaves
// other than returning from main after stopping the platform.
[[noreturn]] void ExitProcess(UINT code);

// The one thread-local slot (the runtime keeps its ThreadContext there).
void* GetThreadSlot();
void SetThreadSlot(void* value);

// A recursive lock with the meaning of a Win32 critical section.
class CriticalSection {
 public:
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }
  bool try_lock() { return mutex_.try_lock(); }

 private:
  std::recursive_mutex mutex_;
};

using CriticalSectionLock = std::lock_guard<CriticalSection>;

// A platform thread: a std::thread whose body runs with its own message queue and number, and
// which is joined when the object goes away.
class Thread {
 public:
  explicit Thread(std::function<void()> body);
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  DWORD id() const { return id_; }  // valid once the constructor returns
  void join();

 private:
  std::thread thread_;
  DWORD id_ = 0;
};

}  // namespace platform
