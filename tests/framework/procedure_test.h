// Helpers for the window manager's tests: a procedure window on the tests' form that records
// what it is asked, components that record what the window asks of them, and an error reporter
// that answers from a queue.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/window/procedure_window.h"
#include "runtime/window/window_object.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::framework::testing {

inline constexpr const char* kModule = "FrameworkTest$Windows";  // tests/framework/data/FwTest.windef
// The form's controls (P3$FORM).
enum FormField : int { kCode = 1, kName = 2, kOk = 3, kSave = 4, kCancel = 5, kSheet = 6 };

class TestWindow : public ProcedureWindow {
 public:
  explicit TestWindow(const char* label = "P3$FORM") : label_(label) {}

  std::uint8_t Setup() override;
  void EventLoop() override;
  std::uint8_t Teardown() override;
  std::uint8_t HandleEvent() override;
  std::uint8_t OnAccepted() override;
  std::uint8_t OnCloseRequest() override;
  void Refresh(bool force) override;
  std::uint8_t FirstOpen() override;
  std::uint8_t OnNotify(int code, int thread, std::uintptr_t parameter) override;

  std::uint8_t setupResult = 0;                      // what Setup answers after the base's
  std::function<void(TestWindow&)> afterSetup;       // runs once the window is open
  std::function<void(int code, int field)> onEvent;  // runs in HandleEvent before the base
  std::map<int, std::uint8_t> acceptedAnswers;       // OnAccepted's answer by control
  std::deque<std::uint8_t> closeAnswers;             // OnCloseRequest's next answers

  std::vector<std::string> seen;     // "NAME field" for every event HandleEvent routed
  std::vector<int> refreshedDuring;  // the event code of every Refresh
  int loops = 0, firstOpens = 0;
  std::vector<int> notified;  // code, thread, parameter of each OnNotify
  std::unique_ptr<window::Window> win;

 private:
  const char* label_;
};

// Records what the window asks of it into a shared log ("name:operation").
class RecordingComponent : public WindowComponent {
 public:
  RecordingComponent(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
  void Release() override { log_.push_back(name_ + ":release"); }
  void Reset(bool force) override { log_.push_back(name_ + (force ? ":reset!" : ":reset")); }
  bool RefreshRequired() override {
    log_.push_back(name_ + ":query");
    return needsRefresh;
  }
  void ArmAlertKeys() override { log_.push_back(name_ + ":arm"); }
  std::uint8_t TakeEvent() override;
  void Update() override { log_.push_back(name_ + ":update"); }
  void RefreshDisplay() override { log_.push_back(name_ + ":display"); }

  bool needsRefresh = false;
  std::map<int, std::uint8_t> answers;  // TakeEvent's answer by event code

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

// Answers questions from queues (empty: BtnNo and severity 0) and notes each one asked.
class QueuedErrors : public ErrorReporting {
 public:
  std::uint8_t Throw(int id) override;
  int Prompt(int id, int buttons, int defaultButton) override;

  std::deque<std::uint8_t> throwAnswers;
  std::deque<int> promptAnswers;
  std::vector<std::string> asked;  // "throw ID" or "prompt ID BUTTONS DEFAULT"
};

// Counts the entries of a log equal to `entry`.
long count(const std::vector<std::string>& log, const std::string& entry);

class ProcedureTest : public tamsil::testing::RuntimeTest {};

}  // namespace tamsil::framework::testing
