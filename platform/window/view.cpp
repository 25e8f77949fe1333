#include "platform/window/view.h"

#include <utility>

#include "platform/backend.h"
#include "platform/queue/thread.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"

namespace platform {

BOOL SetWindowView(HWND hwnd, std::shared_ptr<WindowView> view) {
  auto w = detail::findWindow(hwnd);
  if (!w || w->thread != GetCurrentThreadId() || w->destroying) return FALSE;
  // The old view goes after the lock is let go: its destructor is the component's code.
  const WindowView* const fresh = view.get();
  const auto old = detail::exchangeField(w->view, std::move(view));
  // Another widget for the window, as a style change that chooses another adapter.
  if (old.get() != fresh) detail::notify(hwnd, Change::Style);
  return TRUE;
}

std::shared_ptr<WindowView> GetWindowView(HWND hwnd) {
  auto w = detail::findWindow(hwnd);
  if (!w) return nullptr;
  RecursiveLock lock(detail::modelMutex());
  return w->view;
}

}  // namespace platform
