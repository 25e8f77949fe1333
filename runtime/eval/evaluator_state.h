// The per-thread evaluator: the built-in symbol table and the stack of binding scopes.
#pragma once

#include <string_view>
#include <vector>

#include "runtime/eval/symbols.h"

namespace tamsil {

class EvaluatorState {
 public:
  EvaluatorState();

  // Scopes from the most recent to the oldest, then the built-in table; key in upper case.
  const Symbol* lookup(std::string_view key) const;

  // The evaluator starts with one scope, so a program can bind without PUSHBIND; that scope can
  // be closed like any other.
  void pushScope() { scopes_.emplace_back(); }
  bool popScope();  // false when no scope is open
  SymbolTree* currentScope() { return scopes_.empty() ? nullptr : &scopes_.back(); }

 private:
  SymbolTree builtins_;
  std::vector<SymbolTree> scopes_;
};

// The calling thread's evaluator, made on first use; null when the thread has no runtime
// context or the evaluator cannot be made.
EvaluatorState* threadEvaluator();

// The part of a name that can be a name: letters, digits, '_', ':', '?', and a final '#', '$'
// or '"'. Names are cut to this many characters.
std::string_view nameCut(std::string_view name);
constexpr size_t kMaxNameLength = 99;

// True when the whole text reads as one name in an expression: a letter, '_' or '?', then
// letters, digits, '_' and ':', and an optional final '#', '$' or '"'. Only such names can be
// used once bound.
bool isExpressionName(std::string_view text);

}  // namespace tamsil
