#include "platform/queue/queue.h"
#include "platform/queue/thread.h"

#include <algorithm>

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

// Runs messages that other threads sent to this one; they go before anything posted.
void runSentMessages(detail::MessageQueue& queue) {
  while (auto s = queue.takeSent()) s->replyTo->reply(*s, detail::deliver(s->hwnd, s->message, s->wParam, s->lParam));
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

// The earlier of the next timer and the idle hook's next work: when a wait must end.
ThreadQueue::Deadline waitDeadline(const detail::MessageQueue& queue) {
  ThreadQueue::Deadline deadline = queue.nextTimer();
  if (auto s = detail::idleNextAt(); s && (!deadline || *s < *deadline)) deadline = s;
  return deadline;
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
    RecursiveLock lock(modelMutex());
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
  ts->queue->post(MSG{hwnd, msg, wParam, lParam, tickCount(), {}});
  return TRUE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto ts = detail::threadById(threadId);
  if (!ts) return FALSE;
  ts->queue->post(MSG{nullptr, msg, wParam, lParam, tickCount(), {}});
  return TRUE;
}

void PostQuitMessage(int exitCode) { detail::currentThread().queue->postQuit(exitCode); }

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = detail::findWindow(hwnd);
  if (!w) return 0;
  ThreadState& self = detail::currentThread();
  if (w->thread == self.id) return detail::deliver(hwnd, msg, wParam, lParam);
  auto target = detail::threadById(w->thread);
  if (!target) return 0;
  auto s = std::make_shared<detail::SentMessage>(detail::SentMessage{hwnd, msg, wParam, lParam, self.queue, 0, false});
  if (!target->queue->send(s)) return 0;
  // While waiting, this thread still answers messages sent to it, so two threads sending to each
  // other do not deadlock. An ended target answers 0.
  while (!self.queue->waitForReply(*s)) runSentMessages(*self.queue);
  return s->result;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
  if (!msg) return FALSE;
  ThreadState& ts = detail::currentThread();
  backend().pump();
  runSentMessages(*ts.queue);
  if (!ts.queue->take(msg, {hwnd, first, last}, remove & PM_REMOVE)) return FALSE;
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
    // The queue is empty: the idle hook may have work (the next step of scripted input).
    if (detail::runIdle()) continue;
    if (!ts.queue->hasWork()) backend().wait(*ts.queue, waitDeadline(*ts.queue));
  }
}

BOOL WaitMessage() {
  ThreadState& ts = detail::currentThread();
  backend().pump();
  if (ts.queue->hasWork() || detail::runIdle()) return TRUE;
  backend().wait(*ts.queue, waitDeadline(*ts.queue));
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
  // The character goes ahead of later input, as it would if the key had just been pressed.
  detail::currentThread().queue->postFront(
      MSG{msg->hwnd, charMsg, WPARAM(static_cast<unsigned char>(c)), msg->lParam & 0xFFFFFF, msg->time, msg->pt});
  return TRUE;
}

DWORD GetMessageTime() { return detail::currentThread().lastMessage.time; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (hwnd && !IsWindow(hwnd)) return 0;
  return detail::currentThread().queue->setTimer(hwnd, id, std::chrono::milliseconds(std::max<UINT>(elapseMs, 10)), proc);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return detail::currentThread().queue->killTimer(hwnd, id) ? TRUE : FALSE; }

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
