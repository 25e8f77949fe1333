#include "runtime/eval/eval_error.h"

#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/value/locale.h"

namespace tamsil {

std::string evaluatorErrorText(int code) {
  if (const auto text = messageOverride(code)) return std::string(*text);
  switch (code) {
    case kInvalidExpression: return "Invalid expression for EVALUATE";
    case kNotBound: return "BIND has not been called for";
    case kMismatchedBind: return "Mismatched PUSHBIND/POPBIND";
    case kNoEvaluator: return "No evaluator exists";
    case kUnknownContext: return "Unknown evaluation context";
    default: return {};
  }
}

void postEvaluatorError(int code, std::string_view detail) {
  if (!currentThreadContext() || currentErrorState().code != 0) return;
  std::string text = evaluatorErrorText(code);
  if (!detail.empty()) text.append(" ").append(detail);
  storeError(code, text);
}

}  // namespace tamsil
