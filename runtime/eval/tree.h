// Compiled expressions: the tree that compileExpression builds and evaluateTree and renderSql
// walk. Nodes live in one array and refer to each other by index, so a tree is a handful of
// allocations and frees itself as a whole, also when a parse fails half-way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/eval/binding.h"
#include "runtime/eval/value.h"
#include "runtime/heap/heap_allocator.h"

namespace tamsil {

// Operator codes shared by the tree, evaluation and SQL rendering.
enum OperatorCode : uint8_t {
  kOpPower = 2,
  kOpMultiply = 3,
  kOpDivide = 4,
  kOpModulus = 5,
  kOpNegate = 6,
  kOpAdd = 7,
  kOpSubtract = 8,
  kOpConcatenate = 9,
  kOpEqual = 10,
  kOpNotEqual = 11,
  kOpLess = 12,
  kOpGreater = 13,
  kOpLessEqual = 14,
  kOpGreaterEqual = 15,
  kOpNot = 16,
  kOpAnd = 17,
  kOpOr = 18,
  kOpXor = 19,
  kOpList = 20,
  kOpRange = 21,
};

inline bool isComparison(uint8_t op) { return op >= kOpEqual && op <= kOpGreaterEqual; }
inline bool isLogical(uint8_t op) { return op >= kOpAnd && op <= kOpXor; }

enum class NodeKind : uint8_t {
  Whole,      // constant
  Real,       // constant
  Text,       // constant: texts[text]
  Picture,    // picture constant: texts[text]
  Omitted,    // an empty argument position
  Variable,   // variables[index], name in texts[text]
  Element,    // an element of an array: lhs the array's Variable node, rhs the subscript
  Procedure,  // procedures[index], name in texts[text]; arguments links[lhs .. lhs + rhs)
  Negate,     // lhs
  Not,        // lhs
  Binary,     // op, lhs, rhs
  Call,       // function code in op; arguments links[lhs .. lhs + rhs)
  Substring,  // links[lhs]: the variable; links[lhs + 1]: from, links[lhs + 2]: to (absent for
              // a one-character subscript: rhs is 2 or 3)
  Raw,        // SQL(...): texts[text]
};

struct Node {
  NodeKind kind = NodeKind::Whole;
  uint8_t op = 0;
  ValueClass cls = ValueClass::None;
  ValueClass compareAs = ValueClass::None;  // comparisons: how both operands compare
  uint16_t height = 1;                      // longest path to a leaf, bounded by the parser
  uint32_t pos = 0;                         // offset of the node's token in the text
  uint32_t lhs = 0, rhs = 0;
  uint32_t text = 0, index = 0;
  int64_t whole = 0;
  double real = 0;
};

// Every part of a tree lives on the runtime's heap.
struct Expression : HeapObject {
  HeapVector<Node> nodes;
  HeapVector<uint32_t> links;  // argument lists
  HeapVector<HeapString> texts;
  HeapVector<BoundVariable> variables;
  HeapVector<BoundProcedure> procedures;
  uint32_t root = 0;
};

}  // namespace tamsil
