// A small program that does what a window procedure does with its place: opens the runtime tests'
// main window, restores it from "Probe.INI" section "Main", runs its loop (a script moves and
// sizes it), saves it as it closes. It prints the window's place and size after the restore and at
// the save ("restored X Y W H", "saved X Y W H"), in dialog units.
#include <cstdio>

#include "framework/ini/ini_store.h"
#include "platform/startup/startup.h"
#include "runtime/core/startup.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"

namespace {

namespace win = tamsil::window;

void print(const char* what, win::Window& w) {
  auto get = [&](std::uint16_t n) { return GetProperty(w, 0, n).text; };
  std::printf("%s %s %s %s %s\n", what, get(win::prop::Xpos).c_str(), get(win::prop::Ypos).c_str(), get(win::prop::Width).c_str(),
              get(win::prop::Height).c_str());
  std::fflush(stdout);
}

void probeMain() {
  tamsil::framework::IniStore store;
  store.Open("Probe.INI", tamsil::framework::StorageKind::IniFile);
  win::Window w("RuntimeTest$Main", "P1$WINDOW");
  win::OpenWindowOp(w);
  store.RestoreWindow("Main", w);
  print("restored", w);
  // Saved when the window is about to close, while it is still open.
  win::Accept([&] {
    if (win::EventCode() == win::event::CloseWindow) {
      print("saved", w);
      if (!store.SaveWindow("Main", w)) std::puts("not saved");
    }
    win::EndEventPass(0);
  });
  win::CloseWindowOp(w);
  store.Flush();
  store.Close();
}

}  // namespace

int main(int argc, char** argv) {
  if (!platform::startPlatform(argc, argv, "ini-probe")) return 2;
  static constexpr tamsil::ModuleRecord kModules[] = {tamsil::ModuleRecord{}};
  tamsil::ProcessEntry(tamsil::ModuleDescriptor{kModules, tamsil::kRuntimeVersion, ""}, probeMain);
}
