// The expression lexer: one token at a time, each remembering where it starts. Names are
// looked up as they are read, so an operator keyword comes out as an operator and an unknown
// name as an error token carrying 1011.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/eval/evaluator_state.h"

namespace tamsil {

enum class TokenKind : uint8_t { Operator, Open, Close, OpenBracket, CloseBracket, Whole, Real, Text, Picture, Name, End, Error };

struct ExprToken {
  TokenKind kind = TokenKind::End;
  uint8_t op = 0;    // Operator: the operator code
  char ch = 0;       // Operator: the character it was written with ('\0' for a keyword)
  int error = 0;     // Error: the error code
  uint32_t pos = 0;  // offset of the token's first character
  int64_t whole = 0;
  double real = 0;
  std::string text;  // text constant, picture, or name as written (at most 99 characters)
  const Symbol* symbol = nullptr;
};

class Lexer {
 public:
  Lexer(std::string_view text, const EvaluatorState& evaluator) : s_(text), ev_(evaluator) {}

  ExprToken next();
  // The character right after the last token, or '\0' at the end.
  char peekChar() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  void skipChar() { ++i_; }
  // The raw text up to the ')' that closes a '(' just read; parentheses inside single-quoted
  // texts do not count. False when no ')' closes it or the text holds "--" or "/*" outside
  // quotes, which SQL reads as the start of a comment.
  bool rawText(std::string& out);

 private:
  ExprToken number(uint32_t start);
  ExprToken text(uint32_t start);
  ExprToken picture(uint32_t start);
  ExprToken name(uint32_t start);
  ExprToken error(uint32_t pos, int code = 1010) const;

  std::string_view s_;
  const EvaluatorState& ev_;
  size_t i_ = 0;
};

}  // namespace tamsil
