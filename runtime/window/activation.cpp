#include "runtime/window/activation.h"

#include <chrono>
#include <mutex>

#include "runtime/window/event_codes.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window::detail {

namespace {

using Clock = std::chrono::steady_clock;
// How long a taking window waits for the losing one at most.
constexpr auto kHandoverLimit = std::chrono::seconds(1);

struct Handover {
  std::mutex mutex;
  Window* holder = nullptr;        // the window the person works in
  const Window* losing = nullptr;  // while a hand-over is under way: the window losing activation
  const Window* taking = nullptr;  // and the window waiting for it
  Clock::time_point deadline;

  void finish() { losing = taking = nullptr; }
};

Handover& handover() {
  static Handover h;
  return h;
}

}  // namespace

void windowActivated(Window& w) {
  Handover& h = handover();
  Window* previous = nullptr;
  {
    std::lock_guard lock(h.mutex);
    if (h.holder == &w) return;
    previous = h.holder;
    h.holder = &w;
    if (!previous || previous->thread == w.thread || !previous->handle) return;
    h.losing = previous;
    h.taking = &w;
    h.deadline = Clock::now() + kHandoverLimit;
  }
  postInternal(*previous, event::LoseFocus);
  postInternal(w, event::GainFocus);
}

bool handoverPending(const Window& w) {
  Handover& h = handover();
  std::lock_guard lock(h.mutex);
  if (h.taking != &w) return false;
  if (Clock::now() < h.deadline) return true;
  h.finish();
  return false;
}

void lossTaken(const Window& w) {
  Handover& h = handover();
  std::lock_guard lock(h.mutex);
  if (h.losing == &w) h.finish();
}

void windowGone(const Window& w) {
  Handover& h = handover();
  std::lock_guard lock(h.mutex);
  if (h.holder == &w) h.holder = nullptr;
  if (h.losing == &w || h.taking == &w) h.finish();
}

}  // namespace tamsil::window::detail
