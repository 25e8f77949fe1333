// Posting the evaluator's errors (1010 to 1014) to the calling thread's runtime error state.
// An error is posted only when none is posted yet, so the first failure of a sequence of
// operations is the one the caller sees.
#pragma once

#include <string>
#include <string_view>

namespace tamsil {

enum EvaluatorError : int {
  kInvalidExpression = 1010,   // "at pos " and the offset
  kNotBound = 1011,            // the name
  kMismatchedBind = 1012,
  kNoEvaluator = 1013,
  kUnknownContext = 1014,
};

void postEvaluatorError(int code, std::string_view detail = {});

// The error state of the calling thread, as the developer tool reports it.
struct PostedError {
  int code = 0;
  std::string text;
  std::string detail;
};
PostedError postedError();
void clearPostedError();

}  // namespace tamsil
