#include "app/program_errors.h"

#include "framework/window/framework_codes.h"
#include "platform/queue/thread.h"

namespace kestrel {

void ProcedureTracker::Init() {
  std::lock_guard lock(mutex_);
  names_.clear();
}

void ProcedureTracker::TrackProcedure(std::string_view name) {
  std::lock_guard lock(mutex_);
  auto& stack = names_[platform::GetCurrentThreadId()];
  if (!name.empty()) {
    stack.emplace_back(name);
  } else if (!stack.empty()) {
    stack.pop_back();
  }
  if (stack.empty()) names_.erase(platform::GetCurrentThreadId());
}

std::string ProcedureTracker::CurrentProcedure() const {
  std::lock_guard lock(mutex_);
  const auto it = names_.find(platform::GetCurrentThreadId());
  return it == names_.end() ? std::string() : it->second.back();
}

std::uint8_t ProcedureTracker::Throw(int) { return tamsil::framework::SevNone; }

int ProcedureTracker::Prompt(int, int buttons, int defaultButton) { return defaultButton ? defaultButton : buttons & -buttons; }

}  // namespace kestrel
