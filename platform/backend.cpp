#include "platform/backend.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/ascii.h"
#include "platform/queue/thread.h"

namespace platform {

namespace {
std::unique_ptr<Backend>& installed() {
  static std::unique_ptr<Backend> b;
  return b;
}
std::atomic<DWORD> gInstallingThread{0};  // the thread that installed the backend (its GUI thread)
}  // namespace

Backend& backend() {
  auto& b = installed();
  if (!b) {
    std::fputs("platform: no backend installed (start the program through platform::startPlatform)\n", stderr);
    std::abort();
  }
  return *b;
}

void installBackend(std::unique_ptr<Backend> b) {
  gInstallingThread = b ? GetCurrentThreadId() : 0;
  installed() = std::move(b);
}

void ExitProcess(UINT code) {
  std::fflush(nullptr);
  // The backend (a toolkit's application object, its windows) goes first, while everything it
  // uses still exists: left to the exit handlers, it would be destroyed after toolkit globals
  // that were created later than it. Only its own thread may take it down; another thread ends
  // the process at once, without running destructors under the feet of the running threads.
  if (gInstallingThread != 0 && gInstallingThread != GetCurrentThreadId()) std::_Exit(int(code));
  installBackend(nullptr);
  std::exit(int(code));
}

FontMetrics headlessFontMetrics(std::string_view face, int points) {
  if (ascii::equalsNoCase(face, "System")) return {8, 16};
  // A 96-dpi screen: the cell height is the em height and a fifth; the average width of the
  // letters is about 0.45 of it ("MS Sans Serif" 8 comes out as 6 by 13, as on that platform).
  const int height = int(std::lround(points * 96.0 / 72.0 * 1.2));
  return {std::max(1, int(std::lround(height * 0.45))), std::max(1, height)};
}

}  // namespace platform
