#include "runtime/ole/member_path.h"

namespace tamsil::ole {

namespace {

constexpr std::string_view kWordStops = ",.()= ";

bool isWordChar(char c) { return kWordStops.find(c) == std::string_view::npos; }

// The end of a double-quoted string that opens at `start`: the position after its closing quote,
// or npos when the text ends first. Two quotes in a row stand for one and do not close it.
size_t quotedEnd(std::string_view text, size_t start) {
  for (size_t i = start + 1; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    if (i + 1 < text.size() && text[i + 1] == '"') {
      ++i;
      continue;
    }
    return i + 1;
  }
  return std::string_view::npos;
}

// The end of a parenthesised value that opens at `start` (balanced parentheses; single quotes
// hide them), or npos when the text ends first.
size_t parenthesisedEnd(std::string_view text, size_t start) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i + 1;
  }
  return std::string_view::npos;
}

class PathParser {
 public:
  explicit PathParser(std::string_view text) : tokens_(text) {}

  std::optional<MemberPath> parse() {
    MemberPath path;
    Token t = tokens_.next();
    if (t.kind == TokenKind::Word && t.text.front() == '`') {
      path.object = t.text;
      t = tokens_.next();
      if (t.kind == TokenKind::End) return path;
      if (t.kind != TokenKind::Dot) return std::nullopt;
      t = tokens_.next();
    }
    for (;;) {
      if (t.kind != TokenKind::Word || t.text.size() > kMaxNameLength) return std::nullopt;
      PathMember& member = path.members.emplace_back();
      member.name = t.text;
      t = tokens_.next();
      if (t.kind == TokenKind::Open) {
        member.parenthesised = true;
        if (!arguments(member)) return std::nullopt;
        t = tokens_.next();
      }
      if (t.kind == TokenKind::End) return path;
      if (t.kind != TokenKind::Dot) return std::nullopt;
      t = tokens_.next();
    }
  }

 private:
  // After "(": arguments up to and including the closing ")".
  bool arguments(PathMember& member) {
    if (tokens_.peek().kind == TokenKind::Close) {
      tokens_.next();
      return true;
    }
    for (;;) {
      if (member.arguments.size() == kMaxArguments) return false;
      if (!argument(member.arguments.emplace_back())) return false;
      const Token t = tokens_.next();
      if (t.kind == TokenKind::Close) return true;
      if (t.kind != TokenKind::Comma) return false;
    }
  }

  // [hint "("] [name "="] value [")" after a hint]
  bool argument(PathArgument& arg) {
    const size_t start = tokens_.position();
    Token t = tokens_.next();
    if (t.kind == TokenKind::Word && tokens_.peek().kind == TokenKind::Open) {
      arg.hint = t.text.substr(0, kMaxHintLength);
      tokens_.next();
    } else {
      tokens_.seek(start);
    }
    const size_t afterHint = tokens_.position();
    t = tokens_.next();
    if (t.kind == TokenKind::Word && tokens_.peek().kind == TokenKind::Equals) {
      if (t.text.size() > kMaxNameLength) return false;
      arg.name = t.text;
      tokens_.next();
    } else {
      tokens_.seek(afterHint);
    }
    if (!value(arg)) return false;
    return arg.hint.empty() || tokens_.next().kind == TokenKind::Close;
  }

  // The value straight from the text.
  bool value(PathArgument& arg) {
    tokens_.skipBlanks();
    const std::string_view text = tokens_.text();
    const size_t start = tokens_.position();
    size_t end = std::string_view::npos;
    if (start < text.size() && text[start] == '(') {
      end = parenthesisedEnd(text, start);
    } else if (start < text.size() && text[start] == '"') {
      end = quotedEnd(text, start);
    } else {
      end = text.find_first_of(",)", start);
      if (end == std::string_view::npos) return false;
      size_t last = end;
      while (last > start && text[last - 1] == ' ') --last;
      arg.value = text.substr(start, last - start);
      tokens_.seek(end);
      return true;
    }
    if (end == std::string_view::npos) return false;
    arg.value = text.substr(start, end - start);
    tokens_.seek(end);
    return true;
  }

  PathTokenizer tokens_;
};

}  // namespace

void PathTokenizer::skipBlanks() {
  while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
}

Token PathTokenizer::next() {
  skipBlanks();
  if (pos_ >= text_.size()) return {TokenKind::End, {}};
  const size_t start = pos_;
  switch (text_[pos_]) {
    case '.': return ++pos_, Token{TokenKind::Dot, text_.substr(start, 1)};
    case '(': return ++pos_, Token{TokenKind::Open, text_.substr(start, 1)};
    case ')': return ++pos_, Token{TokenKind::Close, text_.substr(start, 1)};
    case ',': return ++pos_, Token{TokenKind::Comma, text_.substr(start, 1)};
    case '=': return ++pos_, Token{TokenKind::Equals, text_.substr(start, 1)};
    case '"': {
      const size_t end = quotedEnd(text_, start);
      pos_ = end == std::string_view::npos ? text_.size() : end;
      return {TokenKind::String, text_.substr(start, pos_ - start)};
    }
    default:
      while (pos_ < text_.size() && isWordChar(text_[pos_])) ++pos_;
      return {TokenKind::Word, text_.substr(start, pos_ - start)};
  }
}

Token PathTokenizer::peek() const {
  PathTokenizer copy = *this;
  return copy.next();
}

std::optional<MemberPath> parseMemberPath(std::string_view text) { return PathParser(text).parse(); }

size_t writeSplit(std::string_view text) {
  size_t split = std::string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      const size_t end = quotedEnd(text, i);
      if (end == std::string_view::npos) break;
      i = end - 1;
    } else if (c == '(') {
      const size_t end = parenthesisedEnd(text, i);
      if (end == std::string_view::npos) break;
      i = end - 1;
    } else if (c == '.') {
      split = i;
    }
  }
  return split;
}

bool isDispidName(std::string_view name) { return !name.empty() && ((name[0] >= '0' && name[0] <= '9') || name[0] == '-'); }

}  // namespace tamsil::ole
