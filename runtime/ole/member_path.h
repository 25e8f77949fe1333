// Member paths: the texts through which a program reads and writes the properties of a hosted
// object and calls its methods by name ("Sheet.Cells(1,2).Value", "AddItem(string(12), 'x')",
// "`1234.Name"). This part only reads the text: it splits it into an optional object reference,
// members and their arguments, each argument's value kept as written for the conversion that
// follows (argument_block.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsil::ole {

// Tokens of a member path. Blanks (spaces only) before a token are skipped.
enum class TokenKind { Dot, Open, Close, Comma, Equals, String, End, Word };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;  // the token as written (a string with its quotes)
};

// Reads member-path tokens one at a time.
class PathTokenizer {
 public:
  explicit PathTokenizer(std::string_view text) : text_(text) {}
  Token next();
  Token peek() const;
  size_t position() const { return pos_; }
  void seek(size_t pos) { pos_ = pos; }
  std::string_view text() const { return text_; }
  void skipBlanks();

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

inline constexpr size_t kMaxNameLength = 100;  // a member or argument name
inline constexpr size_t kMaxHintLength = 49;   // the characters of a hint that count
inline constexpr size_t kMaxArguments = 32;    // per member

struct PathArgument {
  std::string hint;   // "string", "int", "bool", "variant" ... (cut to 49 characters); empty for none
  std::string name;   // a named argument's name; empty for a positional one
  std::string value;  // as written: "(expression)", "\"text\"" with its quotes, or the plain text
};

struct PathMember {
  std::string name;            // a name, or a DISPID in decimal when it starts with a digit or '-'
  bool parenthesised = false;  // written with an argument list, even an empty one
  std::vector<PathArgument> arguments;
};

struct MemberPath {
  std::string object;  // "`1234" when the path starts at an object reference; empty otherwise
  std::vector<PathMember> members;
};

// The path, or nothing when the text is not a valid member path.
std::optional<MemberPath> parseMemberPath(std::string_view text);

// Where a write splits its text: the last "." outside parentheses and double quotes (so that
// "Cells(1,2).Value" and "SaveFile(\"a.xls\")" both split where they should); npos for none.
size_t writeSplit(std::string_view text);

// Whether a member name is a DISPID written in decimal.
bool isDispidName(std::string_view name);

}  // namespace tamsil::ole
