// SQL rendering: the tree in infix form with the operator texts, brackets only where the tree's
// grouping differs from what precedence gives, and the rewrites of calls compared with constants
// into the forms a server understands (LIKE, IS NULL, SOUNDEX).
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "runtime/eval/evaluator.h"
#include "runtime/eval/functions.h"
#include "runtime/eval/match.h"
#include "runtime/eval/text_ops.h"

namespace tamsil {

namespace {

std::string_view operatorText(uint8_t op) {
  static constexpr std::array<std::string_view, 22> kTexts = {
      "",     "",    " ^ ", " * ",  " / ",  " % ",  "-",     " + ",  " - ",   " & ", " = ",
      " <> ", " < ", " > ", " <= ", " >= ", "NOT ", " AND ", " OR ", " XOR ", ", ",  " : "};
  return op < kTexts.size() ? kTexts[op] : std::string_view{};
}

constexpr int kPrimary = 10;

// Binding strength of a node as an operand, higher binds tighter; the grammar's levels. A
// constant written with a sign binds like a unary minus.
int strength(const Node& n) {
  // Raw SQL(...) text is the server's own and may hold any operator (an OR, a leading sign): it
  // is bracketed wherever it is an operand, so it keeps the meaning the tree gives it.
  if (n.kind == NodeKind::Raw) return 0;
  if (n.kind == NodeKind::Not) return 3;
  if (n.kind == NodeKind::Negate) return 9;
  if ((n.kind == NodeKind::Whole && n.whole < 0) || (n.kind == NodeKind::Real && std::signbit(n.real))) return 9;
  if (n.kind != NodeKind::Binary) return kPrimary;
  switch (n.op) {
    case kOpOr:
    case kOpXor: return 1;
    case kOpAnd: return 2;
    case kOpConcatenate: return 5;
    case kOpAdd:
    case kOpSubtract: return 6;
    case kOpMultiply:
    case kOpDivide:
    case kOpModulus: return 7;
    case kOpPower: return 8;
    default: return 4;  // relations
  }
}

// A real constant with every digit it needs to read back as the same number, and always with a
// point or an exponent so that it reads back as a real.
std::string realConstant(double v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  (void)ec;
  std::string text(buffer, end);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

void quoted(std::string& out, std::string_view text) {
  out += '\'';
  for (char c : text) {
    if (c == '\'') out += '\'';  // a quote in the data must not end the SQL literal
    out += c;
  }
  out += '\'';
}

// The escape character of LIKE patterns; written in an ESCAPE clause after a pattern that needs it.
constexpr char kLikeEscape = '\\';

// A LIKE pattern being built: literal text (its '%', '_' and escape characters escaped, so the
// server takes them as themselves) and the pattern's own wildcards.
class LikePattern {
 public:
  LikePattern& literal(std::string_view text) {
    for (char c : text) {
      if (c == '%' || c == '_' || c == kLikeEscape) {
        text_ += kLikeEscape;
        escaped_ = true;
      }
      text_ += c;
    }
    return *this;
  }
  LikePattern& anyRun() { return text_ += '%', *this; }
  LikePattern& anyOne() { return text_ += '_', *this; }

  const std::string& text() const { return text_; }
  bool escaped() const { return escaped_; }

 private:
  std::string text_;
  bool escaped_ = false;
};

// What a comparison of a 0/1 or position result with a constant asks for: presence (true),
// absence (false), or something the rewrites cannot express (nothing). A position compared
// equal to a particular non-zero place asks for more than presence.
std::optional<bool> asksFor(uint8_t op, double c, bool position) {
  const bool zero = c == 0;
  if (position && !zero && (op == kOpEqual || op == kOpNotEqual)) return std::nullopt;
  switch (op) {
    case kOpEqual: return !zero;  // = true asks for presence, = 0 for absence
    case kOpNotEqual: return zero;
    case kOpGreater: return c >= 0 ? std::optional<bool>(true) : std::nullopt;
    case kOpGreaterEqual: return c > 0 && c <= 1 ? std::optional<bool>(true) : std::nullopt;
    case kOpLess: return c > 0 && c <= 1 ? std::optional<bool>(false) : std::nullopt;
    case kOpLessEqual: return zero ? std::optional<bool>(false) : std::nullopt;
    default: return std::nullopt;
  }
}

class SqlWriter {
 public:
  SqlWriter(const Expression& e, std::string& out) : e_(e), out_(out) {}

  void top(uint32_t n, bool sort) {
    const Node& x = e_.nodes[n];
    if (sort && x.kind == NodeKind::Negate) {
      node(x.lhs);
      out_ += " DESC";
      return;
    }
    node(n);
  }

  void node(uint32_t n) {
    const Node& x = e_.nodes[n];
    switch (x.kind) {
      case NodeKind::Whole: out_ += wholeText(x.whole); break;
      case NodeKind::Real: out_ += realConstant(x.real); break;
      case NodeKind::Text:
      case NodeKind::Picture: quoted(out_, e_.texts[x.text]); break;
      case NodeKind::Omitted: break;
      case NodeKind::Variable: out_ += e_.texts[x.text]; break;
      case NodeKind::Procedure:
        out_ += e_.texts[x.text];
        if (x.rhs == 0) break;
        out_ += '(';
        list(x, 0, operatorText(kOpList));
        out_ += ')';
        break;
      case NodeKind::Element:
        node(x.lhs);
        out_ += '[';
        node(x.rhs);
        out_ += ']';
        break;
      case NodeKind::Raw: out_ += e_.texts[x.text]; break;
      case NodeKind::Negate:
      case NodeKind::Not:
        // An operand as loose as its operator is bracketed: "-(-n)" written "--n" would start
        // a comment, and "NOT NOT a" reads as a.
        out_ += operatorText(x.op);
        operand(x.lhs, strength(x), true);
        break;
      case NodeKind::Binary:
        if (isComparison(x.op) && rewrite(x)) break;
        operand(x.lhs, strength(x), false);
        out_ += operatorText(x.op);
        operand(x.rhs, strength(x), true);
        break;
      case NodeKind::Call:
        out_ += functionInfo(x.op).name;
        out_ += '(';
        list(x, 0, operatorText(kOpList));
        out_ += ')';
        break;
      case NodeKind::Substring:
        node(e_.links[x.lhs]);
        out_ += '[';
        list(x, 1, operatorText(kOpRange));
        out_ += ']';
        break;
    }
  }

 private:
  // An operand in brackets when it binds more loosely than its parent, or as loosely on the
  // right (every operator associates left).
  void operand(uint32_t n, int parent, bool right) {
    const int s = strength(e_.nodes[n]);
    const bool bracket = s < parent || (right && s == parent);
    if (bracket) out_ += '(';
    node(n);
    if (bracket) out_ += ')';
  }

  void list(const Node& x, uint32_t from, std::string_view separator) {
    for (uint32_t i = from; i < x.rhs; ++i) {
      if (i > from) out_ += separator;
      node(e_.links[x.lhs + i]);
    }
  }

  const Node* arg(const Node& call, uint32_t i) const { return i < call.rhs ? &e_.nodes[e_.links[call.lhs + i]] : nullptr; }
  static bool isWhole(const Node* n, int64_t v) { return n && n->kind == NodeKind::Whole && n->whole == v; }
  static bool isConstant(const Node& n) { return n.kind == NodeKind::Whole || n.kind == NodeKind::Real || n.kind == NodeKind::Text; }
  static double constantValue(const Node& n, const Expression& e) {
    return n.kind == NodeKind::Whole ? double(n.whole) : n.kind == NodeKind::Real ? n.real : realFromText(e.texts[n.text]);
  }

  // A call of SUB, INSTRING, MATCH or NULL compared with a constant, written as the server's
  // form. False when the comparison is not one of those; it is then written as it stands.
  bool rewrite(const Node& cmp) {
    const Node* call = &e_.nodes[cmp.lhs];
    const Node* constant = &e_.nodes[cmp.rhs];
    uint8_t op = cmp.op;
    if (call->kind != NodeKind::Call) {
      std::swap(call, constant);
      // The constant stands first: mirror the relation.
      static constexpr uint8_t kMirror[] = {0,           0, 0, 0, 0, 0, 0, 0, 0, 0, kOpEqual, kOpNotEqual, kOpGreater, kOpLess, kOpGreaterEqual,
                                            kOpLessEqual};
      op = kMirror[op];
    }
    if (call->kind != NodeKind::Call || !isConstant(*constant)) return false;
    const std::string_view name = functionInfo(call->op).name;
    const double c = constantValue(*constant, e_);

    if (name == "SUB") {
      // SUB(column, 1, n) = 'text' with n the text's length: the column begins with the text.
      if (op != kOpEqual || constant->kind != NodeKind::Text) return false;
      const std::string t(e_.texts[constant->text]);
      if (!isWhole(arg(*call, 1), 1) || !isWhole(arg(*call, 2), int64_t(t.size()))) return false;
      like(e_.links[call->lhs], false, false, LikePattern().literal(t).anyRun());
      return true;
    }
    const std::optional<bool> want = asksFor(op, c, name == "INSTRING");
    if (!want) return false;
    if (name == "INSTRING") {
      const Node* pattern = arg(*call, 0);
      if (!pattern || pattern->kind != NodeKind::Text || !isWhole(arg(*call, 2), 1) || !isWhole(arg(*call, 3), 1)) return false;
      like(e_.links[call->lhs + 1], !*want, false, LikePattern().anyRun().literal(e_.texts[pattern->text]).anyRun());
      return true;
    }
    if (name == "MATCH") return rewriteMatch(*call, *want);
    if (name == "NULL") {
      tested(e_.links[call->lhs]);
      out_ += " IS ";
      if (!*want) out_ += "NOT ";
      out_ += "NULL ";
      return true;
    }
    return false;
  }

  bool rewriteMatch(const Node& call, bool want) {
    const Node* pattern = arg(call, 1);
    const Node* modeArg = arg(call, 2);
    if (!pattern || pattern->kind != NodeKind::Text) return false;
    int64_t mode = kMatchWildcard;
    if (modeArg && modeArg->kind != NodeKind::Omitted) {
      if (modeArg->kind != NodeKind::Whole) return false;
      mode = modeArg->whole;
    }
    const bool upper = (mode & kMatchNoCase) != 0;
    std::string p(e_.texts[pattern->text]);
    if (upper) p = textops::upper(p);
    const uint32_t column = e_.links[call.lhs];
    switch (mode & 15) {
      case kMatchSimple:
        columnText(column, upper);
        out_ += want ? " = " : " <> ";
        quoted(out_, p);
        return true;
      case kMatchWildcard: {
        LikePattern wild;
        for (char ch : p) {
          if (ch == '?') wild.anyOne();
          else if (ch == '*') wild.anyRun();
          else wild.literal(std::string_view(&ch, 1));
        }
        like(column, !want, upper, wild);
        return true;
      }
      case kMatchSoundex:
        out_ += "SOUNDEX(";
        node(column);
        out_ += want ? ") = SOUNDEX(" : ") <> SOUNDEX(";
        quoted(out_, e_.texts[pattern->text]);
        out_ += ')';
        return true;
      default: return false;  // regular expressions stay with the caller
    }
  }

  // The tested operand of a rewritten form, bracketed unless it is a primary: the server's
  // forms bind tighter than any operator, so "a OR b LIKE 'x'" would test b alone.
  void tested(uint32_t n) { operand(n, kPrimary, false); }

  void columnText(uint32_t n, bool upper) {
    if (upper) {
      out_ += "UPPER(";
      node(n);
      out_ += ')';
    } else {
      tested(n);
    }
  }

  void like(uint32_t column, bool negated, bool upper, const LikePattern& pattern) {
    columnText(column, upper);
    out_ += negated ? " NOT LIKE " : " LIKE ";
    quoted(out_, pattern.text());
    if (!pattern.escaped()) return;
    out_ += " ESCAPE ";
    quoted(out_, std::string_view(&kLikeEscape, 1));
  }

  const Expression& e_;
  std::string& out_;
};

}  // namespace

void renderSql(const Expression& tree, std::string& out, bool sortExpression) { SqlWriter(tree, out).top(tree.root, sortExpression); }

}  // namespace tamsil
