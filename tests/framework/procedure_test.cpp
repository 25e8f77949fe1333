#include "tests/framework/procedure_test.h"

#include <algorithm>

#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"

namespace tamsil::framework::testing {

std::uint8_t TestWindow::Setup() {
  if (const std::uint8_t r = ProcedureWindow::Setup()) return r;
  if (setupResult) return setupResult;
  win = std::make_unique<window::Window>(kModule, label_);
  OpenWindow(*win);
  if (afterSetup) afterSetup(*this);
  return SevNone;
}

void TestWindow::EventLoop() {
  ++loops;
  ProcedureWindow::EventLoop();
}

std::uint8_t TestWindow::Teardown() {
  const std::uint8_t r = ProcedureWindow::Teardown();
  if (r == SevNone && win && win->handle) window::CloseWindowOp(*win);
  return r;
}

std::uint8_t TestWindow::HandleEvent() {
  const int code = window::EventCode(), field = window::EventField();
  const auto name = window::eventName(code);
  seen.push_back((name.empty() ? std::to_string(code) : std::string(name)) + " " + std::to_string(field));
  if (onEvent) onEvent(code, field);
  return ProcedureWindow::HandleEvent();
}

std::uint8_t TestWindow::OnAccepted() {
  const std::uint8_t r = ProcedureWindow::OnAccepted();
  const auto it = acceptedAnswers.find(window::AcceptedField());
  return it != acceptedAnswers.end() ? it->second : r;
}

std::uint8_t TestWindow::OnCloseRequest() {
  if (closeAnswers.empty()) return ProcedureWindow::OnCloseRequest();
  const std::uint8_t r = closeAnswers.front();
  closeAnswers.pop_front();
  return r;
}

void TestWindow::Refresh(bool force) {
  refreshedDuring.push_back(window::EventCode());
  ProcedureWindow::Refresh(force);
}

std::uint8_t TestWindow::FirstOpen() {
  ++firstOpens;
  return ProcedureWindow::FirstOpen();
}

std::uint8_t TestWindow::OnNotify(int code, int thread, std::uintptr_t parameter) {
  notified = {code, thread, int(parameter)};
  return SevNone;
}

std::uint8_t RecordingComponent::TakeEvent() {
  log_.push_back(name_ + ":event");
  const auto it = answers.find(window::EventCode());
  return it != answers.end() ? it->second : std::uint8_t(SevNone);
}

std::uint8_t QueuedErrors::Throw(int id) {
  asked.push_back("throw " + std::to_string(id));
  if (throwAnswers.empty()) return SevNone;
  const std::uint8_t r = throwAnswers.front();
  throwAnswers.pop_front();
  return r;
}

int QueuedErrors::Prompt(int id, int buttons, int defaultButton) {
  asked.push_back("prompt " + std::to_string(id) + " " + std::to_string(buttons) + " " + std::to_string(defaultButton));
  if (promptAnswers.empty()) return BtnNo;
  const int r = promptAnswers.front();
  promptAnswers.pop_front();
  return r;
}

long count(const std::vector<std::string>& log, const std::string& entry) { return std::ranges::count(log, entry); }

}  // namespace tamsil::framework::testing
