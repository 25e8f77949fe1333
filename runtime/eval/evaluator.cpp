#include "runtime/eval/evaluator.h"

#include "runtime/eval/eval_error.h"
#include "runtime/eval/evaluator_state.h"
#include "runtime/eval/parser.h"

namespace tamsil {

namespace {

EvaluatorState* evaluator() {
  EvaluatorState* ev = threadEvaluator();
  if (!ev) postEvaluatorError(kNoEvaluator);
  return ev;
}

// The scope a binding goes to; 1014 when every scope has been closed.
SymbolTree* currentScope() {
  EvaluatorState* ev = evaluator();
  SymbolTree* scope = ev ? ev->currentScope() : nullptr;
  if (ev && !scope) postEvaluatorError(kUnknownContext);
  return scope;
}

bool bindSymbol(std::string_view name, Symbol symbol) {
  SymbolTree* scope = currentScope();
  if (!scope) return false;
  const std::string_view cut = nameCut(name);
  if (cut.empty()) return false;  // nothing that could ever be written in an expression
  symbol.name = std::string(cut);
  symbol.key = symbolKey(cut);
  scope->insert(std::move(symbol));
  return true;
}

}  // namespace

std::unique_ptr<Expression> compileExpression(std::string_view text) {
  EvaluatorState* ev = evaluator();
  if (!ev) return nullptr;
  auto tree = std::make_unique<Expression>();
  ParseFailure failure;
  if (!parseExpression(text, *ev, *tree, failure)) {
    if (failure.code == kNotBound) postEvaluatorError(kNotBound, failure.name);
    else postEvaluatorError(kInvalidExpression, "at pos " + std::to_string(failure.pos));
    return nullptr;  // the partial tree goes with `tree`
  }
  return tree;
}

std::string EVALUATE(std::string_view text) {
  const std::unique_ptr<Expression> tree = compileExpression(text);
  return tree ? evaluateTree(*tree).asText() : std::string();
}

bool PUSHBIND(bool) {
  EvaluatorState* ev = evaluator();
  if (ev) ev->pushScope();
  return ev != nullptr;
}

bool POPBIND() {
  EvaluatorState* ev = evaluator();
  if (!ev) return false;
  if (!ev->popScope()) {
    postEvaluatorError(kMismatchedBind);
    return false;
  }
  return true;
}

bool BIND(std::string_view name, const BoundVariable& variable) {
  if (!validVariable(variable)) return false;
  Symbol s;
  s.kind = SymbolKind::Variable;
  s.cls = storageClass(variable.type);
  s.variable = variable;
  return bindSymbol(name, std::move(s));
}

bool BIND(std::string_view name, StorageType type, const void* address, size_t size) { return BIND(name, BoundVariable{type, address, size}); }

bool BIND(std::string_view name, BoundProcedure procedure) {
  if (!procedure.call || procedure.minArgs > procedure.maxArgs) return false;
  Symbol s;
  s.kind = SymbolKind::Procedure;
  s.cls = procedure.cls;
  s.procedure = std::move(procedure);
  return bindSymbol(name, std::move(s));
}

bool Unbind(std::string_view name) {
  SymbolTree* scope = currentScope();
  return scope && scope->remove(symbolKey(nameCut(name)));
}

}  // namespace tamsil
