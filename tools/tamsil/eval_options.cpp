#include "tools/tamsil/eval_options.h"

#include <cmath>
#include <cstdio>

#include "runtime/core/error_state.h"
#include "runtime/eval/evaluator.h"

namespace tamsil::tool {

bool ExpressionSession::parse(Args args, std::string_view usage, bool allowSort) {
  size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--bind" && i + 1 < args.size()) {
      if (!bind(args[++i])) break;
    } else if (allowSort && args[i] == "--sort") {
      sort_ = true;
    } else {
      break;
    }
  }
  if (i + 1 != args.size()) {
    std::fprintf(stderr, "usage: tamsil %.*s\n", int(usage.size()), usage.data());
    return false;
  }
  expression_ = args[i];
  return true;
}

// A value that reads as a whole number within 32 bits binds a LONG, any other number a REAL,
// anything else a STRING of the value's length.
bool ExpressionSession::bind(std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) return false;
  const std::string_view name = assignment.substr(0, eq), value = assignment.substr(eq + 1);
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
