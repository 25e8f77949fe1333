// What `tamsil eval` and `tamsil sql` share: the thread's runtime context, --bind options that
// make variables for the expression, and the error line.
#pragma once

#include <deque>
#include <string>
#include <string_view>

#include "runtime/core/thread_context.h"
#include "tools/tamsil/command.h"

namespace tamsil::tool {

class ExpressionSession {
 public:
  // Reads leading "--bind NAME=VALUE" options (and "--sort" when allowed) and leaves the
  // expression; false after printing usage, also for a --bind without its assignment or with a
  // name no expression could use.
  bool parse(Args args, std::string_view usage, bool allowSort);

  std::string_view expression() const { return expression_; }
  bool sort() const { return sort_; }

  // Prints "error CODE: TEXT[ DETAIL]" for the posted error and gives exit code 1.
  static int reportError();

 private:
  bool bind(std::string_view assignment);

  ThreadContextScope context_;  // the evaluator and the error state live in it
  std::deque<int32_t> wholes_;  // deques: bound addresses must not move
  std::deque<double> reals_;
  std::deque<std::string> texts_;
  std::string_view expression_;
  bool sort_ = false;
};

}  // namespace tamsil::tool
