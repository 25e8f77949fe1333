// tamsil eval [--bind NAME=VALUE]... EXPRESSION: the expression's value as text.
#include <cstdio>

#include "runtime/eval/evaluator.h"
#include "tools/tamsil/eval_options.h"

namespace tamsil::tool {

int evalCommand(Args args) {
  ExpressionSession session;
  if (!session.parse(args, "eval [--bind NAME=VALUE]... EXPRESSION", false)) return 2;
  const auto tree = compileExpression(session.expression());
  if (!tree) return ExpressionSession::reportError();
  const std::string text = evaluateTree(*tree).asText();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace tamsil::tool
