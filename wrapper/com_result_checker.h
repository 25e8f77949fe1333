// ComResultChecker: tests the result of a COM call the wrapper makes on the grid's interfaces
// itself, keeps the last result and the system's text for a failure, and shows the failure in an
// information box under the call's label when DEBUG is set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/unknown.h"

namespace kestrel::wrapper {

class ComResultChecker {
 public:
  // What CheckResult answers.
  enum Outcome : std::uint8_t { kSucceeded = 0, kFailed = 3 };
  static constexpr std::size_t kErrorTextSize = 256;
  static constexpr std::string_view kUnknownError = "Unknown/Undefined Error";

  // Opens the component model on the calling thread; the destructor closes it again.
  explicit ComResultChecker(bool debug);
  ~ComResultChecker();
  ComResultChecker(const ComResultChecker&) = delete;
  ComResultChecker& operator=(const ComResultChecker&) = delete;

  // 0 for a success code; for a failure the system's text goes to ERRORSTR (shown under the
  // label when DEBUG is set) and the answer is 3.
  std::uint8_t CheckResult(platform::HRESULT result, std::string_view label);

  std::string ERRORSTR;          // the system's text for the last failure, at most 256 characters
  platform::HRESULT LASTHR = 0;  // the last result handed to CheckResult
  bool DEBUG = false;            // show failures to the user
};

}  // namespace kestrel::wrapper
