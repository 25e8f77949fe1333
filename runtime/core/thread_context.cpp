#include "runtime/core/thread_context.h"

#include <algorithm>
#include <mutex>

#include "platform/queue/thread.h"
#include "runtime/core/error_state.h"

namespace tamsil {

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<ThreadContext*> running;
  int nextNumber = 1;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

ThreadContext* currentThreadContext() { return static_cast<ThreadContext*>(platform::GetThreadSlot()); }

ThreadContextScope::ThreadContextScope() : context_(std::make_unique<ThreadContext>()) {
  context_->platformThread = platform::GetCurrentThreadId();
  {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    context_->number = r.nextNumber++;
    r.running.push_back(context_.get());
  }
  platform::SetThreadSlot(context_.get());
  detail::threadErrorState = nullptr;  // the state of a context that went before is gone
}

ThreadContextScope::~ThreadContextScope() {
  platform::SetThreadSlot(nullptr);
  detail::threadErrorState = nullptr;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::erase(r.running, context_.get());
}

ThreadContext* threadContextByNumber(int number) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  for (ThreadContext* c : r.running)
    if (c->number == number) return c;
  return nullptr;
}

std::vector<ThreadContext*> runningThreadContexts() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return r.running;
}

}  // namespace tamsil
