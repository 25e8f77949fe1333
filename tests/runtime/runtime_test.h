// Helpers for runtime tests: the calling thread gets a runtime context, windows are opened from
// the program's stored definitions, and a script drives the loop so it always ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/core/thread_context.h"
#include "runtime/window/operations.h"

namespace tamsil::testing {

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a script of user actions; when it is used up the windows are closed as a user would.
  void script(const std::string& text);
  // Runs the current window's loop; the body records "NAME field" for every event and ends its
  // pass with `outcome(event)` (0 unless a test says otherwise).
  void runLoop(std::function<int(int code, int field)> outcome = nullptr);

  std::vector<std::string> events;  // what the loop body saw

 private:
  std::unique_ptr<ThreadContextScope> context_;
};

}  // namespace tamsil::testing
