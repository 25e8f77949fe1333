// Posting the evaluator's errors (1010 to 1014) to the calling thread's runtime error state.
// An error is posted only when none is posted yet, so the first failure of a sequence of
// operations is the one the caller sees. The error text is the code's message (a TSLMSGn
// setting replaces it) followed by the detail: "at pos 3" for 1010, the name for 1011.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

enum EvaluatorError : int {
  kInvalidExpression = 1010,
  kNotBound = 1011,
  kMismatchedBind = 1012,
  kNoEvaluator = 1013,
  kUnknownContext = 1014,
};

// The message of one of the evaluator's codes, without detail.
std::string evaluatorErrorText(int code);

// Needs the thread's runtime context; without one there is no error state to post to.
void postEvaluatorError(int code, std::string_view detail = {});

}  // namespace tamsil
