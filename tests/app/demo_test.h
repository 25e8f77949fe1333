// The fixture of the demo window's tests: a profile of the test's own with the grid registered,
// the runtime started with the application module (so the process objects and thread globals
// exist), a working directory holding the sample picture, and the demo window run as
// MainWindowProcedure runs it, by a script. What the grid received is read from its call log.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/demo_window.h"
#include "runtime/window/message_box.h"
#include "tests/support/call_log_tail.h"
#include "tests/support/temp_profile.h"

namespace kestrel::testing {

// The demo window with a hook that runs once the window is set up, before the script acts.
class HookedDemoWindow : public DemoWindow {
 public:
  HookedDemoWindow(DemoProcedureState& state, std::function<void(DemoProcedureState&)> afterSetup)
      : DemoWindow(state), state_(state), afterSetup_(std::move(afterSetup)) {}
  std::uint8_t Setup() override;

 private:
  DemoProcedureState& state_;
  std::function<void(DemoProcedureState&)> afterSetup_;
};

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the window to its end with the script's actions (MainWindowProcedure's steps, with the
  // hook after Setup); answers the window's response.
  std::uint8_t runDemo(const std::string& script, std::function<void(DemoProcedureState&)> afterSetup = nullptr);
  // The grid's lines since the fill ended (the first run's fill, or since the last mark).
  std::vector<std::string> received() const { return log_.lines(); }

  kestrel::testing::TempProfileDir profile_{"demo_test"};
  std::filesystem::path workDir_, previousDir_;
  CallLogTail log_;

 public:
  static std::vector<tamsil::window::MessageBoxRequest> boxes;  // every message box asked for
};

// The lines of `all` from the first that starts with `from` to the end; empty when none does.
std::vector<std::string> from(const std::vector<std::string>& all, const std::string& first);
// The lines without the grid's repaint requests (Refresh follows every resize).
std::vector<std::string> withoutRefresh(std::vector<std::string> lines);

// The sample files the program carries.
std::filesystem::path dataFile(const std::string& name);

}  // namespace kestrel::testing
