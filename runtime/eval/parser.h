// The expression grammar, lowest precedence first; every binary operator associates left:
//   expression    conjunction { (OR | XOR) conjunction }
//   conjunction   negation { AND negation }
//   negation      { NOT | ~ } comparison         an odd count makes one not node
//   comparison    concatenation { relation concatenation }
//   concatenation sum { & sum }
//   sum           product { (+ | -) product }
//   product       power { (* | / | %) power }
//   power         unary { ^ unary }
//   unary         { + | - } primary              an odd count of '-' makes one minus node
//   primary       ( expression ) | constant | picture | name | name [ subscripts ]
//                 | function ( arguments ) | SQL( raw text )
#pragma once

#include <string>
#include <string_view>

#include "runtime/eval/evaluator_state.h"
#include "runtime/eval/tree.h"

namespace tamsil {

struct ParseFailure {
  int code = 0;      // 1010 or 1011
  uint32_t pos = 0;  // offset of the failing token
  std::string name;  // 1011: the name
};

// Parses text into tree; on failure fills failure and leaves the tree to be discarded.
bool parseExpression(std::string_view text, const EvaluatorState& evaluator, Expression& tree, ParseFailure& failure);

// Brackets nest at most this deep and a tree is at most this high, so neither parsing nor
// evaluating nor rendering can run out of stack on any input.
constexpr int kMaxNesting = 100;
constexpr int kMaxHeight = 500;

}  // namespace tamsil
