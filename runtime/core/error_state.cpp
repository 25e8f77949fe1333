#include "runtime/core/error_state.h"

#include "platform/system/last_error.h"
#include "runtime/core/internal_fault.h"
#include "runtime/core/thread_context.h"

namespace tamsil {

namespace detail {

constinit thread_local ErrorState* threadErrorState = nullptr;

ErrorState& lookUpErrorState() {
  ThreadContext* context = currentThreadContext();
  if (!context) internalFault("error state used on a thread without a ThreadContext");
  threadErrorState = &context->layer<ErrorState>(ThreadContext::Layer::ErrorState);
  return *threadErrorState;
}

}  // namespace detail

void storeError(int code, std::string_view text) {
  ErrorState& state = currentErrorState();
  state.osError = platform::GetLastError();
  state.code = code;
  state.driverCode.clear();
  state.driverText.clear();
  const size_t first = text.find_first_not_of(' ');
  text = first == std::string_view::npos ? std::string_view() : text.substr(first);
  text = text.substr(0, ErrorState::kTextWidth - 1);
  state.text.assign(text);
  state.text.resize(ErrorState::kTextWidth, ' ');
}

void storeDriverError(std::string_view driverCode, std::string_view driverText) {
  ErrorState& state = currentErrorState();
  state.driverCode.assign(driverCode);
  state.driverText.assign(driverText);
}

void detail::resetErrorState(ErrorState& state) {
  state.code = 0;
  state.osError = 0;
  state.text.assign(ErrorState::kTextWidth, ' ');
  state.driverCode.clear();
  state.driverText.clear();
}

}  // namespace tamsil
