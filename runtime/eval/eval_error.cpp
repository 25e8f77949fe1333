// A per-thread error state of the evaluator's own until the runtime's shared one lands.
#include "runtime/eval/eval_error.h"

#include <string>

namespace tamsil {

namespace {

thread_local PostedError tState;

std::string_view errorTextOf(int code) {
  switch (code) {
    case kInvalidExpression: return "Invalid expression for EVALUATE";
    case kNotBound: return "BIND has not been called for";
    case kMismatchedBind: return "Mismatched PUSHBIND/POPBIND";
    case kNoEvaluator: return "No evaluator exists";
    case kUnknownContext: return "Unknown evaluation context";
    default: return "Unknown Error Posted";
  }
}

}  // namespace

void postEvaluatorError(int code, std::string_view detail) {
  if (tState.code != 0) return;
  tState = {code, std::string(errorTextOf(code)), std::string(detail)};
}

PostedError postedError() { return tState; }
void clearPostedError() { tState = {}; }

}  // namespace tamsil
