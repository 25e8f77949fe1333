// Pieces of the window layer shared between its files: finding the runtime objects behind
// platform windows, making, queueing and delivering events.
#pragma once

#include "platform/types.h"
#include "runtime/window/window_object.h"

namespace tamsil::window::detail {

// The platform timer of a window, behind its Timer property and "EVENT:Timer".
inline constexpr platform::UINT_PTR kWindowTimerId = 1;
// The program's icon resource, for windows that name no icon (or a picture that cannot be read).
inline constexpr platform::LONG_PTR kProgramIcon = 32523;

Window* windowOf(platform::HWND hwnd);    // the runtime window behind a "TslWin" window
Control* controlOf(platform::HWND hwnd);  // the control behind a control's platform window

// A new event for the window; its mouse and key snapshot comes from the calling thread's current
// event when one is being handled, else from the thread's keyboard state.
EventPtr makeEvent(Window& window, int code, Control* control);
// Appends to the window's pending list on its own thread; from another thread it travels as
// QUERY_POSTEVENT through the window's queue.
void queueEvent(Window& window, EventPtr event);
// An event the runtime itself raises for a window: dropped once posting is off, except
// "EVENT:CloseWindow" and "EVENT:CloseDown", which still let the window close.
void postInternal(Window& window, int code, Control* control = nullptr);

// Delivers one event to the window's handlers or loop body: a PassOutcome, or another answer of a
// handler.
int deliver(Window& window, const EventPtr& event);

// Carries out a menu item's standard action; false when the code is no action.
bool performStandardAction(Window& window, Control& item);

// Takes the window off its thread's window stack.
void forgetWindow(Window& window);

// Closes the windows a thread still has open when its runtime life ends, newest first.
void releaseThreadWindows(ThreadContext& context);

}  // namespace tamsil::window::detail
