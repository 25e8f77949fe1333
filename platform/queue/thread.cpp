#include "platform/queue/thread.h"

#include <atomic>
#include <future>
#include <map>

#include "platform/queue/detail/thread_state.h"

namespace platform {

namespace detail {
namespace {

std::mutex& threadsMutex() {
  static std::mutex m;
  return m;
}

std::map<DWORD, std::weak_ptr<ThreadState>>& threads() {
  static std::map<DWORD, std::weak_ptr<ThreadState>> t;
  return t;
}

std::atomic<DWORD> nextThreadId{1};

// Owns the calling thread's state; unregisters it when the thread ends.
struct ThreadHolder {
  std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
  ThreadHolder() {
    state->id = nextThreadId++;
    state->queue = std::make_shared<MessageQueue>(state->id);
    std::lock_guard lock(threadsMutex());
    threads()[state->id] = state;
  }
  ~ThreadHolder() {
    {
      std::lock_guard lock(threadsMutex());
      threads().erase(state->id);
    }
    state->queue->close();
  }
};

}  // namespace

ThreadState& currentThread() {
  thread_local ThreadHolder holder;
  return *holder.state;
}

std::shared_ptr<ThreadState> threadById(DWORD id) {
  std::lock_guard lock(threadsMutex());
  auto it = threads().find(id);
  return it == threads().end() ? nullptr : it->second.lock();
}

}  // namespace detail

DWORD GetCurrentThreadId() { return detail::currentThread().id; }

void* GetThreadSlot() { return detail::currentThread().slot; }
void SetThreadSlot(void* value) { detail::currentThread().slot = value; }

Thread::Thread(std::function<void()> body) {
  std::promise<DWORD> started;
  auto idFuture = started.get_future();
  thread_ = std::thread([body = std::move(body), &started] {
    started.set_value(GetCurrentThreadId());
    body();
  });
  id_ = idFuture.get();
}

Thread::~Thread() { join(); }

void Thread::join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace platform
