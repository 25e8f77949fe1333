// Symbol trees: binary search trees of named entries ordered by upper-cased name. Every tree's
// root is a fixed sentinel named "MMMMMM" so that names fall on both sides of it from the start.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/eval/binding.h"

namespace tamsil {

enum class SymbolKind : uint8_t { Sentinel, Function, Operator, Variable, Procedure };

struct Symbol {
  std::string name;  // as registered
  std::string key;   // upper case: the tree's order
  SymbolKind kind = SymbolKind::Sentinel;
  ValueClass cls = ValueClass::None;
  uint8_t minArgs = 0, maxArgs = 0;  // functions
  uint8_t code = 0;                  // function or operator code
  BoundVariable variable;
  BoundProcedure procedure;

  std::unique_ptr<Symbol> left, right;
};

// Names compare without case: the key is the name in upper case.
std::string symbolKey(std::string_view name);

class SymbolTree {
 public:
  SymbolTree();
  ~SymbolTree();
  SymbolTree(SymbolTree&&) noexcept = default;
  SymbolTree& operator=(SymbolTree&&) noexcept = default;

  // The symbol of that key, or null (the sentinel itself is never found).
  const Symbol* find(std::string_view key) const;
  // Adds the symbol, replacing one of the same name.
  void insert(Symbol symbol);
  // Removes the symbol of that key; false when there is none.
  bool remove(std::string_view key);

 private:
  std::unique_ptr<Symbol> root_;
};

}  // namespace tamsil
