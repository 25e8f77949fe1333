#include "runtime/eval/parser.h"

#include <algorithm>
#include <vector>

#include "runtime/eval/functions.h"
#include "runtime/eval/lexer.h"

namespace tamsil {

namespace {

constexpr uint32_t kFailed = UINT32_MAX;

class Parser {
 public:
  Parser(std::string_view text, const EvaluatorState& ev, Expression& tree, ParseFailure& failure)
      : lexer_(text, ev), tree_(tree), failure_(failure) {
    tree_.nodes.reserve(text.size() / 2 + 4);
  }

  bool run() {
    advance();
    const uint32_t root = expression();
    if (root == kFailed) return false;
    if (tok_.kind != TokenKind::End) return fail(tok_.pos);
    tree_.root = root;
    return true;
  }

 private:
  bool fail(uint32_t pos) {
    if (failure_.code == 0) failure_ = {1010, pos, {}};
    return false;
  }
  uint32_t failed(uint32_t pos) {
    fail(pos);
    return kFailed;
  }

  void advance() {
    tok_ = lexer_.next();
    if (tok_.kind == TokenKind::Error && failure_.code == 0) failure_ = {tok_.error, tok_.pos, tok_.text};
  }
  bool isOp(uint8_t op) const { return tok_.kind == TokenKind::Operator && tok_.op == op; }

  uint32_t add(Node n) {
    tree_.nodes.push_back(n);
    return static_cast<uint32_t>(tree_.nodes.size() - 1);
  }
  uint32_t addText(const std::string& text) {
    tree_.texts.emplace_back(text);
    return static_cast<uint32_t>(tree_.texts.size() - 1);
  }

  // A node above children of the given heights; too high a tree is a parse error.
  uint32_t above(Node n, uint16_t childHeight) {
    if (childHeight + 1 > kMaxHeight) return failed(n.pos);
    n.height = static_cast<uint16_t>(childHeight + 1);
    return add(n);
  }
  uint16_t height(uint32_t n) const { return tree_.nodes[n].height; }
  ValueClass cls(uint32_t n) const { return tree_.nodes[n].cls; }

  uint32_t binary(uint8_t op, uint32_t l, uint32_t r, uint32_t pos) {
    Node n;
    n.kind = NodeKind::Binary;
    n.op = op;
    n.pos = pos;
    n.lhs = l;
    n.rhs = r;
    if (op == kOpConcatenate) {
      n.cls = ValueClass::Text;
    } else if (isComparison(op) || isLogical(op)) {
      n.cls = ValueClass::Whole;
      // The operands' classes are known now, so how they compare is decided once, here.
      const ValueClass a = cls(l), b = cls(r);
      n.compareAs = a == b && (a == ValueClass::Whole || a == ValueClass::Text) ? a : ValueClass::Real;
    } else {
      n.cls = ValueClass::Real;
    }
    return above(n, std::max(height(l), height(r)));
  }

  uint32_t unaryNode(NodeKind kind, uint32_t operand, uint32_t pos) {
    Node n;
    n.kind = kind;
    n.op = kind == NodeKind::Not ? kOpNot : kOpNegate;
    n.pos = pos;
    n.lhs = operand;
    n.cls = kind == NodeKind::Negate && cls(operand) == ValueClass::Whole ? ValueClass::Whole
            : kind == NodeKind::Negate                                    ? ValueClass::Real
                                                                          : ValueClass::Whole;
    return above(n, height(operand));
  }

  // One level of left-associative binary operators.
  template <class Next, class Accept>
  uint32_t leftChain(Next next, Accept accept) {
    uint32_t l = next();
    while (l != kFailed && accept()) {
      const uint8_t op = tok_.op;
      const uint32_t pos = tok_.pos;
      advance();
      const uint32_t r = next();
      if (r == kFailed) return kFailed;
      l = binary(op, l, r, pos);
    }
    return l;
  }

  uint32_t expression() {
    return leftChain([this] { return conjunction(); }, [this] { return isOp(kOpOr) || isOp(kOpXor); });
  }
  uint32_t conjunction() {
    return leftChain([this] { return negation(); }, [this] { return isOp(kOpAnd); });
  }

  uint32_t negation() {
    bool odd = false;
    uint32_t pos = tok_.pos;
    while (isOp(kOpNot)) {
      odd = !odd;
      pos = tok_.pos;
      advance();
    }
    const uint32_t operand = comparison();
    if (operand == kFailed || !odd) return operand;
    return unaryNode(NodeKind::Not, operand, pos);
  }

  // A relation written with one or two characters; 0 when the current token is none.
  uint8_t relation() {
    if (tok_.kind != TokenKind::Operator || tok_.ch == '\0') return 0;
    const char first = tok_.ch, second = lexer_.peekChar();
    static constexpr struct {
      char first, second;
      uint8_t op;
    } kPairs[] = {{'<', '>', kOpNotEqual},     {'<', '=', kOpLessEqual}, {'=', '<', kOpLessEqual},    {'>', '=', kOpGreaterEqual},
                  {'=', '>', kOpGreaterEqual}, {'~', '=', kOpNotEqual},  {'~', '<', kOpGreaterEqual}, {'~', '>', kOpLessEqual}};
    for (const auto& p : kPairs) {
      if (p.first == first && p.second == second) {
        lexer_.skipChar();
        return p.op;
      }
    }
    if (first == '=' || first == '<' || first == '>') return tok_.op;
    return 0;  // '~' alone is not a relation
  }

  uint32_t comparison() {
    uint32_t l = concatenation();
    while (l != kFailed) {
      const uint32_t pos = tok_.pos;
      const uint8_t op = relation();
      if (op == 0) break;
      advance();
      const uint32_t r = concatenation();
      if (r == kFailed) return kFailed;
      l = binary(op, l, r, pos);
    }
    return l;
  }

  uint32_t concatenation() {
    return leftChain([this] { return sum(); }, [this] { return isOp(kOpConcatenate); });
  }
  uint32_t sum() {
    return leftChain([this] { return product(); }, [this] { return isOp(kOpAdd) || isOp(kOpSubtract); });
  }
  uint32_t product() {
    return leftChain([this] { return power(); }, [this] { return isOp(kOpMultiply) || isOp(kOpDivide) || isOp(kOpModulus); });
  }
  uint32_t power() {
    return leftChain([this] { return unary(); }, [this] { return isOp(kOpPower); });
  }

  uint32_t unary() {
    bool negative = false;
    uint32_t pos = tok_.pos;
    while (isOp(kOpAdd) || isOp(kOpSubtract)) {
      if (tok_.op == kOpSubtract) negative = !negative, pos = tok_.pos;
      advance();
    }
    const uint32_t operand = primary();
    if (operand == kFailed || !negative) return operand;
    return unaryNode(NodeKind::Negate, operand, pos);
  }

  // Entering a bracket: the one place where parsing recurses.
  bool enter() { return ++depth_ <= kMaxNesting; }

  uint32_t primary() {
    if (tok_.kind == TokenKind::Error) return kFailed;
    Node n;
    n.pos = tok_.pos;
    switch (tok_.kind) {
      case TokenKind::Open: {
        if (!enter()) return failed(tok_.pos);
        advance();
        const uint32_t e = expression();
        if (e == kFailed) return kFailed;
        if (tok_.kind != TokenKind::Close) return failed(tok_.pos);
        --depth_;
        advance();
        return e;
      }
      case TokenKind::Whole: n.kind = NodeKind::Whole, n.cls = ValueClass::Whole, n.whole = tok_.whole; break;
      case TokenKind::Real: n.kind = NodeKind::Real, n.cls = ValueClass::Real, n.real = tok_.real; break;
      case TokenKind::Text:
      case TokenKind::Picture:
        n.kind = tok_.kind == TokenKind::Text ? NodeKind::Text : NodeKind::Picture;
        n.cls = ValueClass::Text;
        n.text = addText(tok_.text);
        break;
      case TokenKind::Name: return name();
      default: return failed(tok_.pos);
    }
    advance();
    return add(n);
  }

  uint32_t name() {
    const Symbol& s = *tok_.symbol;
    Node n;
    n.pos = tok_.pos;
    n.cls = s.cls;
    switch (s.kind) {
      case SymbolKind::Variable:
        n.kind = NodeKind::Variable;
        n.index = static_cast<uint32_t>(tree_.variables.size());
        tree_.variables.push_back(s.variable);
        break;
      case SymbolKind::Procedure:
        n.kind = NodeKind::Procedure;
        n.index = static_cast<uint32_t>(tree_.procedures.size());
        tree_.procedures.push_back(s.procedure);
        break;
      default: return call(s);
    }
    n.text = addText(tok_.text);
    advance();
    if (n.kind == NodeKind::Procedure) {
      const BoundProcedure& p = tree_.procedures[n.index];
      if (tok_.kind != TokenKind::Open || p.maxArgs == 0) return p.minArgs == 0 ? add(n) : failed(tok_.pos);
      return arguments(n, p.minArgs, p.maxArgs);
    }
    uint32_t v = add(n);
    if (tree_.variables[n.index].count > 1) {
      // An array is used one element at a time: its name takes a subscript.
      if (tok_.kind != TokenKind::OpenBracket) return failed(tok_.pos);
      v = element(v);
      if (v == kFailed) return kFailed;
    }
    return tok_.kind == TokenKind::OpenBracket ? subscript(v) : v;
  }

  // array[i]: the i-th element of a bound array.
  uint32_t element(uint32_t array) {
    if (!enter()) return failed(tok_.pos);
    Node n;
    n.kind = NodeKind::Element;
    n.cls = tree_.nodes[array].cls;
    n.pos = tok_.pos;
    advance();
    const uint32_t index = expression();
    if (index == kFailed) return kFailed;
    if (tok_.kind != TokenKind::CloseBracket) return failed(tok_.pos);
    --depth_;
    advance();
    n.lhs = array;
    n.rhs = index;
    return above(n, std::max(height(array), height(index)));
  }

  // name[i] is one character of the variable's text, name[a : b] the characters a to b.
  uint32_t subscript(uint32_t variable) {
    if (!enter()) return failed(tok_.pos);
    Node n;
    n.kind = NodeKind::Substring;
    n.cls = ValueClass::Text;
    n.pos = tok_.pos;
    advance();
    uint32_t parts[3] = {variable, 0, 0};
    uint32_t count = 2;
    parts[1] = expression();
    if (parts[1] == kFailed) return kFailed;
    if (isOp(kOpRange)) {
      advance();
      parts[2] = expression();
      if (parts[2] == kFailed) return kFailed;
      count = 3;
    }
    if (tok_.kind != TokenKind::CloseBracket) return failed(tok_.pos);  // only texts can be bound
    --depth_;
    advance();
    n.lhs = static_cast<uint32_t>(tree_.links.size());
    n.rhs = count;
    tree_.links.insert(tree_.links.end(), parts, parts + count);
    uint16_t h = 0;
    for (uint32_t i = 0; i < count; ++i) h = std::max(h, height(parts[i]));
    return above(n, h);
  }

  uint32_t call(const Symbol& s) {
    const FunctionInfo& f = functionInfo(s.code);
    Node n;
    n.kind = NodeKind::Call;
    n.op = s.code;
    n.cls = s.cls;
    n.pos = tok_.pos;
    advance();
    if (tok_.kind != TokenKind::Open) {
      // A function without arguments may be written without its brackets.
      if (s.minArgs != 0 || !f.run) return failed(tok_.pos);
      n.lhs = static_cast<uint32_t>(tree_.links.size());
      return add(n);
    }
    if (!f.run) {  // SQL( ... ): raw text for the server
      n.kind = NodeKind::Raw;
      std::string raw;
      if (!lexer_.rawText(raw)) return failed(tok_.pos);
      n.text = addText(raw);
      advance();
      return add(n);
    }
    return arguments(n, s.minArgs, s.maxArgs);
  }

  // The bracketed argument list of a function or a bound procedure; an empty position is an
  // omitted argument.
  uint32_t arguments(Node n, uint8_t minArgs, uint8_t maxArgs) {
    if (!enter()) return failed(tok_.pos);
    advance();
    std::vector<uint32_t> args;
    uint16_t h = 0;
    if (tok_.kind == TokenKind::Close) {
      advance();
    } else {
      for (;;) {
        uint32_t a;
        if (isOp(kOpList) || tok_.kind == TokenKind::Close) {
          Node omitted;
          omitted.kind = NodeKind::Omitted;
          omitted.pos = tok_.pos;
          a = add(omitted);
        } else {
          a = expression();
          if (a == kFailed) return kFailed;
        }
        if (args.size() >= maxArgs) return failed(tree_.nodes[a].pos);
        args.push_back(a);
        h = std::max(h, height(a));
        if (tok_.kind == TokenKind::Close) break;
        if (!isOp(kOpList)) return failed(tok_.pos);
        advance();
      }
      advance();
    }
    --depth_;
    if (args.size() < minArgs) return failed(n.pos);
    n.lhs = static_cast<uint32_t>(tree_.links.size());
    n.rhs = static_cast<uint32_t>(args.size());
    tree_.links.insert(tree_.links.end(), args.begin(), args.end());
    return above(n, h);
  }

  Lexer lexer_;
  ExprToken tok_;
  Expression& tree_;
  ParseFailure& failure_;
  int depth_ = 0;
};

}  // namespace

bool parseExpression(std::string_view text, const EvaluatorState& evaluator, Expression& tree, ParseFailure& failure) {
  return Parser(text, evaluator, tree, failure).run();
}

}  // namespace tamsil
