// A fixture for framework windows on the Qt backend driven by a script: a folder of the test's
// own for snapshots, the thread's runtime context, and a script started before the window runs;
// the script, the windows and the folder are cleared after each test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/input/script.h"
#include "runtime/core/thread_context.h"
#include "tests/platform/qt/qt_test_support.h"

namespace kestrel::testing {

class ScriptedQtFixture : public ::testing::Test {
 protected:
  // `name` names the snapshot folder and the script in messages.
  explicit ScriptedQtFixture(std::string name) : name_(std::move(name)) {}

  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("kestrel-" + name_ + "-qt-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    platform::script::stop();
    platform::qt::testing::resetWindows();
    std::filesystem::remove_all(dir_);
  }
  void script(const std::string& text) {
    auto parsed = platform::script::parse(text, name_ + ".script");
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    platform::script::start(std::move(parsed.lines), name_ + ".script");
  }

  tamsil::ThreadContextScope context_;
  std::filesystem::path dir_;

 private:
  std::string name_;
};

}  // namespace kestrel::testing
