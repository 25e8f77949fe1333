// ProgramMain: the application's main procedure, run once by the runtime on the first thread. It
// initialises the process-wide error reporter, text matcher and settings store, switches the
// desktop's drag-full-windows setting off for the run (only when it was on), runs the demo window
// and undoes all of it in reverse order.
#pragma once

#include <string_view>

#include "app/drag_full_windows.h"

namespace tamsil::framework {
class IniStore;
}

namespace kestrel {

class ProgramErrors;
class TextMatcher;

// The program's settings file, a bare name kept in the profile directory.
inline constexpr std::string_view kIniFileName = "Kestrel24.INI";

// What ProgramMain works with; the program passes its process-wide objects and the platform's
// call, tests pass their own.
struct ProgramParts {
  ProgramErrors& errors;
  TextMatcher& matcher;
  tamsil::framework::IniStore& ini;
  SystemParametersCall systemParameters;
  bool guardSetting;  // keep the setting safe against an abnormal end
  void (*mainWindow)();
};

// The steps of ProgramMain on the given parts.
void RunProgramMain(const ProgramParts& parts);

// The main procedure the module table hands to the runtime.
void ProgramMain();

}  // namespace kestrel
