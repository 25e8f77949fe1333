// What a backend sees of one thread's message queue: whose it is, whether GetMessage has work,
// and the plain wait and wake that a native event loop falls back on. The queue itself, with its
// messages and timers, is private to the platform core (queue/detail/message_queue.h).
#pragma once

#include <chrono>
#include <optional>

#include "platform/types.h"

namespace platform {

class ThreadQueue {
 public:
  using Deadline = std::optional<std::chrono::steady_clock::time_point>;

  // The platform thread number of the thread the queue belongs to.
  virtual DWORD thread() const = 0;
  // True when GetMessage has something to do without waiting: a posted or sent message, the quit
  // message, or idle work that arrived without a message (a person's menu choice). Asked on the
  // queue's own thread.
  virtual bool hasWork() const = 0;
  // Blocks the queue's own thread until there is work, the queue is woken, or the deadline.
  virtual void waitUntil(Deadline deadline) = 0;
  // Wakes waitUntil; any thread.
  virtual void notify() = 0;

 protected:
  ~ThreadQueue() = default;
};

}  // namespace platform
