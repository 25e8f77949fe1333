// Per-thread state of the platform: the message queue, timers, focus and key state.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/types.h"

namespace platform::detail {

using Clock = std::chrono::steady_clock;

// A message sent from another thread, waiting for its result.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  std::chrono::milliseconds period{0};
  Clock::time_point due;
  TIMERPROC proc = nullptr;
};

struct ThreadState {
  DWORD id = 0;
  void* slot = nullptr;

  // Guarded by mutex: the queues and the quit flag; cv wakes a waiting GetMessage.
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quitPosted = false;
  int quitCode = 0;
  std::vector<Timer> timers;

  // Only touched by the owning thread.
  HWND focus = nullptr;
  HWND active = nullptr;
  std::array<BYTE, 256> keys{};
  MSG lastMessage;
};

// The calling thread's state, created on first use.
ThreadState& currentThread();
// The state of thread id, or null when that thread has ended or never existed.
std::shared_ptr<ThreadState> threadById(DWORD id);
// Wakes a thread waiting for messages (through the backend when it waits in a native loop).
void wakeThread(ThreadState& ts);

}  // namespace platform::detail
