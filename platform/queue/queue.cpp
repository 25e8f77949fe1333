#include "platform/queue/queue.h"
#include "platform/queue/thread.h"

#include <algorithm>

#include "platform/input/input.h"
#include "platform/input/script.h"
#include "platform/messages.h"
#include "platform/queue/detail/thread_state.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform {

using detail::Clock;
using detail::ThreadState;

namespace {

std::mutex& traceMutex() {
  static std::mutex m;
  return m;
}

MessageTrace& traceHook() {
  static MessageTrace t;
  return t;
}

DWORD tickCount() {
  using namespace std::chrono;
  return DWORD(duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
}

bool passes(const MSG& m, HWND hwnd, UINT first, UINT last) {
  if (hwnd && m.hwnd != hwnd && !IsChild(hwnd, m.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

// Runs messages that other threads sent to this one; they go before anything posted.
bool runSentMessages(ThreadState& ts) {
  bool any = false;
  for (;;) {
    std::shared_ptr<detail::SentMessage> s;
    {
      std::lock_guard lock(ts.mutex);
      if (ts.sent.empty()) return any;
      s = ts.sent.front();
      ts.sent.pop_front();
    }
    const LRESULT r = detail::deliver(s->hwnd, s->message, s->wParam, s->lParam);
    {
      std::lock_guard lock(ts.mutex);
      s->result = r;
      s->done = true;
    }
    ts.cv.notify_all();
    any = true;
  }
}

void updateKeyState(ThreadState& ts, const MSG& m) {
  const auto vk = size_t(m.wParam & 0xFF);
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
    if (!(ts.keys[vk] & 0x80)) ts.keys[vk] ^= 0x01;
    ts.keys[vk] |= 0x80;
  } else if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
    ts.keys[vk] &= BYTE(~0x80);
  }
}

// Takes the next posted message that passes the filter, or a due timer, or the quit message.
bool takeMessage(ThreadState& ts, MSG* out, HWND hwnd, UINT first, UINT last, bool remove) {
  std::lock_guard lock(ts.mutex);
  for (auto it = ts.posted.begin(); it != ts.posted.end(); ++it) {
    if (!passes(*it, hwnd, first, last)) continue;
    *out = *it;
    if (remove) ts.posted.erase(it);
    return true;
  }
  if (first == 0 && last == 0 ? true : (WM_TIMER >= first && WM_TIMER <= last)) {
    const auto now = Clock::now();
    for (auto& t : ts.timers) {
      if (t.due > now || (hwnd && t.hwnd != hwnd && !IsChild(hwnd, t.hwnd))) continue;
      *out = MSG{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), tickCount(), {}};
      if (remove) t.due = now + t.period;
      return true;
    }
  }
  if (ts.quitPosted) {
    *out = MSG{nullptr, WM_QUIT, WPARAM(ts.quitCode), 0, tickCount(), {}};
    if (remove) ts.quitPosted = false;
    return true;
  }
  return false;
}

std::optional<Clock::time_point> nextTimer(ThreadState& ts) {
  std::lock_guard lock(ts.mutex);
  std::optional<Clock::time_point> due;
  for (const auto& t : ts.timers)
    if (!due || t.due < *due) due = t.due;
  return due;
}

bool hasWork(ThreadState& ts) {
  std::lock_guard lock(ts.mutex);
  return !ts.posted.empty() || !ts.sent.empty() || ts.quitPosted;
}

void postTo(ThreadState& ts, const MSG& m) {
  {
    std::lock_guard lock(ts.mutex);
    ts.posted.push_back(m);
  }
  detail::wakeThread(ts);
}

}  // namespace

namespace detail {

LRESULT deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  {
    std::lock_guard lock(traceMutex());
    if (traceHook()) traceHook()(hwnd, msg, wParam, lParam);
  }
  WNDPROC proc;
  {
    std::lock_guard lock(modelMutex());
    proc = w->proc;
  }
  return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace detail

void SetMessageTrace(MessageTrace trace) {
  std::lock_guard lock(traceMutex());
  traceHook() = std::move(trace);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return PostThreadMessageA(GetCurrentThreadId(), msg, wParam, lParam);
  auto w = detail::findWindow(hwnd);
  if (!w) return FALSE;
  auto ts = detail::threadById(w->thread);
  if (!ts) return FALSE;
  postTo(*ts, MSG{hwnd, msg, wParam, lParam, tickCount(), {}});
  return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto ts = detail::threadById(threadId);
  if (!ts) return FALSE;
  postTo(*ts, MSG{nullptr, msg, wParam, lParam, tickCount(), {}});
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  auto& ts = detail::currentThread();
  {
    std::lock_guard lock(ts.mutex);
    ts.quitPosted = true;
    ts.quitCode = exitCode;
  }
  detail::wakeThread(ts);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = detail::findWindow(hwnd);
  if (!w) return 0;
  ThreadState& self = detail::currentThread();
  if (w->thread == self.id) return detail::deliver(hwnd, msg, wParam, lParam);
  auto target = detail::threadById(w->thread);
  if (!target) return 0;
  auto s = std::make_shared<detail::SentMessage>(detail::SentMessage{hwnd, msg, wParam, lParam, 0, false});
  {
    std::lock_guard lock(target->mutex);
    target->sent.push_back(s);
  }
  detail::wakeThread(*target);
  // While waiting, this thread still answers messages sent to it, so two threads sending to each
  // other do not deadlock.
  for (;;) {
    runSentMessages(self);
    {
      std::unique_lock lock(target->mutex);
      if (target->cv.wait_for(lock, std::chrono::milliseconds(5), [&] { return s->done; })) return s->result;
    }
    if (!detail::threadById(w->thread)) return 0;
  }
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
  if (!msg) return FALSE;
  ThreadState& ts = detail::currentThread();
  backend().pump();
  runSentMessages(ts);
  if (!takeMessage(ts, msg, hwnd, first, last, remove & PM_REMOVE)) return FALSE;
  if (remove & PM_REMOVE) {
    updateKeyState(ts, *msg);
    ts.lastMessage = *msg;
  }
  return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last) {
  ThreadState& ts = detail::currentThread();
  for (;;) {
    if (PeekMessageA(msg, hwnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
    // The queue is empty: release the next step of pending input, else the next script line.
    if (input::hasPendingInput()) {
      input::feedPendingInput();
      continue;
    }
    if (script::step()) continue;
    std::optional<Clock::time_point> deadline = nextTimer(ts);
    if (auto s = script::nextStepAt(); s && (!deadline || *s < *deadline)) deadline = s;
    if (!hasWork(ts)) backend().wait(ts, deadline);
  }
}

BOOL WaitMessage() {
  ThreadState& ts = detail::currentThread();
  backend().pump();
  if (hasWork(ts)) return TRUE;
  if (input::hasPendingInput()) {
    input::feedPendingInput();
    return TRUE;
  }
  if (script::step()) return TRUE;
  std::optional<Clock::time_point> deadline = nextTimer(ts);
  if (auto s = script::nextStepAt(); s && (!deadline || *s < *deadline)) deadline = s;
  backend().wait(ts, deadline);
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  return detail::deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

char KeyCharacter(UINT vk, bool shift, bool ctrl) {
  if (ctrl) return (vk >= 'A' && vk <= 'Z') ? char(vk - 'A' + 1) : 0;
  if (vk >= 'A' && vk <= 'Z') return shift ? char(vk) : char(vk - 'A' + 'a');
  static constexpr const char* kDigits = "0123456789";
  static constexpr const char* kShiftedDigits = ")!@#$%^&*(";
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : kDigits[vk - '0'];
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_TAB: return '\t';
    case VK_BACK: return '\b';
    case VK_ESCAPE: return 0x1B;
    default: break;
  }
  // The OEM keys of a US layout: ;= ,-./` [\]'
  struct Oem {
    UINT vk;
    char plain, shifted;
  };
  static constexpr Oem kOem[] = {{0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'}, {0xBE, '.', '>'}, {0xBF, '/', '?'},
                                 {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'}};
  for (const Oem& o : kOem)
    if (o.vk == vk) return shift ? o.shifted : o.plain;
  return 0;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  const bool shift = GetKeyState(int(VK_SHIFT)) < 0;
  const bool ctrl = GetKeyState(int(VK_CONTROL)) < 0;
  // VK_PACKET carries a typed character that has no key of its own in its scan code field, as
  // injected character input does on the real platform.
  const char c = msg->wParam == VK_PACKET ? char((msg->lParam >> 16) & 0xFF) : KeyCharacter(UINT(msg->wParam), shift, ctrl);
  if (!c) return FALSE;
  const UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  auto& ts = detail::currentThread();
  std::lock_guard lock(ts.mutex);
  // The character goes ahead of later input, as it would if the key had just been pressed.
  ts.posted.push_front(MSG{msg->hwnd, charMsg, WPARAM(static_cast<unsigned char>(c)), msg->lParam & 0xFFFFFF, msg->time, msg->pt});
  return TRUE;
}

DWORD GetMessageTime() { return detail::currentThread().lastMessage.time; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (hwnd && !IsWindow(hwnd)) return 0;
  auto& ts = detail::currentThread();
  const auto period = std::chrono::milliseconds(std::max<UINT>(elapseMs, 10));
  std::lock_guard lock(ts.mutex);
  if (!hwnd && id == 0) {
    static UINT_PTR nextId = 0x7FF0;
    id = ++nextId;
  }
  for (auto& t : ts.timers)
    if (t.hwnd == hwnd && t.id == id) {
      t.period = period, t.due = Clock::now() + period, t.proc = proc;
      return hwnd ? 1 : id;
    }
  ts.timers.push_back(detail::Timer{hwnd, id, period, Clock::now() + period, proc});
  return hwnd ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& ts = detail::currentThread();
  std::lock_guard lock(ts.mutex);
  return std::erase_if(ts.timers, [&](const detail::Timer& t) { return t.hwnd == hwnd && t.id == id; }) ? TRUE : FALSE;
}

short GetKeyState(int vk) {
  const BYTE s = detail::currentThread().keys[size_t(vk) & 0xFF];
  return short((s & 0x80 ? 0xFF80 : 0) | (s & 0x01));
}

short GetAsyncKeyState(int vk) { return short(GetKeyState(vk) & 0x8000); }

void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t) {
  const bool up = flags & KEYEVENTF_KEYUP;
  HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
  const bool alt = GetKeyState(int(VK_MENU)) < 0 && vk != VK_MENU;
  const UINT msg = alt ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
  LPARAM l = 1 | (LPARAM(scan) << 16) | (alt ? LPARAM(1) << 29 : 0);
  if (up) l |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
  if (target) PostMessageA(target, msg, vk, l);
  else PostThreadMessageA(GetCurrentThreadId(), msg, vk, l);
}

}  // namespace platform
