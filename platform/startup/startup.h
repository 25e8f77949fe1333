// Program start on the platform: chooses the backend and starts a scripted run.
//
// TAMSIL_PLATFORM=headless|qt chooses; without it, qt when a display is there (DISPLAY,
// WAYLAND_DISPLAY or QT_QPA_PLATFORM set), else headless with a note on stderr. TAMSIL_SCRIPT
// names a script of user actions (see docs/scripting.md).
#pragma once

#include <string_view>

namespace platform {

// Returns false after saying why on stderr (an unknown backend, a bad script); the caller should
// then exit with a non-zero code.
bool startPlatform(int& argc, char** argv, std::string_view programName);

// Releases the backend; call before returning from main.
void stopPlatform();

}  // namespace platform
