// A backend shows the platform's windows to a person (Qt) or to nobody (headless). The model in
// the platform core is the truth; a backend mirrors it, waits for native events, and runs the
// dialogs that need a real person.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dialogs/dialogs.h"
#include "platform/queue/thread_queue.h"
#include "platform/types.h"

namespace platform {

// What changed on a window, so a mirroring backend updates only that. Font covers the window's
// colours too: both say how its text looks.
enum class Change { Text, Geometry, Visibility, Enabled, Focus, State, Menu, Items, Style, Image, Font };

struct FontMetrics {
  int averageWidth = 0;  // average width of "A".."Z" and "a".."z"
  int height = 0;
};

struct HelpRequest {
  HWND owner = nullptr;
  std::string file;
  UINT command = 0;
  std::string keyword;
};

class Backend {
 public:
  virtual ~Backend() = default;

  virtual std::string_view name() const = 0;
  virtual bool interactive() const = 0;  // a person can answer dialogs

  // Waits on the queue's own thread until it has work, is woken, or the deadline passes. The
  // default is the queue's own wait; a native event loop overrides it for its thread.
  virtual void wait(ThreadQueue& queue, ThreadQueue::Deadline deadline) { queue.waitUntil(deadline); }
  // Wakes the queue's thread from any thread; the default wakes the queue's own wait.
  virtual void wake(ThreadQueue& queue) { queue.notify(); }
  // Delivers native input that is waiting into the platform queues, without blocking.
  virtual void pump() {}

  virtual void windowCreated(HWND) {}
  virtual void windowDestroyed(HWND) {}
  virtual void windowChanged(HWND, Change) {}
  virtual void menuChanged(HMENU) {}

  virtual FontMetrics fontMetrics(std::string_view face, int points) = 0;
  // The text offset (in the platform's text, "\r\n" counting two) nearest to a point in an edit
  // control's client area, as the person sees the text drawn; nothing when the backend draws no
  // text, and the control then reckons with its font's average character width.
  virtual std::optional<DWORD> textOffsetAt(HWND, POINT) { return std::nullopt; }
  virtual RECT workArea() = 0;

  // Dialogs for a person; only called when no script answers them.
  virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
  virtual bool printSetup(HWND owner) = 0;
  virtual void showHelp(const HelpRequest& request) = 0;

  virtual std::optional<std::string> clipboardText() = 0;
  virtual void setClipboardText(const std::string& text) = 0;

  // Writes a picture of a top-level window; false with a reason when it cannot.
  [[nodiscard]] virtual bool snapshot(HWND window, const std::string& path, std::string* error) = 0;
};

// The backend in use. Asking before one is installed is a programming error: the process stops
// with a message saying to start the program through platform::startPlatform.
Backend& backend();
void installBackend(std::unique_ptr<Backend> b);

// Font metrics of the headless backend; deterministic, close to the classic Windows values.
FontMetrics headlessFontMetrics(std::string_view face, int points);

}  // namespace platform
