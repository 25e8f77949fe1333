// The runtime's operations on windows and events, as procedures call them. They act on the
// calling thread's current window unless a window is given. Programming errors (no window, a
// window opened twice, a delivery from a foreign thread) end the program through the runtime
// error report.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/window/window_object.h"

namespace tamsil::window {

// Builds the window from its stored definition, shows it and queues "EVENT:OpenWindow".
void OpenWindowOp(Window& window, Window* owner = nullptr);
// Closes the window: the platform window is destroyed and its loop ends.
void CloseWindowOp(Window& window);

// Runs the event loop of the current window: body runs once per event until the loop ends.
void Accept(LoopBody body);
// Ends one pass of the loop body with a PassOutcome, given as its number. Returns 0 when the body
// is to run again, non-zero when the loop has ended.
int EndEventPass(int outcome);

int EventCode();      // the current event's code, 0 when none
int EventField();     // its control's field, 0 for window events
int AcceptedField();  // the field when the event is "EVENT:Accepted", else 0

// Queues an event for the top window of thread `thread` (0: the calling thread).
void PostEvent(int code, int field = 0, int thread = 0, std::uintptr_t extra = 0);
// Queues "EVENT:Notify" for the top window of thread `thread` (0: the calling thread), carrying
// the notification's code, the posting thread's number and the parameter for NotifyInfo.
void PostNotify(int code, int thread = 0, std::uintptr_t parameter = 0);
// The field of the current window's control that has the focus; 0 when none has.
int FocusField();
// Moves the focus to a control; field 0 starts the completion pass.
void SelectField(int field, int start = 0, int end = 0);
// Shows the bound values of the controls from first to last again (0, 0: all).
void DisplayFields(int first = 0, int last = 0);
// Delivers a window event at once; 1 when a handler or the body cycled it.
int SendWindowEvent(Window& window, int code);
// The values of the current "EVENT:Notify"; false when the current event is something else.
bool NotifyInfo(int& code, int& thread, std::uintptr_t& parameter);

// Registers a handler for an event code (-1: every code) on a window, for a field or any field;
// answers the registration's number, which takes it back with UnregisterEventHandler.
int RegisterEventHandler(Window& window, int code, EventHandler handler, int field = 0, bool anyField = false);
// Takes back a registration (also from inside a handler); an unknown number does nothing.
void UnregisterEventHandler(Window& window, int registration);
// Sets the window's timer in hundredths of a second (0 stops it); "EVENT:Timer" follows.
void SetWindowTimer(Window& window, int hundredths);

// The help file the help actions open; empty: the program's name with ".hlp".
void SetHelpFile(std::string file);

// The files of the last drop from the desktop on the current window ("EVENT:Drop"); empty when
// none was dropped.
std::vector<std::string> DroppedFiles();

// The window the calling thread's new windows are opened for (their owner when OpenWindowOp is
// given none); null goes back to opening them unowned. Closing the target clears it.
void SetTargetWindow(Window* window);
Window* TargetWindow();

// A filter the pump offers each message after the window's own key handling and dialog
// navigation and before dispatching it; answering true consumes the message. Dialog navigation
// takes every message of the window and its controls, so the filter sees the rest: the messages
// of the thread's other windows. One for the program, run on every pumping thread; installing
// returns the filter installed before, empty removes it.
using MessageFilter = std::function<bool(platform::MSG& message)>;
MessageFilter SetMessageFilter(MessageFilter filter);

// The acknowledgement a DDE poke or execute gets once the program has handled its event:
// WM_DDE_ACK to the client, from the window, with the status (kDdeAckPositive when the program's
// answer was not 0) in the low word and the low word of the message's parameter (its item) in the
// high word. A poke or execute that is dropped (the program has left its main procedure) gets a
// negative acknowledgement, so its client does not wait.
inline constexpr platform::WORD kDdeAckPositive = 0x8000;

}  // namespace tamsil::window
