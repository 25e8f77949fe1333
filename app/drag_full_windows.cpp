#include "app/drag_full_windows.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/desktop/system.h"
#include "platform/messages.h"
#include "platform/system/profile.h"

namespace kestrel {

namespace {

constexpr platform::UINT kUpdateAndBroadcast = platform::SPIF_UPDATEINIFILE | platform::SPIF_SENDCHANGE;

// Signals that end the process; each gives the setting back first.
constexpr int kFatalSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// The setting is off on the program's behalf and the guard must give it back.
std::atomic<bool> gGuardArmed{false};

void giveBack() {
  if (!gGuardArmed.exchange(false)) return;
  platform::BOOL scratch = 0;
  platform::SystemParametersInfoA(platform::SPI_SETDRAGFULLWINDOWS, 1, &scratch, kUpdateAndBroadcast);
  std::error_code ignored;
  std::filesystem::remove(dragFullWindowsMarker(), ignored);
}

// The process is ending anyway: the profile write is the last thing it does before dying of the
// signal as it would have.
void onFatalSignal(int signal) {
  giveBack();
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void atExit() { giveBack(); }

void armGuard() {
  static const bool installed = [] {
    std::atexit(atExit);
    for (int s : kFatalSignals) {
      struct sigaction action {};
      action.sa_handler = onFatalSignal;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESETHAND;
      sigaction(s, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
  std::ofstream(dragFullWindowsMarker(), std::ios::trunc) << ::getpid() << '\n';
  gGuardArmed = true;
}

void disarmGuard() {
  gGuardArmed = false;
  std::error_code ignored;
  std::filesystem::remove(dragFullWindowsMarker(), ignored);
}

}  // namespace

std::filesystem::path dragFullWindowsMarker() { return platform::profilePath("Kestrel24.DFW"); }

DragFullWindowsSwitch::DragFullWindowsSwitch(SystemParametersCall call, bool guarded) : call_(call), guarded_(guarded) {}

DragFullWindowsSwitch::~DragFullWindowsSwitch() { Restore(); }

void DragFullWindowsSwitch::SwitchOff() {
  platform::BOOL saved = SavedDragFullWindows;
  call_(platform::SPI_GETDRAGFULLWINDOWS, 0, &saved, 0);
  SavedDragFullWindows = saved;
  if (SavedDragFullWindows != 1) return;
  // The marker goes first: a run killed between the two steps finds the setting on and the
  // marker's process gone, and switching on what is on changes nothing.
  if (guarded_) armGuard();
  call_(platform::SPI_SETDRAGFULLWINDOWS, 0, &scratch, kUpdateAndBroadcast);
  switchedOff_ = true;
}

void DragFullWindowsSwitch::Restore() {
  if (!switchedOff_) return;
  switchedOff_ = false;
  call_(platform::SPI_SETDRAGFULLWINDOWS, 1, &scratch, kUpdateAndBroadcast);
  if (guarded_) disarmGuard();
}

bool RecoverDragFullWindows() {
  const auto marker = dragFullWindowsMarker();
  std::ifstream in(marker);
  if (!in) return false;
  long pid = 0;
  in >> pid;
  in.close();
  if (pid > 0 && pid != long(::getpid()) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) return false;
  platform::BOOL scratch = 0;
  platform::SystemParametersInfoA(platform::SPI_SETDRAGFULLWINDOWS, 1, &scratch, kUpdateAndBroadcast);
  std::error_code ignored;
  std::filesystem::remove(marker, ignored);
  return true;
}

}  // namespace kestrel
