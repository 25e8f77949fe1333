// The desktop's drag-full-windows setting, switched off while the demo window runs and only when
// the user had it on. Restore gives the user's setting back at the normal end. Because the set
// call writes the user's profile, a run that ends any other way would leave the setting off for
// good; while it is off, a guard gives it back at exit, on a fatal signal, and (for a run killed
// outright) at the next start, through a marker file beside the profile that names the process.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/types.h"

namespace kestrel {

// The platform call (SystemParametersInfoA's shape), replaceable so tests can watch the calls.
using SystemParametersCall = platform::BOOL (*)(platform::UINT action, platform::UINT value, void* out, platform::UINT flags);

class DragFullWindowsSwitch {
 public:
  // `guarded`: also keep the setting safe against an abnormal end (the program does; tests that
  // watch the calls through a recording function do not).
  explicit DragFullWindowsSwitch(SystemParametersCall call, bool guarded);
  ~DragFullWindowsSwitch();
  DragFullWindowsSwitch(const DragFullWindowsSwitch&) = delete;
  DragFullWindowsSwitch& operator=(const DragFullWindowsSwitch&) = delete;

  // Reads the setting into SavedDragFullWindows (a failed read leaves 0) and, when it is on,
  // switches it off for the user (profile updated, change broadcast).
  void SwitchOff();
  // Switches it on again when SwitchOff found it on; a second call does nothing.
  void Restore();

  std::int32_t SavedDragFullWindows = 0;
  std::int32_t scratch = 0;  // receives the set calls' output; not otherwise used

 private:
  SystemParametersCall call_;
  bool guarded_;
  bool switchedOff_ = false;
};

// The marker a guarded switch leaves while the setting is off: the profile directory's
// "Kestrel24.DFW", holding the process id.
std::filesystem::path dragFullWindowsMarker();

// A previous run that was killed while the setting was off left its marker behind: switches the
// setting on again and removes the marker. A marker of a process still running is left alone.
// True when it restored the setting.
bool RecoverDragFullWindows();

}  // namespace kestrel
