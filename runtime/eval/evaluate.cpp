// Computing a tree. Every node's class is fixed by the parser, so each node is computed in the
// form its parent wants (real, whole, truth or text) without building general values on the way;
// only calls and procedures go through Value.
#include <cmath>
#include <vector>

#include "runtime/eval/evaluator.h"
#include "runtime/eval/functions.h"
#include "runtime/eval/text_ops.h"

namespace tamsil {

namespace {

// Division and modulus by zero give 0: a filter over data must not stop on one bad row.
double arithmetic(uint8_t op, double a, double b) {
  switch (op) {
    case kOpPower: return b == 2 ? a * a : std::pow(a, b);  // squares are common and pow is slow
    case kOpMultiply: return a * b;
    case kOpDivide: return b == 0 ? 0 : a / b;
    case kOpModulus: return b == 0 ? 0 : std::fmod(a, b);
    case kOpAdd: return a + b;
    case kOpSubtract: return a - b;
    default: return 0;
  }
}

int sign(int64_t a, int64_t b) { return a < b ? -1 : a > b ? 1 : 0; }

bool relationHolds(uint8_t op, int c) {
  switch (op) {
    case kOpEqual: return c == 0;
    case kOpNotEqual: return c != 0;
    case kOpLess: return c < 0;
    case kOpGreater: return c > 0;
    case kOpLessEqual: return c <= 0;
    default: return c >= 0;  // kOpGreaterEqual
  }
}

class Evaluation {
 public:
  explicit Evaluation(const Expression& e) : e_(e) {}

  Value value(uint32_t n) const {
    const Node& x = e_.nodes[n];
    switch (x.kind) {
      case NodeKind::Call: return call(x);
      case NodeKind::Procedure: {
        const BoundProcedure& p = e_.procedures[x.index];
        return p.call ? p.call(arguments(x)).as(x.cls) : Value{};
      }
      case NodeKind::Element: {
        // A subscript outside the array reads as nothing: a filter over data must not stop on
        // one bad row, nor read beyond the program's variable.
        const auto el = element(e_.variables[e_.nodes[x.lhs].index], whole(x.rhs));
        if (el) return readVariable(*el);
        return x.cls == ValueClass::Text ? Value::ofText({}) : Value::ofWhole(0).as(x.cls);
      }
      case NodeKind::Omitted: return Value::omittedArgument();
      case NodeKind::Raw: return {};  // SQL text means nothing here: no value
      default: break;
    }
    switch (x.cls) {
      case ValueClass::Whole: return Value::ofWhole(whole(n));
      case ValueClass::Real: return Value::ofReal(real(n));
      case ValueClass::Text: return Value::ofText(text(n));
      case ValueClass::None: break;
    }
    return {};
  }

  double real(uint32_t n) const {
    const Node& x = e_.nodes[n];
    switch (x.kind) {
      case NodeKind::Real: return x.real;
      case NodeKind::Whole: return static_cast<double>(x.whole);
      case NodeKind::Variable: return readReal(e_.variables[x.index]);
      case NodeKind::Negate: return -real(x.lhs);
      case NodeKind::Not: return static_cast<double>(whole(n));
      case NodeKind::Binary:
        if (x.cls == ValueClass::Real) return arithmetic(x.op, real(x.lhs), real(x.rhs));
        if (x.cls == ValueClass::Whole) return static_cast<double>(whole(n));
        break;
      default: break;
    }
    return value(n).asReal();
  }

  int64_t whole(uint32_t n) const {
    const Node& x = e_.nodes[n];
    switch (x.kind) {
      case NodeKind::Whole: return x.whole;
      case NodeKind::Variable: return readWhole(e_.variables[x.index]);
      case NodeKind::Not: return !truth(x.lhs);
      case NodeKind::Negate:
        if (x.cls == ValueClass::Whole) {
          const int64_t v = whole(x.lhs);
          return v == INT64_MIN ? INT64_MAX : -v;
        }
        return wholeFromReal(real(n));
      case NodeKind::Binary:
        if (isComparison(x.op)) return relationHolds(x.op, compare(x));
        if (isLogical(x.op)) {
          const bool a = truth(x.lhs), b = truth(x.rhs);  // both sides, always
          return x.op == kOpAnd ? (a && b) : x.op == kOpOr ? (a || b) : (a != b);
        }
        if (x.cls == ValueClass::Real) return wholeFromReal(real(n));
        break;
      case NodeKind::Real: return wholeFromReal(x.real);
      default: break;
    }
    return value(n).asWhole();
  }

  bool truth(uint32_t n) const {
    switch (e_.nodes[n].cls) {
      case ValueClass::Whole: return whole(n) != 0;
      case ValueClass::Real: return real(n) != 0;
      default: return value(n).truth();
    }
  }

  std::string text(uint32_t n) const {
    const Node& x = e_.nodes[n];
    switch (x.kind) {
      case NodeKind::Text:
      case NodeKind::Picture: return std::string(e_.texts[x.text]);
      case NodeKind::Binary:
        if (x.op == kOpConcatenate) return text(x.lhs) + text(x.rhs);
        break;
      case NodeKind::Substring: return substring(x);
      case NodeKind::Variable: return readVariable(e_.variables[x.index]).asText();
      default: break;
    }
    switch (x.cls) {
      case ValueClass::Whole: return wholeText(whole(n));
      case ValueClass::Real: return realText(real(n));
      default: return value(n).asText();
    }
  }

 private:
  int compare(const Node& x) const {
    switch (x.compareAs) {
      case ValueClass::Whole: return sign(whole(x.lhs), whole(x.rhs));
      case ValueClass::Text: return textops::compare(text(x.lhs), text(x.rhs));
      default: return compareReals(real(x.lhs), real(x.rhs));
    }
  }

  // name[i]: the i-th character; name[a : b]: characters a to b; positions from 1, clamped to
  // the text, an empty range giving empty text.
  std::string substring(const Node& x) const {
    const std::string t = text(e_.links[x.lhs]);
    const int64_t n = static_cast<int64_t>(t.size());
    const int64_t from = std::max<int64_t>(whole(e_.links[x.lhs + 1]), 1);
    const int64_t to = std::min(x.rhs == 3 ? whole(e_.links[x.lhs + 2]) : from, n);
    if (from > to) return {};
    return t.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
  }

  std::vector<Value> arguments(const Node& x) const {
    std::vector<Value> args;
    args.reserve(x.rhs);
    for (uint32_t i = 0; i < x.rhs; ++i) args.push_back(value(e_.links[x.lhs + i]));
    return args;
  }

  Value call(const Node& x) const { return functionInfo(x.op).run(arguments(x)).as(x.cls); }

  const Expression& e_;
};

}  // namespace

Value evaluateTree(const Expression& tree) { return Evaluation(tree).value(tree.root); }

}  // namespace tamsil
