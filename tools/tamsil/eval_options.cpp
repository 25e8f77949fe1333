#include "tools/tamsil/eval_options.h"

#include <cmath>
#include <cstdio>

#include "runtime/core/error_state.h"
#include "runtime/eval/evaluator.h"
#include "runtime/eval/evaluator_state.h"

namespace tamsil::tool {

namespace {

bool usageError(std::string_view usage) {
  std::fprintf(stderr, "usage: tamsil %.*s\n", int(usage.size()), usage.data());
  return false;
}

}  // namespace

bool ExpressionSession::parse(Args args, std::string_view usage, bool allowSort) {
  size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--bind") {
      if (++i == args.size() || !bind(args[i])) return usageError(usage);  // never the expression
    } else if (allowSort && args[i] == "--sort") {
      sort_ = true;
    } else {
      break;
    }
  }
  if (i + 1 != args.size()) return usageError(usage);
  expression_ = args[i];
  return true;
}

// A value that reads as a whole number within 32 bits binds a LONG, any other number a REAL,
// anything else a STRING of the value's length. A name that no expression could refer to is
// refused rather than bound under a name cut short.
bool ExpressionSession::bind(std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos) {
    std::fprintf(stderr, "tamsil: --bind takes NAME=VALUE, not '%.*s'\n", int(assignment.size()), assignment.data());
    return false;
  }
  const std::string_view name = assignment.substr(0, eq), value = assignment.substr(eq + 1);
  if (!isExpressionName(name)) {
    std::fprintf(stderr, "tamsil: cannot bind '%.*s': a name starts with a letter, '_' or '?' and goes on with letters, digits, '_' and ':'\n",
                 int(name.size()), name.data());
    return false;
  }
  if (const std::optional<double> n = numberFromText(value)) {
    const bool integral = value.find_first_of(".eE") == std::string_view::npos;
    if (integral && std::fabs(*n) <= INT32_MAX) return BIND(name, wholes_.emplace_back(int32_t(*n)));
    return BIND(name, reals_.emplace_back(*n));
  }
  const std::string& text = texts_.emplace_back(value);
  return BIND(name, StorageType::String, text.data(), text.size());
}

int ExpressionSession::reportError() {
  const ErrorState& e = currentErrorState();
  const size_t end = e.text.find_last_not_of(' ');
  const std::string text = end == std::string::npos ? std::string() : e.text.substr(0, end + 1);
  std::fprintf(stderr, "error %d: %s\n", e.code, text.c_str());
  return 1;
}

}  // namespace tamsil::tool
