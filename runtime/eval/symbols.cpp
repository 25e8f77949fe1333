#include "runtime/eval/symbols.h"

#include <vector>

namespace tamsil {

namespace {

constexpr std::string_view kSentinel = "MMMMMM";

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Moves the payload of `from` into `to`, keeping `to`'s place and children in the tree.
void takePayload(Symbol& to, Symbol&& from) {
  to.name = std::move(from.name);
  to.key = std::move(from.key);
  to.kind = from.kind;
  to.cls = from.cls;
  to.minArgs = from.minArgs;
  to.maxArgs = from.maxArgs;
  to.code = from.code;
  to.variable = from.variable;
  to.procedure = std::move(from.procedure);
}

Symbol sentinel() {
  Symbol s;
  s.name = s.key = kSentinel;
  return s;
}

}  // namespace

std::string symbolKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = upperAscii(c);
  return key;
}

SymbolTree::SymbolTree() : root_(std::make_unique<Symbol>(sentinel())) {}

// Iterative, so a tree made degenerate by names bound in sorted order cannot exhaust the stack.
SymbolTree::~SymbolTree() {
  std::vector<std::unique_ptr<Symbol>> pending;
  if (root_) pending.push_back(std::move(root_));
  while (!pending.empty()) {
    std::unique_ptr<Symbol> s = std::move(pending.back());
    pending.pop_back();
    if (s->left) pending.push_back(std::move(s->left));
    if (s->right) pending.push_back(std::move(s->right));
  }
}

const Symbol* SymbolTree::find(std::string_view key) const {
  const Symbol* s = root_.get();
  while (s) {
    const int c = key.compare(s->key);
    if (c == 0) return s->kind == SymbolKind::Sentinel ? nullptr : s;
    s = c < 0 ? s->left.get() : s->right.get();
  }
  return nullptr;
}

void SymbolTree::insert(Symbol symbol) {
  std::unique_ptr<Symbol>* slot = &root_;
  while (*slot) {
    const int c = symbol.key.compare((*slot)->key);
    if (c == 0) {
      takePayload(**slot, std::move(symbol));
      return;
    }
    slot = c < 0 ? &(*slot)->left : &(*slot)->right;
  }
  *slot = std::make_unique<Symbol>(std::move(symbol));
}

bool SymbolTree::remove(std::string_view key) {
  std::unique_ptr<Symbol>* slot = &root_;
  while (*slot && key != (*slot)->key) slot = key < (*slot)->key ? &(*slot)->left : &(*slot)->right;
  if (!*slot || (*slot)->kind == SymbolKind::Sentinel) return false;
  Symbol& node = **slot;
  if (key == kSentinel) {  // the root stays; only its binding goes
    takePayload(node, sentinel());
    return true;
  }
  if (!node.left || !node.right) {
    std::unique_ptr<Symbol> child = std::move(node.left ? node.left : node.right);
    *slot = std::move(child);
    return true;
  }
  // Two children: the smallest entry of the right subtree takes this place.
  std::unique_ptr<Symbol>* next = &node.right;
  while ((*next)->left) next = &(*next)->left;
  std::unique_ptr<Symbol> successor = std::move(*next);
  *next = std::move(successor->right);
  successor->left = std::move(node.left);
  successor->right = std::move(node.right);
  *slot = std::move(successor);
  return true;
}

}  // namespace tamsil
