#include "tests/runtime/runtime_test.h"

#include "platform/input/script.h"
#include "runtime/core/startup.h"
#include "runtime/window/event_codes.h"
#include "tests/platform/platform_test.h"

namespace tamsil::testing {

void RuntimeTest::SetUp() { context_ = std::make_unique<ThreadContextScope>(); }

void RuntimeTest::TearDown() {
  platform::script::stop();
  platform::testing::resetWindows();
  ResetRuntimeForTests();
  context_.reset();
}

void RuntimeTest::script(const std::string& text) {
  auto parsed = platform::script::parse(text, "test.script");
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
  platform::script::start(std::move(parsed.lines), "test.script");
}

void RuntimeTest::runLoop(std::function<int(int, int)> outcome) {
  window::Accept([&] {
    const int code = window::EventCode();
    const int field = window::EventField();
    const auto name = window::eventName(code);
    events.push_back((name.empty() ? std::to_string(code) : std::string(name)) + " " + std::to_string(field));
    window::EndEventPass(outcome ? outcome(code, field) : 0);
  });
}

}  // namespace tamsil::testing
