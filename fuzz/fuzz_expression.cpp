// The expression parser, evaluation and SQL rendering on arbitrary text, with a number and a text
// variable bound so that names, subscripts and comparisons by class are reached. Every input must
// either fail with 1010 or 1011 or give a value and SQL text. The SQL text never holds "--" or
// "/*" outside quotes, and when it reads back as an expression (no raw SQL(...) text or picture
// in it), it renders as itself again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/eval/evaluator.h"

namespace {

bool holdsComment(std::string_view sql) {
  bool quoted = false;
  for (size_t i = 0; i + 1 < sql.size(); ++i) {
    if (sql[i] == '\'') quoted = !quoted;
    if (!quoted && ((sql[i] == '-' && sql[i + 1] == '-') || (sql[i] == '/' && sql[i + 1] == '*'))) return true;
  }
  return false;
}

struct Setup {
  Setup() {
    tamsil::BIND("n", number);
    tamsil::BIND("t", tamsil::StorageType::String, text, sizeof text - 1);
    tamsil::BIND("PRE:Col", number);
  }
  tamsil::ThreadContextScope context;
  double number = 12.5;
  char text[9] = "Smith   ";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Made once and never destroyed: the platform's thread slot is gone by the time statics of
  // this file would be torn down at exit.
  static const auto* setup = new Setup;
  (void)setup;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  tamsil::clearError();
  const auto tree = tamsil::compileExpression(input);
  const int code = tamsil::currentErrorState().code;
  if (!tree) {
    if (code != 1010 && code != 1011) __builtin_trap();
    return 0;
  }
  if (code != 0) __builtin_trap();
  (void)tamsil::evaluateTree(*tree).asText();
  std::string sql;
  tamsil::renderSql(*tree, sql, size % 2 == 0);
  if (holdsComment(sql)) __builtin_trap();
  tamsil::clearError();
  // Raw SQL(...) text is the server's, not an expression, and a picture is written as a text
  // constant: trees holding either need not read back as themselves.
  const bool asWritten = std::none_of(tree->nodes.begin(), tree->nodes.end(), [](const tamsil::Node& n) {
    return n.kind == tamsil::NodeKind::Raw || n.kind == tamsil::NodeKind::Picture;
  });
  if (const auto back = asWritten && size % 2 != 0 ? tamsil::compileExpression(sql) : nullptr) {
    std::string again;
    tamsil::renderSql(*back, again);
    if (again != sql) __builtin_trap();
  }
  tamsil::clearError();
  return 0;
}
