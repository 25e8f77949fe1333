#include "platform/startup/startup.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/input/script.h"
#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#ifdef KESTREL_HAVE_QT
#include "platform/qt/qt_backend.h"
#endif

namespace platform {

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool displayAvailable() { return !env("DISPLAY").empty() || !env("WAYLAND_DISPLAY").empty() || !env("QT_QPA_PLATFORM").empty(); }

}  // namespace

bool startPlatform([[maybe_unused]] int& argc, [[maybe_unused]] char** argv, std::string_view programName) {
  const std::string prog(programName);
  GetCurrentThreadId();  // the starting thread is thread 1
  std::string choice = env("TAMSIL_PLATFORM");
  if (choice.empty()) {
    choice = displayAvailable() ? "qt" : "headless";
    if (choice == "headless")
      std::fprintf(stderr,
                   "%s: no display found (DISPLAY is not set); running on the headless backend. "
                   "Set TAMSIL_PLATFORM=qt and QT_QPA_PLATFORM=offscreen to render without a display.\n",
                   prog.c_str());
  }
  if (choice == "headless") {
    installBackend(headless::createBackend());
  } else if (choice == "qt") {
#ifdef KESTREL_HAVE_QT
    std::string error;
    auto b = qt::createBackend(argc, argv, &error);
    if (!b) {
      std::fprintf(stderr, "%s: the qt backend cannot start: %s\n", prog.c_str(), error.c_str());
      return false;
    }
    installBackend(std::move(b));
#else
    std::fprintf(stderr, "%s: this build has no qt backend; use TAMSIL_PLATFORM=headless\n", prog.c_str());
    return false;
#endif
  } else {
    std::fprintf(stderr, "%s: unknown TAMSIL_PLATFORM '%s' (headless or qt)\n", prog.c_str(), choice.c_str());
    return false;
  }
  SetIdleHook(script::idleHook());
  if (const std::string path = env("TAMSIL_SCRIPT"); !path.empty()) {
    script::ParseResult r = script::load(path);
    for (const std::string& e : r.errors) std::fprintf(stderr, "%s\n", e.c_str());
    if (!r.errors.empty()) {
      std::fprintf(stderr, "%s: the script has errors; nothing was run\n", prog.c_str());
      stopPlatform();
      return false;
    }
    script::start(std::move(r.lines), path);
  } else if (!backend().interactive()) {
    script::closeWindowsWhenIdle();
  }
  return true;
}

void stopPlatform() {
  SetIdleHook({});
  installBackend(nullptr);
}

}  // namespace platform
