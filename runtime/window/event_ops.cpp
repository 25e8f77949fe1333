// Operations about events: posting, the current event, focus and the completion pass, redisplay,
// synchronous window events, handlers and timers; and the shared event helpers.
#include <algorithm>

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
#include "runtime/window/runtime_classes.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

Window* currentWindow() {
  ThreadContext* tc = currentThreadContext();
  return tc ? tc->currentWindow() : nullptr;
}

const EventRecord* currentEvent() {
  Window* w = currentWindow();
  return w && w->queue.current ? w->queue.current.get() : nullptr;
}

}  // namespace

namespace detail {

Window* windowOf(HWND hwnd) {
  if (runtimeClassOf(hwnd) != "TslWin") return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

Control* controlOf(HWND hwnd) {
  // The builder keeps each control's object in its platform window's user data.
  return hwnd && windowOf(GetParent(hwnd)) ? reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

EventPtr makeEvent(Window& w, int code, Control* control) {
  auto e = std::allocate_shared<EventRecord>(HeapAllocator<EventRecord>());
  ThreadContext* tc = currentThreadContext();
  Window* busy = currentWindow();
  if (busy && busy->queue.depth > 0 && busy->queue.current) {
    *e = *busy->queue.current;  // keeps the mouse and key snapshot of the event being handled
    e->hold = 0;
    e->synchronous = false;
    e->extra = 0;
    e->ddeClient = nullptr;
  } else if (tc) {
    e->keyCode = tc->lastKeyCode;
    e->keyChar = tc->lastKeyChar;
    e->keyState = tc->lastKeyState;
    // The cursor in the window's client coordinates; runtime windows do not scroll their client
    // area, so there is no scroll offset to add.
    POINT at = tc->lastCursor;
    if (w.handle) ScreenToClient(w.handle, &at);
    e->mouseX = at.x;
    e->mouseY = at.y;
  }
  e->code = kEventBase + UINT(code);
  e->window = &w;
  e->control = control;
  e->focus = w.controlOf(GetFocus());
  return e;
}

void queueEvent(Window& w, EventPtr e) {
  if (currentThreadContext() == w.thread) {
    w.queue.pending.push_back(std::move(e));
    return;
  }
  // Without its platform window the event goes to the owning thread's queue, whose pump hands it
  // to the thread's current window.
  auto* carried = new EventPtr(std::move(e));
  const LPARAM param = reinterpret_cast<LPARAM>(carried);
  const bool sent = w.handle && IsWindow(w.handle) ? PostMessageA(w.handle, QUERY_POSTEVENT, 0, param)
                                                   : w.thread && PostThreadMessageA(w.thread->platformThread, QUERY_POSTEVENT, 0, param);
  if (!sent) delete carried;
}

void postInternal(Window& w, int code, Control* control) {
  if (!PostingAllowed() && code != event::CloseWindow && code != event::CloseDown) return;
  if (control && !control->eventsOn) return;
  queueEvent(w, makeEvent(w, code, control));
}

void forgetWindow(Window& w) {
  if (ThreadContext* tc = w.thread) {
    std::erase(tc->windows, &w);
    if (tc->target == &w) tc->target = nullptr;
    Window* top = tc->currentWindow();
    tc->topHandle = top ? top->handle : nullptr;
  }
}

}  // namespace detail

int EventCode() {
  RuntimeLockGuard lock(runtimeLock());
  const EventRecord* e = currentEvent();
  return e ? e->event() : 0;
}

int EventField() {
  RuntimeLockGuard lock(runtimeLock());
  const EventRecord* e = currentEvent();
  return e && e->control && e->control->eventsOn ? e->control->field : 0;
}

int AcceptedField() {
  RuntimeLockGuard lock(runtimeLock());
  const EventRecord* e = currentEvent();
  return e && e->event() == event::Accepted && e->control ? e->control->field : 0;
}

namespace {

// Queues a new event for the top window of thread `thread` (0: the calling thread). A Notify
// carries its code and the posting thread's number besides the extra word.
void post(int code, int field, int thread, std::uintptr_t extra, int notifyCode) {
  RuntimeLockGuard lock(runtimeLock());
  if (!PostingAllowed()) return;
  ThreadContext* tc = thread == 0 ? currentThreadContext() : threadContextByNumber(thread);
  Window* w = tc ? tc->currentWindow() : nullptr;
  if (!w) return;
  Control* c = nullptr;
  if (field != 0) {
    c = w->control(field);
    if (!c || !c->eventsOn) return;
  }
  EventPtr e = detail::makeEvent(*w, code, c);
  e->extra = extra;
  if (code == event::Notify) {
    e->notifyCode = notifyCode;
    e->notifyThread = currentThreadContext() ? currentThreadContext()->number : 0;
  }
  detail::queueEvent(*w, std::move(e));
}

}  // namespace

void PostEvent(int code, int field, int thread, std::uintptr_t extra) { post(code, field, thread, extra, 0); }

void PostNotify(int code, int thread, std::uintptr_t parameter) { post(event::Notify, 0, thread, parameter, code); }

void SelectField(int field, int start, int end) {
  RuntimeLockGuard lock(runtimeLock());
  Window* w = currentWindow();
  if (!w) RuntimeErrorReport(RuntimeError::WindowNotOpen);
  if (field == 0) {
    w->completionActive = true;
    w->completionNext = w->lowestField;
    return;
  }
  Control* c = w->control(field);
  if (!c) return;
  if (c->hwnd && (start || end)) SendMessageA(c->hwnd, EM_SETSEL, WPARAM(start > 0 ? start - 1 : 0), LPARAM(end));
  detail::postInternal(*w, event::Selected, c);
}

void DisplayFields(int first, int last) {
  RuntimeLockGuard lock(runtimeLock());
  Window* w = currentWindow();
  if (!w) return;
  if (first > last) std::swap(first, last);
  for (auto& [field, c] : w->controls) {
    if ((first || last) && (field < first || field > last)) continue;
    if (c.display) c.display();
  }
}

int SendWindowEvent(Window& w, int code) {
  RuntimeLockGuard lock(runtimeLock());
  const bool registered =
      std::any_of(w.handlers.begin(), w.handlers.end(), [code](const HandlerRegistration& h) { return h.code == code || h.code == -1; });
  if (!w.queue.running && !registered) return 0;
  EventPtr e = detail::makeEvent(w, code, nullptr);
  e->synchronous = true;
  return detail::deliver(w, e) == int(PassOutcome::Cycle) ? 1 : 0;
}

bool NotifyInfo(int& code, int& thread, std::uintptr_t& parameter) {
  RuntimeLockGuard lock(runtimeLock());
  const EventRecord* e = currentEvent();
  if (!e || e->event() != event::Notify) return false;
  code = e->notifyCode;
  thread = e->notifyThread;
  parameter = e->extra;
  return true;
}

int RegisterEventHandler(Window& w, int code, EventHandler handler, int field, bool anyField) {
  RuntimeLockGuard lock(runtimeLock());
  w.handlers.push_back({code, std::move(handler), field, anyField, ++w.lastHandlerId});
  return w.lastHandlerId;
}

void UnregisterEventHandler(Window& w, int registration) {
  RuntimeLockGuard lock(runtimeLock());
  std::erase_if(w.handlers, [registration](const HandlerRegistration& h) { return h.id == registration; });
}

int FocusField() {
  RuntimeLockGuard lock(runtimeLock());
  Window* w = currentWindow();
  const Control* c = w ? w->controlOf(GetFocus()) : nullptr;
  return c ? c->field : 0;
}

void SetWindowTimer(Window& w, int hundredths) {
  RuntimeLockGuard lock(runtimeLock());
  if (!w.handle) return;
  if (hundredths <= 0) {
    KillTimer(w.handle, detail::kWindowTimerId);
    w.timerSet = false;
    return;
  }
  SetTimer(w.handle, detail::kWindowTimerId, UINT(hundredths) * 10, nullptr);
  w.timerSet = true;
}

namespace detail {

void releaseThreadWindows(ThreadContext& tc) {
  RuntimeLockGuard lock(runtimeLock());
  const std::vector<Window*> open = tc.windows;  // closing takes each off the stack
  for (auto it = open.rbegin(); it != open.rend(); ++it) CloseWindowOp(**it);
}

}  // namespace detail

std::vector<std::string> DroppedFiles() {
  RuntimeLockGuard lock(runtimeLock());
  const Window* w = currentWindow();
  return w ? w->droppedFiles : std::vector<std::string>{};
}

void SetTargetWindow(Window* target) {
  RuntimeLockGuard lock(runtimeLock());
  if (ThreadContext* tc = currentThreadContext()) tc->target = target;
}

Window* TargetWindow() {
  RuntimeLockGuard lock(runtimeLock());
  ThreadContext* tc = currentThreadContext();
  return tc ? tc->target : nullptr;
}

void CloseWindowOp(Window& w) {
  RuntimeLockGuard lock(runtimeLock());
  if (!w.handle) return;
  const HWND h = w.handle;
  w.handle = nullptr;
  w.queue.running = false;
  w.queue.pending.clear();
  w.completionActive = false;
  detail::forgetWindow(w);
  detail::windowGone(w);
  for (auto& [field, c] : w.controls) c.hwnd = nullptr;
  KillTimer(h, detail::kWindowTimerId);
  w.timerSet = false;
  SetWindowLongPtrA(h, GWLP_USERDATA, 0);
  DestroyWindow(h);
}

}  // namespace tamsil::window
