// The event loop: the pump that waits for platform messages, the dispatch that picks the next
// event (and the completion pass), and the delivery to handlers and the loop body.
#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/runtime_lock.h"
#include "runtime/core/startup.h"
#include "runtime/window/activation.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

constexpr int kCycle = int(PassOutcome::Cycle), kBreak = int(PassOutcome::Break);

Window* currentWindow() {
  ThreadContext* tc = currentThreadContext();
  return tc ? tc->currentWindow() : nullptr;
}

// Registered handlers for the event, newest first; the first answer other than PassOn decides.
std::optional<int> askHandlers(Window& w, const EventRecord& e) {
  const int code = e.event();
  const int field = e.control ? e.control->field : 0;
  for (size_t i = w.handlers.size(); i-- > 0;) {
    if (i >= w.handlers.size()) continue;         // a handler took registrations back
    const HandlerRegistration h = w.handlers[i];  // a handler may register others
    if (h.code != -1 && h.code != code) continue;
    if (!h.anyField && h.field != field) continue;
    const int r = h.handler(w, e);
    switch (HandlerAnswer(r)) {
      case HandlerAnswer::PassOn: continue;
      case HandlerAnswer::Cycle: return kCycle;
      case HandlerAnswer::Break: return kBreak;
    }
    return r;
  }
  return std::nullopt;
}

// The next control of the completion pass: bound controls in ascending field order. A control
// that refuses its contents ends the pass and gets the focus; after the last comes Completed.
EventPtr nextCompletionEvent(Window& w) {
  for (auto it = w.controls.lower_bound(w.completionNext); it != w.controls.end(); ++it) {
    Control& c = it->second;
    if (!c.bound) continue;
    w.completionNext = c.field + 1;
    if (c.accepts && !c.accepts()) {
      w.completionActive = false;
      if (c.hwnd) SetFocus(c.hwnd);
      return nullptr;
    }
    return detail::makeEvent(w, event::Accepted, &c);
  }
  w.completionActive = false;
  detail::queueEvent(w, detail::makeEvent(w, event::Completed, nullptr));
  return nullptr;
}

// Asks a window marked as closing whether it may close; the window is destroyed (and its loop
// ends) when it may, else it stays open and the close is withdrawn.
void closeIfItMay(Window& w) {
  bool may = true;
  if (w.mayClose) {
    RuntimeLockRelease unlocked;  // the program's code, like the loop body
    may = w.mayClose();
  }
  if (!w.handle) return;  // the answer closed it already
  if (may) CloseWindowOp(w);
  else w.closeState = CloseState::Open;
}

// The acknowledgement of a DDE poke or execute, once its event is handled or dropped.
void acknowledgeDde(const Window& w, const EventRecord& e, bool positive) {
  const int code = e.event();
  if ((code != event::DDEpoke && code != event::DDEexecute) || !e.ddeClient) return;
  PostMessageA(e.ddeClient, WM_DDE_ACK, reinterpret_cast<WPARAM>(w.handle), MAKELPARAM(positive ? kDdeAckPositive : 0, LOWORD(e.extra)));
}

// Picks and delivers the next event; afterwards a window marked as closing is closed. While the
// window waits for another thread's window to take its LoseFocus, nothing is picked: the loop
// answers messages sent to the thread (the other may be waiting for one), yields the processor
// and comes back.
void dispatch(Window& w) {
  if (detail::handoverPending(w)) {
    RuntimeLockRelease unlocked;
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // answers what other threads send meanwhile
    std::this_thread::yield();
    return;
  }
  EventPtr e;
  if (!w.queue.pending.empty()) {
    e = w.queue.pending.front();
    w.queue.pending.pop_front();
  } else if (w.completionActive) {
    e = nextCompletionEvent(w);
  }
  if (e) {
    const int code = e->event();
    const bool closing = code == event::CloseWindow || code == event::CloseDown;
    if (code == event::Selected && e->control && e->control->hwnd && e->control->hwnd == GetFocus()) {
      // the control already has the focus
    } else if (!PostingAllowed()) {
      if (closing) w.closeState = CloseState::Closing;
      acknowledgeDde(w, *e, false);
    } else if (code == event::Timer && !w.timerSet) {
      // a timer event left over after the timer stopped
    } else {
      if (code == event::Sized) w.sized = true;
      const int r = detail::deliver(w, e);
      if (closing && r == int(PassOutcome::Normal)) w.closeState = CloseState::Closing;
      if (code == event::CloseDown && r == kCycle) w.closeState = CloseState::Open;
      if (code == event::Selected && r != kCycle && e->control && e->control->hwnd) SetFocus(e->control->hwnd);
      acknowledgeDde(w, *e, r != 0);
      if (code == event::OpenFailed || code == event::BuildFile || code == event::BuildKey || code == event::BuildDone || r == kBreak)
        w.queue.running = false;
    }
    // Only now, with the LoseFocus handled (or dropped), may the window taking activation go on.
    if (code == event::LoseFocus) detail::lossTaken(w);
  }
  if (w.closeState == CloseState::Closing && w.handle) closeIfItMay(w);
}

// The modifier keys, with the bit each held one adds to the runtime's key code (Shift+Tab is 265)
// and to the key state events carry; programs see both as numbers.
struct Modifier {
  UINT key;
  std::uint32_t codeBit;
  std::uint8_t stateBit;
};
constexpr Modifier kModifiers[] = {{VK_SHIFT, 0x100, 0x1}, {VK_CONTROL, 0x200, 0x2}, {VK_MENU, 0x400, 0x4}};

bool held(const Modifier& m) { return GetKeyState(int(m.key)) < 0; }

// The runtime's key code of a key press: the virtual key and the modifier bits.
std::uint32_t keyCode(const MSG& m) {
  std::uint32_t code = std::uint32_t(m.wParam & 0xFF);
  for (const Modifier& mod : kModifiers)
    if (held(mod)) code |= mod.codeBit;
  return code;
}

std::uint8_t keyState() {
  std::uint8_t state = 0;
  for (const Modifier& mod : kModifiers)
    if (held(mod)) state |= mod.stateBit;
  return state;
}

bool listed(const std::vector<std::uint32_t>& keys, std::uint32_t code) { return std::find(keys.begin(), keys.end(), code) != keys.end(); }

// Key pre-translation. A key alerted for the focused control (or the window) becomes
// "EVENT:AlertKey" for that control instead of reaching it. Tab and Shift+Tab move between the
// window's tab stops as "EVENT:Selected" for the next one, so the program sees the focus move;
// other keys go on to the platform.
bool preTranslate(Window& w, const MSG& m) {
  ThreadContext* tc = w.thread;
  const bool ours = m.hwnd == w.handle || IsChild(w.handle, m.hwnd);
  if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST && m.hwnd) {
    POINT at{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    ClientToScreen(m.hwnd, &at);
    tc->lastCursor = at;
  }
  // A person acting on a window works in it, whichever thread's window had activation before.
  if (m.hwnd && (m.message == WM_LBUTTONDOWN || m.message == WM_RBUTTONDOWN || m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN))
    if (Window* acted = detail::windowOf(GetAncestorTop(m.hwnd))) detail::windowActivated(*acted);
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
    tc->lastKeyCode = keyCode(m);
    tc->lastKeyState = keyState();
    Control* focused = w.controlOf(GetFocus());
    if (ours && ((focused && listed(focused->alertKeys, tc->lastKeyCode)) || listed(w.alertKeys, tc->lastKeyCode))) {
      detail::queueEvent(w, detail::makeEvent(w, event::AlertKey, focused));
      return true;
    }
  } else if (m.message == WM_CHAR) {
    tc->lastKeyChar = std::uint8_t(m.wParam);
  }
  if (m.message != WM_KEYDOWN || m.wParam != VK_TAB || !ours) return false;
  const std::vector<Control*> stops = w.tabStops();
  if (stops.empty()) return false;
  const bool back = GetKeyState(int(VK_SHIFT)) < 0;
  auto it = std::find_if(stops.begin(), stops.end(), [](Control* c) { return c->hwnd == GetFocus(); });
  size_t next = it == stops.end() ? (back ? stops.size() - 1 : 0) : (size_t(it - stops.begin()) + (back ? stops.size() - 1 : 1)) % stops.size();
  detail::queueEvent(w, detail::makeEvent(w, event::Selected, stops[next]));
  return true;
}

// An event posted from another thread after its window's platform window was gone reaches the
// thread's queue instead. It goes to the window being pumped, which is now the thread's current
// one; an event about a control of another window has nothing left to concern and is released.
void takeOrphanedPost(Window& w, LPARAM param) {
  std::unique_ptr<EventPtr> carried(reinterpret_cast<EventPtr*>(param));
  if (!carried || !*carried) return;
  EventRecord& e = **carried;
  if (e.window != &w) {
    if (e.control) return;
    e.window = &w;
    e.focus = w.controlOf(GetFocus());
  }
  w.queue.pending.push_back(*carried);
}

std::mutex& filterMutex() {
  static std::mutex m;
  return m;
}
MessageFilter& installedFilter() {
  static MessageFilter f;
  return f;
}

// The program's message filter, run like the loop body without the global lock.
bool filtered(MSG& m) {
  MessageFilter filter;
  {
    std::lock_guard lock(filterMutex());
    filter = installedFilter();
  }
  if (!filter) return false;
  RuntimeLockRelease unlocked;
  return filter(m);
}

// Waits for one platform message and hands it on; the global lock is left while waiting. With
// nothing waiting for the window its idle step runs first; work it queued is delivered at once.
void pumpOnce(Window& w) {
  MSG m;
  if (w.idle && !PeekMessageA(&m, w.handle, 0, 0, PM_NOREMOVE)) {
    {
      RuntimeLockRelease unlocked;  // the program's code, like the loop body
      w.idle();
    }
    if (!w.queue.pending.empty() || !w.handle) return;
  }
  while (PeekMessageA(&m, w.handle, QUERY_DOCKQUERY, QUERY_DOCKQUERY, PM_REMOVE)) DispatchMessageA(&m);
  BOOL got;
  {
    RuntimeLockRelease unlocked;
    got = GetMessageA(&m, nullptr, 0, 0);
  }
  if (!got) {
    Halt(int(m.wParam));  // the platform asks the program to end
    return;
  }
  if (m.message == QUERY_SETUSE && (m.hwnd == w.handle || !m.hwnd)) ++w.setUseCount;
  while (PeekMessageA(&m, w.handle, QUERY_SETUSE, QUERY_SETUSE, PM_REMOVE)) ++w.setUseCount;
  if (m.message == QUERY_SETUSE) return;
  if (m.message == QUERY_BRINGTOTOP && m.hwnd == w.handle) {
    SetActiveWindow(w.handle);
    return;
  }
  if (m.message == QUERY_SHUTDOWN && !m.hwnd) {
    Halt(int(m.wParam));
    return;
  }
  if (m.message == QUERY_POSTEVENT && !m.hwnd) {
    takeOrphanedPost(w, m.lParam);
    return;
  }
  if (m.message == WM_TIMER && !m.hwnd && !m.lParam) return;  // the runtime's thread timer
  if (preTranslate(w, m)) return;
  if (w.handle && IsDialogMessageA(w.handle, &m)) return;
  if (filtered(m)) return;
  TranslateMessage(&m);
  DispatchMessageA(&m);
}

}  // namespace

MessageFilter SetMessageFilter(MessageFilter filter) {
  std::lock_guard lock(filterMutex());
  std::swap(installedFilter(), filter);
  return filter;
}

void Accept(LoopBody body) {
  RuntimeLockGuard lock(runtimeLock());
  Window* wp = currentWindow();
  if (!wp) RuntimeErrorReport(RuntimeError::AcceptWithoutWindow);
  Window& w = *wp;
  LoopBody* outer = w.queue.body;
  const bool outerRunning = w.queue.running;
  w.queue.body = &body;
  w.queue.running = true;
  while (w.handle && w.queue.running) {
    if (!IsWindow(w.handle)) break;
    if (w.setUseCount) {
      w.setUseCount = 0;
      DisplayFields();
    }
    if (!w.queue.pending.empty() || w.completionActive) {
      dispatch(w);
      continue;
    }
    pumpOnce(w);
  }
  w.queue.body = outer;
  w.queue.running = outerRunning && w.handle;
}

int EndEventPass(int outcome) {
  Window* w = currentWindow();
  if (!w) return 1;
  w->queue.outcome = outcome;
  return outcome == kBreak || !w->handle ? 1 : 0;
}

namespace detail {

int deliver(Window& w, const EventPtr& e) {
  if (currentThreadContext() != w.thread) RuntimeErrorReport(RuntimeError::ModalEventOnOtherThread);
  if (auto r = askHandlers(w, *e)) return *r;
  if (!w.queue.body || !w.queue.running) return int(PassOutcome::Normal);
  w.queue.current = e;
  const int outerOutcome = w.queue.outcome;
  w.queue.outcome = int(PassOutcome::Normal);
  ++w.queue.depth;
  ++e->hold;
  {
    RuntimeLockRelease unlocked;
    (*w.queue.body)();
  }
  --e->hold;
  --w.queue.depth;
  const int r = w.queue.outcome;
  w.queue.outcome = outerOutcome;
  if (r == kBreak) w.queue.running = false;
  return r;
}

}  // namespace detail

}  // namespace tamsil::window
