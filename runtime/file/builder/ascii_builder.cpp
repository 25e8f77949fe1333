#include "runtime/file/builder/ascii_builder.h"

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/file/ascii_switches.h"
#include "runtime/window/operations.h"

namespace tamsil::file {

namespace {

constexpr const char* kModule = "ASCMEON";
constexpr const char* kWindow = "P3$BUILDERWINDOW";
constexpr const char* kCaption = "ASCII Driver String Builder";

// The builder's controls, by field number in its definition.
enum BuilderField : int {
  FieldCtrlZ = 1,
  FieldClip = 2,
  FieldQuickScan = 3,
  FieldBuffers = 5,
  FieldTab = 7,
  FieldEndOfRecord = 9,
  FieldOk = 10,
  FieldCancel = 11,
};

// The check boxes and the switch each stands for.
struct CheckBox {
  int field;
  const char* name;
  bool AsciiSwitches::*flag;
};
constexpr CheckBox kCheckBoxes[] = {
    {FieldCtrlZ, "CTRLZISEOF", &AsciiSwitches::ctrlZIsEof},
    {FieldClip, "CLIP", &AsciiSwitches::clip},
    {FieldQuickScan, "QUICKSCAN", &AsciiSwitches::quickScan},
};

platform::HWND handleOf(window::Window& w, int field) {
  const window::Control* c = w.control(field);
  return c ? c->hwnd : nullptr;
}

// "2,13,10": the delimiter as the ENDOFRECORD field shows it.
std::string delimiterText(const std::string& delimiter) {
  std::string text = std::to_string(delimiter.size());
  for (char c : delimiter) text += "," + std::to_string(static_cast<unsigned char>(c));
  return text;
}

void fill(window::Window& w, const AsciiSwitches& s) {
  for (const CheckBox& box : kCheckBoxes)
    platform::SendMessageA(handleOf(w, box.field), platform::BM_SETCHECK, s.*box.flag ? platform::BST_CHECKED : platform::BST_UNCHECKED, 0);
  platform::SetWindowTextA(handleOf(w, FieldBuffers), std::to_string(s.bufferBytes / kBufferBlock).c_str());
  platform::SetWindowTextA(handleOf(w, FieldTab), std::to_string(s.tab).c_str());
  platform::SetWindowTextA(handleOf(w, FieldEndOfRecord), delimiterText(s.delimiter).c_str());
}

// The driver string the window's controls spell out, every switch written.
std::string spelledOut(window::Window& w) {
  std::string text;
  for (const CheckBox& box : kCheckBoxes) {
    const bool on = platform::SendMessageA(handleOf(w, box.field), platform::BM_GETCHECK, 0, 0) == platform::BST_CHECKED;
    text += std::string("/") + box.name + (on ? "=ON" : "=OFF");
  }
  text += "/FILEBUFFERS=" + platform::GetWindowTextString(handleOf(w, FieldBuffers));
  text += "/TAB=" + platform::GetWindowTextString(handleOf(w, FieldTab));
  text += "/ENDOFRECORD=" + platform::GetWindowTextString(handleOf(w, FieldEndOfRecord));
  return text;
}

void report(const std::string& text) { platform::MessageBoxA(nullptr, text.c_str(), kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION); }

AsciiSwitches settingsOf(std::string_view driverString) {
  AsciiSwitches s;
  for (const Switch& sw : parseDriverString(driverString)) applySwitch(sw, s);
  return s;
}

}  // namespace

std::string poorlyFormedReport(std::string_view driverString) {
  const auto problems = driverStringProblems(driverString);
  if (problems.empty()) return {};
  std::string text = "Poorly formed driver string.";
  for (const std::string& p : problems) text += "\n" + p;
  return text;
}

std::optional<std::string> buildAsciiDriverString(std::string_view current) {
  if (const std::string problems = poorlyFormedReport(current); !problems.empty()) report(problems);
  window::Window w(kModule, kWindow);
  window::OpenWindowOp(w);
  fill(w, settingsOf(current));
  std::optional<std::string> result;
  window::Accept([&] {
    int outcome = int(window::PassOutcome::Normal);
    switch (window::AcceptedField()) {
      case FieldOk: {
        const std::string text = spelledOut(w);
        if (const std::string problems = poorlyFormedReport(text); !problems.empty()) {
          report(problems);
          break;
        }
        result = composeDriverString(settingsOf(text));
        outcome = int(window::PassOutcome::Break);
        break;
      }
      case FieldCancel: outcome = int(window::PassOutcome::Break); break;
      default: break;
    }
    window::EndEventPass(outcome);
  });
  if (w.handle) window::CloseWindowOp(w);
  return result;
}

}  // namespace tamsil::file
