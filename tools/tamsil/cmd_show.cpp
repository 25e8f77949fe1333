// tamsil show MODULE LABEL: opens a stored window and runs its event loop, printing each event the
// loop body receives ("event EVENT:Accepted field 7"). A preview for people who write window
// definitions; with TAMSIL_SCRIPT it can be driven and, under qt, photographed. With --values it
// prints after each event what each control holds ("value 1000 \"typed text\"").
#include <cstdio>
#include <string>

#include "platform/window/window.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "tools/tamsil/command.h"
#include "tools/tamsil/run_program.h"

namespace tamsil::tool {

namespace {

std::string gModule, gLabel;
bool gValues = false;

// The text each control holds, with quotes and backslashes escaped and line breaks as \n.
void printValues(window::Window& w) {
  for (auto& [field, control] : w.controls) {
    if (!control.hwnd) continue;
    std::string text;
    for (const char c : platform::GetWindowTextString(control.hwnd)) {
      if (c == '"' || c == '\\') text += '\\', text += c;
      else if (c == '\r') continue;
      else if (c == '\n') text += "\\n";
      else text += c;
    }
    std::printf("value %d \"%s\"\n", field, text.c_str());
  }
  std::fflush(stdout);
}

void printEvent() {
  const int code = window::EventCode();
  const std::string_view name = window::eventName(code);
  if (name.empty()) std::printf("event %#x field %d\n", unsigned(code), window::EventField());
  else std::printf("event %.*s field %d\n", int(name.size()), name.data(), window::EventField());
  std::fflush(stdout);
}

void showMain() {
  window::Window w(gModule, gLabel);
  window::OpenWindowOp(w);
  window::Accept([&w] {
    printEvent();
    if (gValues && w.handle) printValues(w);
    window::EndEventPass(0);
  });
  window::CloseWindowOp(w);
}

}  // namespace

int show(Args args) {
  gValues = !args.empty() && args[0] == "--values";
  if (gValues) args = args.subspan(1);
  if (args.size() != 2) {
    std::fputs("usage: tamsil show [--values] MODULE LABEL\n", stderr);
    return 2;
  }
  gModule = args[0];
  gLabel = args[1];
  return runAsProgram(showMain);
}

}  // namespace tamsil::tool
