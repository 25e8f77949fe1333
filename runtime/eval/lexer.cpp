#include "runtime/eval/lexer.h"

#include <charconv>
#include <limits>

#include "runtime/eval/tree.h"

namespace tamsil {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
int digitValue(char c) { return isDigit(c) ? c - '0' : upper(c) - 'A' + 10; }

// Every real the lexer makes stays finite: what is too large becomes this value.
constexpr double kLargestReal = 1.797693e308;

uint8_t operatorCode(char c) {
  switch (c) {
    case '+': return kOpAdd;
    case '-': return kOpSubtract;
    case '*': return kOpMultiply;
    case '/': return kOpDivide;
    case '%': return kOpModulus;
    case '^': return kOpPower;
    case '&': return kOpConcatenate;
    case '=': return kOpEqual;
    case '<': return kOpLess;
    case '>': return kOpGreater;
    case '~': return kOpNot;
    case ',': return kOpList;
    case ':': return kOpRange;
    default: return 0;
  }
}

}  // namespace

ExprToken Lexer::error(uint32_t pos, int code) const {
  ExprToken t;
  t.kind = TokenKind::Error;
  t.error = code;
  t.pos = pos;
  return t;
}

ExprToken Lexer::next() {
  while (i_ < s_.size() && s_[i_] == ' ') ++i_;
  const uint32_t start = static_cast<uint32_t>(i_);
  ExprToken t;
  t.pos = start;
  if (i_ >= s_.size()) return t;  // End
  const char c = s_[i_];
  if (isLetter(c) || c == '_' || c == '?') return name(start);
  if (isDigit(c) || c == '.') return number(start);
  if (c == '\'') return text(start);
  if (c == '@') return picture(start);
  ++i_;
  switch (c) {
    case '(': t.kind = TokenKind::Open; return t;
    case ')': t.kind = TokenKind::Close; return t;
    case '[': t.kind = TokenKind::OpenBracket; return t;
    case ']': t.kind = TokenKind::CloseBracket; return t;
    default: break;
  }
  if (const uint8_t op = operatorCode(c)) {
    t.kind = TokenKind::Operator;
    t.op = op;
    t.ch = c;
    return t;
  }
  return error(start);
}

ExprToken Lexer::name(uint32_t start) {
  ++i_;
  while (i_ < s_.size() && (isLetter(s_[i_]) || isDigit(s_[i_]) || s_[i_] == '_' || s_[i_] == ':')) ++i_;
  if (i_ < s_.size() && (s_[i_] == '#' || s_[i_] == '$' || s_[i_] == '"')) ++i_;
  ExprToken t;
  t.pos = start;
  t.text = std::string(s_.substr(start, std::min<size_t>(i_ - start, kMaxNameLength)));
  t.symbol = ev_.lookup(symbolKey(t.text));
  if (!t.symbol) {
    ExprToken e = error(start, 1011);
    e.text = std::move(t.text);
    return e;
  }
  if (t.symbol->kind == SymbolKind::Operator) {
    t.kind = TokenKind::Operator;
    t.op = t.symbol->code;
  } else {
    t.kind = TokenKind::Name;
  }
  return t;
}

// Integers with an optional radix letter (B, O, H), decimal fractions and exponents.
ExprToken Lexer::number(uint32_t start) {
  ExprToken t;
  t.pos = start;
  size_t hexEnd = i_;
  while (hexEnd < s_.size() && isHex(s_[hexEnd])) ++hexEnd;
  size_t decEnd = i_;
  while (decEnd < s_.size() && isDigit(s_[decEnd])) ++decEnd;

  int radix = 10;
  size_t digitsEnd = decEnd, end = decEnd;
  if (hexEnd > i_ && hexEnd < s_.size() && upper(s_[hexEnd]) == 'H' && isDigit(s_[i_])) {
    radix = 16, digitsEnd = hexEnd, end = hexEnd + 1;
  } else if (decEnd > i_ && decEnd < s_.size() && (upper(s_[decEnd]) == 'B' || upper(s_[decEnd]) == 'O')) {
    radix = upper(s_[decEnd]) == 'B' ? 2 : 8, end = decEnd + 1;
  }

  if (radix != 10) {
    if (end < s_.size() && s_[end] == '.') return error(start);
    // Accumulate exactly while it fits, then as a real: an integer beyond 31 bits is a real.
    uint64_t exact = 0;
    double approx = 0;
    for (size_t k = i_; k < digitsEnd; ++k) {
      const int d = digitValue(s_[k]);
      if (d >= radix) return error(start);
      if (exact <= uint64_t(INT32_MAX)) exact = exact * uint64_t(radix) + uint64_t(d);
      approx = approx * radix + d;
    }
    i_ = end;
    if (exact <= uint64_t(INT32_MAX)) {
      t.kind = TokenKind::Whole, t.whole = static_cast<int64_t>(exact);
    } else {
      t.kind = TokenKind::Real, t.real = approx > kLargestReal ? kLargestReal : approx;
    }
    return t;
  }

  size_t k = decEnd;
  bool isReal = false;
  size_t digits = decEnd - i_;
  if (k < s_.size() && s_[k] == '.') {
    isReal = true;
    ++k;
    while (k < s_.size() && isDigit(s_[k])) ++k, ++digits;
  }
  if (digits == 0) return error(start);
  const size_t mantissaEnd = k;
  int64_t exponent = 0;
  if (k < s_.size() && (s_[k] == 'e' || s_[k] == 'E')) {
    isReal = true;
    ++k;
    bool negative = false;
    if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) negative = s_[k++] == '-';
    if (k >= s_.size() || !isDigit(s_[k])) return error(start);
    for (; k < s_.size() && isDigit(s_[k]); ++k)
      if (exponent < 100000) exponent = exponent * 10 + (s_[k] - '0');  // saturates, stays exact up to 401
    if (negative) exponent = -exponent;
  }
  i_ = k;
  const std::string_view literal = s_.substr(start, k - start);

  if (!isReal) {
    size_t first = start;
    while (first + 1 < mantissaEnd && s_[first] == '0') ++first;  // leading zeros are skipped
    uint64_t v = 0;
    bool fits = mantissaEnd - first <= 10;
    if (fits) {
      for (size_t d = first; d < mantissaEnd; ++d) v = v * 10 + uint64_t(s_[d] - '0');
      fits = v <= uint64_t(INT32_MAX);
    }
    if (fits) {
      t.kind = TokenKind::Whole, t.whole = static_cast<int64_t>(v);
      return t;
    }
  }
  t.kind = TokenKind::Real;
  if (exponent >= 401) {
    t.real = kLargestReal;
  } else if (exponent <= -401) {
    t.real = 0;
  } else {
    auto [ptr, ec] = std::from_chars(literal.data(), literal.data() + literal.size(), t.real);
    (void)ptr;
    // Too large for a real: the largest the runtime writes; too small: zero.
    if (ec == std::errc::result_out_of_range) t.real = exponent > 0 || literal.find_first_of("eE") == std::string_view::npos ? kLargestReal : 0;
  }
  return t;
}

ExprToken Lexer::text(uint32_t start) {
  ExprToken t;
  t.kind = TokenKind::Text;
  t.pos = start;
  for (++i_; i_ < s_.size(); ++i_) {
    if (s_[i_] != '\'') {
      t.text += s_[i_];
      continue;
    }
    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {  // two quotes stand for one
      t.text += '\'';
      ++i_;
      continue;
    }
    ++i_;
    return t;
  }
  return error(start);
}

// "@P...P" and "@K...K" run to their closing letter; others end at a blank, ',', ')' or an
// ending 'B'. In "@N", a "~currency~" text and the picture's own parentheses do not end it.
ExprToken Lexer::picture(uint32_t start) {
  size_t k = i_ + 1;
  const char kind = k < s_.size() ? upper(s_[k]) : '\0';
  if (kind == 'P' || kind == 'K') {
    ++k;
    while (k < s_.size() && upper(s_[k]) != kind) ++k;
    if (k >= s_.size()) return error(start);
    ++k;
  } else {
    bool currency = false;
    int depth = 0;
    for (; k < s_.size(); ++k) {
      const char c = s_[k];
      if (kind == 'N') {
        if (c == '~') {
          currency = !currency;
          continue;
        }
        if (currency) continue;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) {
          --depth;
          continue;
        }
      }
      if (c == ' ' || c == ',' || c == ')') break;
      if (c == 'B' || c == 'b') {
        ++k;
        break;
      }
    }
    if (currency) return error(start);
  }
  ExprToken t;
  t.kind = TokenKind::Picture;
  t.pos = start;
  t.text = std::string(s_.substr(start, k - start));
  i_ = k;
  return t;
}

bool Lexer::rawText(std::string& out) {
  int depth = 1;
  bool quoted = false;
  for (size_t k = i_; k < s_.size(); ++k) {
    const char c = s_[k];
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    // A comment would swallow whatever the SQL text goes on with after the raw part.
    const char after = k + 1 < s_.size() ? s_[k + 1] : '\0';
    if ((c == '-' && after == '-') || (c == '/' && after == '*')) return false;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) {
      out = std::string(s_.substr(i_, k - i_));
      i_ = k + 1;
      return true;
    }
  }
  return false;
}

}  // namespace tamsil
