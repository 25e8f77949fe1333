// One thread's message queue: posted messages, messages sent from other threads waiting for
// their result, the quit message and the thread's timers, all behind one mutex. Any thread posts,
// sends and wakes; only the owning thread takes messages and waits. The rule for "the queue has
// work" lives here alone.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <vector>

#include "platform/mutex.h"
#include "platform/queue/thread_queue.h"
#include "platform/thread_annotations.h"
#include "platform/types.h"

namespace platform::detail {

using Clock = std::chrono::steady_clock;

class MessageQueue;

// A message sent from another thread. result and done belong to the sender's queue: they are
// written and read under its mutex, and the sender waits on its condition variable for done.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::shared_ptr<MessageQueue> replyTo;
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

// Which messages a take() accepts: hwnd null for every window of the thread (and thread
// messages), first/last 0 for every message.
struct MessageFilter {
  HWND hwnd = nullptr;
  UINT first = 0;
  UINT last = 0;
};

// The idle hook (queue.h) as the queue uses it: work that arrived without a message, one piece
// of work done (false when there was none), and when there will next be work.
bool idleReady();
bool runIdle();
ThreadQueue::Deadline idleNextAt();

class MessageQueue final : public ThreadQueue {
 public:
  explicit MessageQueue(DWORD thread) : thread_(thread) {}

  DWORD thread() const override { return thread_; }
  bool hasWork() const override EXCLUDES(mutex_);
  void waitUntil(Deadline deadline) override EXCLUDES(mutex_);
  void notify() override { cv_.notify_all(); }

  // Posting, from any thread; wakes the owner through the backend.
  void post(const MSG& m);
  // Puts a message ahead of everything posted (a typed character before later input); owner only.
  void postFront(const MSG& m);
  void postQuit(int code);

  // Queues a message sent from another thread; false once the owning thread has ended.
  bool send(std::shared_ptr<SentMessage> s);
  // The oldest message sent to this thread, or null; owner only.
  std::shared_ptr<SentMessage> takeSent();
  // Stores the result of a message this queue's thread sent and wakes it.
  void reply(SentMessage& s, LRESULT result);
  // Blocks the sending thread until s is answered or another thread sends to it (it must answer
  // those meanwhile, so two threads sending to each other do not deadlock). True once answered.
  bool waitForReply(const SentMessage& s);
  // The owning thread ends: every message still waiting is answered with 0 and later sends fail.
  void close();

  // The next posted message that passes the filter, else a due timer, else the quit message.
  bool take(MSG* out, const MessageFilter& filter, bool remove);

  // Timers of the thread. A zero id without a window gets a fresh process-wide id.
  UINT_PTR setTimer(HWND hwnd, UINT_PTR id, std::chrono::milliseconds period, TIMERPROC proc);
  bool killTimer(HWND hwnd, UINT_PTR id);
  void killTimers(HWND hwnd);  // every timer of a window that goes away
  Deadline nextTimer() const;

 private:
  bool hasMessagesLocked() const REQUIRES(mutex_);  // the one rule

  const DWORD thread_;
  mutable Mutex mutex_;
  std::condition_variable cv_;
  std::deque<MSG> posted_ GUARDED_BY(mutex_);
  std::deque<std::shared_ptr<SentMessage>> sent_ GUARDED_BY(mutex_);
  bool quitPosted_ GUARDED_BY(mutex_) = false;
  int quitCode_ GUARDED_BY(mutex_) = 0;
  bool closed_ GUARDED_BY(mutex_) = false;
  std::vector<Timer> timers_ GUARDED_BY(mutex_);
};

}  // namespace platform::detail
