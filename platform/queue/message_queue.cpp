#include "platform/queue/detail/message_queue.h"

#include <algorithm>
#include <atomic>

#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"

namespace platform {

namespace {

std::mutex& idleMutex() {
  static std::mutex m;
  return m;
}

// Replaced as a whole, so a thread running the hook keeps its copy while another installs one.
std::shared_ptr<const IdleHook>& idleHook() {
  static std::shared_ptr<const IdleHook> h;
  return h;
}

std::shared_ptr<const IdleHook> currentIdleHook() {
  std::lock_guard lock(idleMutex());
  return idleHook();
}

DWORD tickCount() {
  using namespace std::chrono;
  return DWORD(duration_cast<milliseconds>(detail::Clock::now().time_since_epoch()).count());
}

bool passes(const MSG& m, const detail::MessageFilter& f) {
  if (f.hwnd && m.hwnd != f.hwnd && !IsChild(f.hwnd, m.hwnd)) return false;
  if (f.first == 0 && f.last == 0) return true;
  return m.message >= f.first && m.message <= f.last;
}

}  // namespace

void SetIdleHook(IdleHook hook) {
  auto h = hook.run ? std::make_shared<const IdleHook>(std::move(hook)) : nullptr;
  std::lock_guard lock(idleMutex());
  idleHook() = std::move(h);
}

namespace detail {

bool idleReady() {
  const auto h = currentIdleHook();
  return h && h->ready && h->ready();
}

bool runIdle() {
  const auto h = currentIdleHook();
  return h && h->run();
}

ThreadQueue::Deadline idleNextAt() {
  const auto h = currentIdleHook();
  return h && h->nextAt ? h->nextAt() : std::nullopt;
}

bool MessageQueue::hasMessagesLocked() const { return !posted_.empty() || !sent_.empty() || quitPosted_; }

bool MessageQueue::hasWork() const {
  {
    MutexLock lock(mutex_);
    if (hasMessagesLocked()) return true;
  }
  return idleReady();
}

void MessageQueue::waitUntil(Deadline deadline) {
  if (idleReady()) return;
  MutexLock lock(mutex_);
  while (!hasMessagesLocked()) {
    if (!deadline) {
      lock.wait(cv_);
    } else {
      if (Clock::now() >= *deadline) return;
      lock.waitUntil(cv_, *deadline);
    }
  }
}

void MessageQueue::post(const MSG& m) {
  {
    MutexLock lock(mutex_);
    posted_.push_back(m);
  }
  backend().wake(*this);
}

void MessageQueue::postFront(const MSG& m) {
  MutexLock lock(mutex_);
  posted_.push_front(m);
}

void MessageQueue::postQuit(int code) {
  {
    MutexLock lock(mutex_);
    quitPosted_ = true;
    quitCode_ = code;
  }
  backend().wake(*this);
}

bool MessageQueue::send(std::shared_ptr<SentMessage> s) {
  {
    MutexLock lock(mutex_);
    if (closed_) return false;
    sent_.push_back(std::move(s));
  }
  backend().wake(*this);
  return true;
}

std::shared_ptr<SentMessage> MessageQueue::takeSent() {
  MutexLock lock(mutex_);
  if (sent_.empty()) return nullptr;
  auto s = std::move(sent_.front());
  sent_.pop_front();
  return s;
}

void MessageQueue::reply(SentMessage& s, LRESULT result) {
  {
    MutexLock lock(mutex_);
    s.result = result;
    s.done = true;
  }
  cv_.notify_all();
}

bool MessageQueue::waitForReply(const SentMessage& s) {
  MutexLock lock(mutex_);
  while (!s.done && sent_.empty()) lock.wait(cv_);
  return s.done;
}

void MessageQueue::close() {
  std::deque<std::shared_ptr<SentMessage>> waiting;
  {
    MutexLock lock(mutex_);
    closed_ = true;
    waiting.swap(sent_);
  }
  for (const auto& s : waiting) s->replyTo->reply(*s, 0);
}

bool MessageQueue::take(MSG* out, const MessageFilter& filter, bool remove) {
  MutexLock lock(mutex_);
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!passes(*it, filter)) continue;
    *out = *it;
    if (remove) posted_.erase(it);
    return true;
  }
  if ((filter.first == 0 && filter.last == 0) || (WM_TIMER >= filter.first && WM_TIMER <= filter.last)) {
    const auto now = Clock::now();
    for (auto& t : timers_) {
      if (t.due > now || (filter.hwnd && t.hwnd != filter.hwnd && !IsChild(filter.hwnd, t.hwnd))) continue;
      *out = MSG{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), tickCount(), {}};
      if (remove) t.due = now + t.period;
      return true;
    }
  }
  if (quitPosted_) {
    *out = MSG{nullptr, WM_QUIT, WPARAM(quitCode_), 0, tickCount(), {}};
    if (remove) quitPosted_ = false;
    return true;
  }
  return false;
}

UINT_PTR MessageQueue::setTimer(HWND hwnd, UINT_PTR id, std::chrono::milliseconds period, TIMERPROC proc) {
  // Ids of thread timers are unique across threads, as their numbers come back in WM_TIMER.
  static std::atomic<UINT_PTR> nextId{0x7FF0};
  if (!hwnd && id == 0) id = ++nextId;
  MutexLock lock(mutex_);
  for (auto& t : timers_)
    if (t.hwnd == hwnd && t.id == id) {
      t.period = period, t.due = Clock::now() + period, t.proc = proc;
      return hwnd ? 1 : id;
    }
  timers_.push_back(Timer{hwnd, id, period, Clock::now() + period, proc});
  return hwnd ? 1 : id;
}

bool MessageQueue::killTimer(HWND hwnd, UINT_PTR id) {
  MutexLock lock(mutex_);
  return std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

void MessageQueue::killTimers(HWND hwnd) {
  MutexLock lock(mutex_);
  std::erase_if(timers_, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

ThreadQueue::Deadline MessageQueue::nextTimer() const {
  MutexLock lock(mutex_);
  Deadline due;
  for (const auto& t : timers_)
    if (!due || t.due < *due) due = t.due;
  return due;
}

}  // namespace detail

}  // namespace platform
