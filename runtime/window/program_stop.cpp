#include "runtime/window/program_stop.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/queue/thread.h"
#include "runtime/core/diagnostic_log.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/value/locale.h"
#include "runtime/window/message_box.h"

namespace tamsil {

using window::MessageBoxRequest;
using window::MessageIcon;
using window::RuntimeMessageBox;

namespace {

std::atomic<StopHook> gStopHook{nullptr};
std::atomic<HaltHook> gHaltHook{nullptr};
std::atomic<ErrorHook> gErrorHook{nullptr};

// A runtime error met while a report is on screen (its box failing, a hook raising another) must
// not report again; it ends the program at once with the same code.
std::atomic<bool> gReporting{false};

}  // namespace

void StopProgram(std::string_view text, bool exitQuestion) {
  if (StopHook hook = gStopHook.load()) {
    hook(exitQuestion);
    return;
  }
  MessageBoxRequest r;
  r.text = std::string(text);
  if (exitQuestion) r.text += r.text.empty() ? "Exit?" : "\nExit?";
  r.caption = "Stop";
  r.icon = MessageIcon::Stop;
  r.buttons = window::BtnAbort | window::BtnIgnore;
  r.defaultButton = window::BtnAbort;
  if (RuntimeMessageBox(r) == window::BtnAbort) {
    Halt(0);
    platform::ExitProcess(0);  // Halt returns only when a halt is already under way
  }
}

void HaltProgram(int exitCode, std::string_view text) {
  if (HaltHook hook = gHaltHook.load()) {
    hook(exitCode);
  } else if (!text.empty()) {
    MessageBoxRequest r;
    r.text = std::string(text);
    r.caption = "Halt";
    r.icon = MessageIcon::Stop;
    r.buttons = window::BtnOk;
    r.defaultButton = window::BtnOk;
    RuntimeMessageBox(r);
  }
  Halt(exitCode);
}

void RuntimeErrorReport(RuntimeError error, std::string_view detail) {
  if (!gReporting.exchange(true)) {
    const int number = int(error);
    // The settings file may replace the text of a runtime message (TSLMSGn).
    std::string line = messageOverride(number) ? std::string(*messageOverride(number)) : RuntimeErrorText(number);
    if (!detail.empty()) line += " : " + std::string(detail);
    if (ErrorHook hook = gErrorHook.load(); hook && PostingAllowed()) {
      hook(number, line);
    } else {
      MessageBoxRequest r;
      r.text = line + "\nDo you want to GPF?";
      r.caption = "Runtime error";
      r.icon = MessageIcon::Stop;
      r.buttons = window::BtnYes | window::BtnNo;
      r.defaultButton = window::BtnNo;
      if (RuntimeMessageBox(r) == window::BtnYes) DiagnosticLine("Runtime error: " + line);
    }
  }
  std::fflush(nullptr);
  Halt(kRuntimeErrorExitCode);
  platform::ExitProcess(kRuntimeErrorExitCode);  // another thread, or a halt already under way
}

StopHook SetStopHook(StopHook hook) { return gStopHook.exchange(hook); }
HaltHook SetHaltHook(HaltHook hook) { return gHaltHook.exchange(hook); }
ErrorHook SetErrorHook(ErrorHook hook) { return gErrorHook.exchange(hook); }
StopHook CurrentStopHook() { return gStopHook.load(); }
HaltHook CurrentHaltHook() { return gHaltHook.load(); }
ErrorHook CurrentErrorHook() { return gErrorHook.load(); }

}  // namespace tamsil
