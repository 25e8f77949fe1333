#include "app/program_main.h"

#include "app/app_module.h"
#include "app/demo_window.h"
#include "app/program_errors.h"
#include "app/text_matcher.h"
#include "framework/ini/ini_store.h"
#include "platform/desktop/system.h"

namespace kestrel {

namespace {

// The program declares no dictionary of its own; the step stays so the order reads as designed.
void InitialiseDictionary() {}

}  // namespace

void RunProgramMain(const ProgramParts& parts) {
  ensureThreadGlobals();
  // The error reporter is ready: the module's process constructor made it (the standard log, the
  // default category and table).
  parts.matcher.Init();
  parts.matcher.SetOption(1, 1);
  parts.matcher.SetOption(2, 0);
  parts.ini.Open(kIniFileName, tamsil::framework::StorageKind::IniFile, 0);
  InitialiseDictionary();
  DragFullWindowsSwitch dragFullWindows(parts.systemParameters, parts.guardSetting);
  dragFullWindows.SwitchOff();
  parts.mainWindow();
  parts.ini.Flush();
  dragFullWindows.Restore();
  parts.ini.Close();
  parts.matcher.Kill();
}

void ProgramMain() {
  RecoverDragFullWindows();
  RunProgramMain({programErrors(), moduleTextMatcher(), programIniStore(), platform::SystemParametersInfoA, true, MainWindowProcedure});
}

}  // namespace kestrel
