// The activation hand-over between threads. Each thread of the program keeps its own active
// window; the runtime keeps which of the program's windows the person works in. When that passes
// to a window of another thread, the window losing it gets "EVENT:LoseFocus" and the window taking
// it "EVENT:GainFocus", in that order: the taking window's loop holds its events back until the
// losing window has taken its LoseFocus (or a second has passed, so a thread that no longer pumps
// holds nobody up). Within one thread activation passes silently.
#pragma once

namespace tamsil::window {
class Window;
}

namespace tamsil::window::detail {

// The window became its thread's active window, or the person acted on it. Called on the window's
// thread with the global lock held.
void windowActivated(Window& window);
// Whether the window's events wait for the losing window of another thread.
bool handoverPending(const Window& window);
// The window's LoseFocus was handled (or dropped): the taking window may go on.
void lossTaken(const Window& window);
// The window is closed or destroyed: it holds activation no longer and holds nobody up.
void windowGone(const Window& window);

}  // namespace tamsil::window::detail
