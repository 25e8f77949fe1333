#include "runtime/eval/evaluator_state.h"

#include <new>

#include "runtime/core/thread_context.h"
#include "runtime/eval/functions.h"
#include "runtime/eval/tree.h"

namespace tamsil {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isNameChar(char c) { return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == ':' || c == '?'; }

// Inserts the sorted table middle first, so the tree stays balanced rather than becoming the
// list that inserting in order would make.
void insertBalanced(SymbolTree& tree, std::span<const FunctionInfo> table, size_t offset) {
  if (table.empty()) return;
  const size_t mid = table.size() / 2;
  const FunctionInfo& f = table[mid];
  Symbol s;
  s.name = std::string(f.name);
  s.key = s.name;
  s.kind = SymbolKind::Function;
  s.cls = f.result;
  s.minArgs = f.minArgs;
  s.maxArgs = f.maxArgs;
  s.code = static_cast<uint8_t>(offset + mid + 1);
  tree.insert(std::move(s));
  insertBalanced(tree, table.first(mid), offset);
  insertBalanced(tree, table.subspan(mid + 1), offset + mid + 1);
}

}  // namespace

std::string_view nameCut(std::string_view name) {
  size_t n = 0;
  while (n < name.size() && isNameChar(name[n])) ++n;
  if (n < name.size() && (name[n] == '#' || name[n] == '$' || name[n] == '"')) ++n;
  return name.substr(0, std::min(n, kMaxNameLength));
}

bool isExpressionName(std::string_view text) {
  if (text.empty() || !(isLetter(text[0]) || text[0] == '_' || text[0] == '?')) return false;
  size_t n = 1;
  while (n < text.size() && isNameChar(text[n]) && text[n] != '?') ++n;
  if (n + 1 == text.size() && (text[n] == '#' || text[n] == '$' || text[n] == '"')) ++n;
  return n == text.size();
}

EvaluatorState::EvaluatorState() {
  insertBalanced(builtins_, functionTable(), 0);
  static constexpr struct {
    const char* name;
    uint8_t code;
  } kKeywords[] = {{"AND", kOpAnd}, {"NOT", kOpNot}, {"OR", kOpOr}, {"XOR", kOpXor}};
  for (const auto& k : kKeywords) {
    Symbol s;
    s.name = s.key = k.name;
    s.kind = SymbolKind::Operator;
    s.code = k.code;
    builtins_.insert(std::move(s));
  }
  scopes_.emplace_back();
}

const Symbol* EvaluatorState::lookup(std::string_view key) const {
  for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope)
    if (const Symbol* s = scope->find(key)) return s;
  return builtins_.find(key);
}

bool EvaluatorState::popScope() {
  if (scopes_.empty()) return false;
  scopes_.pop_back();
  return true;
}

EvaluatorState* threadEvaluator() {
  ThreadContext* context = currentThreadContext();
  if (!context) return nullptr;
  try {
    return &context->layer<EvaluatorState>(ThreadContext::Layer::Evaluator);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace tamsil
