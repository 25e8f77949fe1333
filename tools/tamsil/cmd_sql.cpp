// tamsil sql [--bind NAME=VALUE]... [--sort] EXPRESSION: the expression rendered as SQL text;
// --sort renders it as a sort expression (a leading minus becomes DESC). Column names must be
// bound so that the parser knows them.
#include <cstdio>

#include "runtime/eval/evaluator.h"
#include "tools/tamsil/eval_options.h"

namespace tamsil::tool {

int sqlCommand(Args args) {
  ExpressionSession session;
  if (!session.parse(args, "sql [--bind NAME=VALUE]... [--sort] EXPRESSION", true)) return 2;
  const auto tree = compileExpression(session.expression());
  if (!tree) return ExpressionSession::reportError();
  std::string sql;
  renderSql(*tree, sql, session.sort());
  std::fwrite(sql.data(), 1, sql.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace tamsil::tool
