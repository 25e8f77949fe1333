// Helpers for the error manager's tests: a runtime context on the headless backend, a working
// directory of the test's own (the error log is written there), every message box recorded and
// answered from a queue, and a reporter that notes the end of the program instead of ending it.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/error/error_reporter.h"
#include "runtime/window/message_box.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::framework::testing {

// Ends nothing: a fatal error is noted with its exit code.
class TestReporter : public ErrorReporter {
 public:
  std::vector<int> endedWith;
  int windowsShown = 0;

  int PresentInWindow(std::string_view caption, IconReference icon, int buttons, int defaultButton, int style) override {
    ++windowsShown;
    return ErrorReporter::PresentInWindow(caption, icon, buttons, defaultButton, style);
  }

 protected:
  void EndProgram(int exitCode) override { endedWith.push_back(exitCode); }
};

class ErrorTest : public tamsil::testing::RuntimeTest {
 public:
  // The message boxes shown so far, and the answers the next ones take (empty: the default).
  static std::vector<window::MessageBoxRequest> boxes;
  static std::deque<unsigned> answers;

 protected:
  void SetUp() override;
  void TearDown() override;

  // The lines of a file in the working directory, without their line ends.
  std::vector<std::string> lines(const std::string& name) const;

  std::filesystem::path dir;

 private:
  std::filesystem::path previousDir_;
  window::MessageHook previousHook_ = nullptr;
};

}  // namespace tamsil::framework::testing
