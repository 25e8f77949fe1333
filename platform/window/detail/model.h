// The in-memory model of windows, window classes and menus. Both backends share it: the headless
// backend is nothing but this model; the Qt backend mirrors it from snapshots (snapshot.h). All
// access goes through handles looked up under one lock, and window procedures always run without
// that lock. Who may touch which field, and under what, is written at struct Window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/mutex.h"
#include "platform/thread_annotations.h"
#include "platform/types.h"
#include "platform/window/snapshot.h"
#include "platform/window/view.h"

namespace platform::detail {

using platform::ControlKind;
using platform::ControlState;
using platform::FrameMetrics;
using platform::ShowState;
using platform::WindowColours;
using platform::WindowView;

// The one lock of the model; held only while reading or changing model data. The platform takes it
// again while holding it (a setter calls a lookup), hence a recursive mutex.
RecursiveMutex& modelMutex();

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  UINT style = 0;
  int extraBytes = 0;
  ControlKind kind = ControlKind::None;
};

// Threads: a window belongs to the thread that created it, and the platform changes a window
// only on that thread (other threads send it messages; the setters are for that thread too).
// Each field says who may touch it:
//   constant      set before the window is in the handle table, never changed after;
//   owner, lock   written only by the owning thread, always under the model lock; the owner reads
//                 without the lock, every other thread (a backend's snapshot) under it;
//   lock          read and written under the model lock by every thread (GUARDED_BY, so the
//                 compiler checks it; "owner, lock" has no such attribute, as the owner's reads
//                 take no lock).
struct Window {
  HWND handle = nullptr;                                // constant
  std::shared_ptr<const WindowClass> cls;               // constant
  WNDPROC proc = nullptr;                               // owner, lock
  DWORD style = 0;                                      // owner, lock
  DWORD exStyle = 0;                                    // owner, lock
  HWND parent = nullptr;                                // constant; child windows
  HWND owner = nullptr;                                 // owner, lock; top-level windows
  std::vector<HWND> children GUARDED_BY(modelMutex());  // in z-order, first on top
  RECT rect;                                            // owner, lock; parent client coordinates, screen for top-level windows
  RECT normalRect;                                      // owner, lock; the restored rectangle while minimized or maximized
  std::string text;                                     // owner, lock
  LONG_PTR id = 0;                                      // owner, lock; control identifier
  LONG_PTR userData = 0;                                // owner, lock
  std::vector<LONG_PTR> extra;                          // owner, lock; window extra words
  DWORD thread = 0;                                     // constant
  HMENU menu = nullptr;                                 // owner, lock
  HFONT font = nullptr;                                 // owner, lock
  WindowColours colours;                                // owner, lock
  ShowState showState = ShowState::Normal;              // owner, lock
  // The built-in control behind the window: its class's own, or, for a class built on top of a
  // built-in one, the one its procedure forwards to (learnt on the first forwarded message).
  ControlKind kind = ControlKind::None;  // owner, lock
  bool destroying = false;               // owner, lock
  ControlState control;                  // owner, lock
  // A component's own view of the window (view.h); let go when the window is destroyed.
  std::shared_ptr<WindowView> view;  // owner, lock
};

using MenuItem = MenuItemSnapshot;

// Menus are not tied to a thread: items are read and written under the model lock.
struct Menu {
  HMENU handle = nullptr;  // constant
  bool bar = false;        // constant
  std::vector<MenuItem> items GUARDED_BY(modelMutex());
};

// Sets one field of the model under its lock and returns what it held.
template <typename T, typename V>
T exchangeField(T& field, V&& value) {
  RecursiveLock lock(modelMutex());
  T old = std::move(field);
  field = std::forward<V>(value);
  return old;
}

std::shared_ptr<Window> findWindow(HWND hwnd);
std::shared_ptr<Menu> findMenu(HMENU menu);
std::shared_ptr<const WindowClass> findClass(std::string_view name);

// Registers a built-in class of the platform (button, edit, ...).
void registerBuiltinClass(const WindowClass& cls);

// Every live top-level window in creation order.
std::vector<HWND> topLevelWindows();

FrameMetrics frameMetrics(const Window& w);

}  // namespace platform::detail
