// The runtime's error state, one per thread: the error code of the last failing runtime
// operation, the operating-system error behind it, its text, and, for code 90 ("File System
// Error"), the driver's own error code and text. File drivers and the expression evaluator post
// here; the texts of the codes are looked up by the file layer (errorText in
// runtime/file/errors.h), so this part only stores them.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace tamsil {

struct ErrorState {
  static constexpr size_t kTextWidth = 256;

  int code = 0;                                     // 0 when no error is posted
  platform::DWORD osError = 0;                      // the thread's last-error value when the error was posted
  std::string text = std::string(kTextWidth, ' ');  // blank-padded to 256 characters
  // The driver's own error code (a text: drivers have their own numbering, and a declaration
  // check puts its detail "FIELD : 3 : TYPE : D00003" here) and its message.
  std::string driverCode;
  std::string driverText;
};

namespace detail {
// The calling thread's error state once it has been looked up, so that the calls every file
// operation makes find it without going through the thread's context; null until then, and again
// whenever the thread's context comes or goes (ThreadContextScope).
extern constinit thread_local ErrorState* threadErrorState [[gnu::tls_model("initial-exec")]];
// Finds the state through the thread's context (made on first use) and keeps it above.
ErrorState& lookUpErrorState();
}  // namespace detail

// The calling thread's error state (an internal fault when the thread has no ThreadContext).
inline ErrorState& currentErrorState() {
  if (ErrorState* known = detail::threadErrorState) return *known;
  return detail::lookUpErrorState();
}

// Stores code and text: the operating-system error is taken from the thread's last-error value,
// the driver error is cleared, the text loses its leading blanks and is cut to 255 characters
// and padded with blanks to 256.
void storeError(int code, std::string_view text);

// Sets the driver's own error (reported with code 90).
void storeDriverError(std::string_view driverCode, std::string_view driverText);

namespace detail {
// Whether the state holds no error. A stored text never starts with a blank (storeError drops
// leading blanks), so a blank first character means a blank text.
inline bool errorStateClear(const ErrorState& state) {
  return state.code == 0 && state.osError == 0 && state.driverCode.empty() && state.driverText.empty() &&
         state.text.size() == ErrorState::kTextWidth && state.text.front() == ' ';
}
void resetErrorState(ErrorState& state);
}  // namespace detail

// Back to no error. Every file operation starts here, so a clear state is left as it is, and
// another is cleared in place.
inline void clearError() {
  ErrorState& state = currentErrorState();
  if (!detail::errorStateClear(state)) detail::resetErrorState(state);
}

}  // namespace tamsil
