// The picture compiler: one parser per picture kind, each filling a CompiledPicture or failing,
// in which case the caller returns the zero picture.
#include <algorithm>
#include <optional>
#include <string>

#include "runtime/value/calendar.h"
#include "runtime/value/locale.h"
#include "runtime/value/picture.h"
#include "runtime/value/picture_layout.h"

namespace tamsil {
namespace {

constexpr char kExponentSign = '\xB1';  // '±' in the ANSI code page

// A read position in the picture text.
class Cursor {
 public:
  explicit Cursor(std::string_view s) : s_(s) {}
  bool atEnd() const { return i_ >= s_.size(); }
  char peek(size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
  bool take(char c) {
    if (atEnd() || s_[i_] != c) return false;
    ++i_;
    return true;
  }
  // One of the characters of set, or 0.
  char takeAny(std::string_view set) {
    if (atEnd() || set.find(s_[i_]) == std::string_view::npos) return 0;
    return s_[i_++];
  }
  // A decimal number (saturated at 100000), or nothing when no digit follows.
  std::optional<int> number() {
    if (!isDigit(peek())) return std::nullopt;
    int n = 0;
    while (isDigit(peek())) n = std::min(n * 10 + (s_[i_++] - '0'), 100'000);
    return n;
  }
  // Between two '~': the text; nothing when the closing '~' is missing.
  std::optional<std::string_view> tildeText() {
    const size_t close = s_.find('~', i_ + 1);
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view t = s_.substr(i_ + 1, close - i_ - 1);
    i_ = close + 1;
    return t;
  }
  bool onlyBlanksLeft() const { return s_.find_first_not_of(' ', i_) == std::string_view::npos; }
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

// Separator letters: '.' full stop, '-' hyphen, '_' blank, '`' comma, 'v' zero; others as is.
char separatorChar(char letter) {
  switch (letter) {
    case '_': return ' ';
    case '`': return ',';
    case 'v': return '0';
    default: return letter;
  }
}

char fillChar(char letter) { return letter == '_' ? ' ' : letter; }

void push(CompiledPicture& p, char ch, TokenClass cls) { p.tokens[p.count++] = {ch, cls}; }

bool compileString(Cursor& c, CompiledPicture& p) {
  const auto n = c.number();
  if (!n || *n < 1 || *n > kMaxPositions || !c.onlyBlanksLeft()) return false;
  p.kind = PictureKind::kString;
  p.valueKind = ValueKind::kText;
  for (int i = 0; i < *n; ++i) push(p, ' ', TokenClass::kLiteral);
  return true;
}

bool compileDate(Cursor& c, CompiledPicture& p) {
  const char fill = c.takeAny("0_*");
  const auto n = c.number();
  if (!n) return false;
  if (*n == 17 || *n == 18) p = *n == 17 ? loadLocale().shortDate : loadLocale().longDate;
  else if (!layoutDatePicture(*n, p)) return false;
  int window = kDefaultCenturyWindow;
  if (const char dir = c.takeAny("<>")) {
    const auto w = c.number();
    if (!w || *w > 99) return false;
    window = dir == '<' ? (*w == 0 ? 80 : *w) : (*w == 0 ? 19 : 99 - *w);
  }
  const char sep = c.takeAny(".-_`");
  if (!c.onlyBlanksLeft()) return false;
  p.centuryWindow = uint8_t(window);
  applyFillAndSeparator(p, fillChar(fill), sep ? separatorChar(sep) : 0);
  return true;
}

bool compileTime(Cursor& c, CompiledPicture& p) {
  const char fill = c.takeAny("0_*");
  const auto n = c.number();
  if (!n) return false;
  if (*n == 7 || *n == 8) p = *n == 7 ? loadLocale().shortTime : loadLocale().longTime;
  else if (!layoutTimePicture(*n, p)) return false;
  const char sep = c.takeAny(".-_`");
  if (!c.onlyBlanksLeft()) return false;
  applyFillAndSeparator(p, fillChar(fill), sep ? separatorChar(sep) : 0);
  return true;
}

constexpr std::string_view kGroupLetters = ".`_vV";
constexpr std::string_view kDecimalLetters = ".`_vV";

// "[grouping letter] [decimal letter decimals]" after the size of @N and @E. A letter not followed
// by digits is the grouping letter; a second such letter is an error.
struct PointPart {
  char group = 0;    // the grouping letter, 0 when absent
  char decimal = 0;  // the decimal letter, 0 when absent
  int decimals = 0;
};
std::optional<PointPart> readPointPart(Cursor& c, std::string_view decimalLetters) {
  PointPart r;
  if (kGroupLetters.find(c.peek()) != std::string_view::npos && c.peek() != '\0' && !Cursor::isDigit(c.peek(1)))
    r.group = c.takeAny(kGroupLetters);
  if (decimalLetters.find(c.peek()) != std::string_view::npos && c.peek() != '\0') {
    if (!Cursor::isDigit(c.peek(1))) return std::nullopt;
    r.decimal = c.takeAny(decimalLetters);
    r.decimals = *c.number();
  }
  return r;
}

std::optional<std::string_view> readCurrency(Cursor& c) {
  if (c.take('$')) return std::string_view("$");
  if (c.peek() == '~') return c.tildeText();
  return std::string_view();
}

bool compileNumber(Cursor& c, CompiledPicture& p) {
  const auto before = readCurrency(c);
  if (!before) return false;
  const char lead = c.takeAny("-(");
  const char fill = c.takeAny("0*_");
  const auto size = c.number();
  if (!size || *size < 1 || *size > kMaxPositions) return false;
  const auto point = readPointPart(c, kDecimalLetters);
  if (!point || point->decimals > kMaxPositions) return false;
  const char trail = c.takeAny("-)");
  if ((trail == '-' && lead) || (trail == ')' && lead != '(') || (lead == '(' && trail != ')')) return false;
  std::string_view after;
  if (before->empty()) {
    const auto a = readCurrency(c);
    if (!a) return false;
    after = *a;
  }
  if (!c.atEnd()) return false;

  const bool implied = point->decimal == 'v' || point->decimal == 'V';
  const int fixed = int(before->size() + after.size()) + (lead ? 1 : 0) + (trail ? 1 : 0) + (point->decimals > 0 ? 1 + point->decimals : 0);
  if (*size < fixed) return false;
  const int integerPositions = *size - fixed;

  char group = 0;
  if (point->group) group = separatorChar(point->group);
  else if (fill == 0 || fill == '*') group = point->decimal == '`' ? '.' : ',';
  const Token digit = fill == '0' || fill == '*' ? Token{fill, TokenClass::kDigit} : Token{' ', TokenClass::kDigitBlank};

  p.kind = PictureKind::kNumeric;
  p.valueKind = ValueKind::kDecimal;
  for (char ch : *before) push(p, ch, TokenClass::kCurrency);
  if (lead) push(p, lead, TokenClass::kSign);
  // Integer positions right to left: the units position always shows '0'; a grouping position
  // after every three digits.
  Token integer[kMaxPositions];
  for (int k = 0, digits = 0; k < integerPositions; ++k) {
    if (group && digits > 0 && digits % 3 == 0 && (k == 0 || integer[k - 1].cls != TokenClass::kGroup)) {
      integer[k] = {group, TokenClass::kGroup};
      continue;
    }
    integer[k] = k == 0 ? Token{'0', TokenClass::kDigit} : digit;
    ++digits;
  }
  for (int k = integerPositions - 1; k >= 0; --k) p.tokens[p.count++] = integer[k];
  if (point->decimals > 0) {
    if (implied) push(p, '0', TokenClass::kImpliedDecimal);
    else push(p, separatorChar(point->decimal), TokenClass::kDecimal);
    for (int i = 0; i < point->decimals; ++i) push(p, '0', TokenClass::kDigit);
  }
  if (trail) push(p, trail, TokenClass::kSign);
  for (char ch : after) push(p, ch, TokenClass::kCurrency);
  return true;
}

bool compileScientific(Cursor& c, CompiledPicture& p) {
  const auto width = c.number();
  if (!width || *width < 7 || *width > kMaxPositions) return false;
  const auto point = readPointPart(c, ".`_");
  if (!point || !c.atEnd()) return false;
  const int integerDigits = point->decimals;  // for @E the number after the letter
  const int groups = integerDigits > 3 ? (integerDigits - 1) / 3 : 0;
  const int decimals = *width - (integerDigits + groups + 7);
  if (decimals < 0) return false;
  const char group = point->group ? separatorChar(point->group) : point->decimal == '`' ? '.' : ',';

  p.kind = PictureKind::kScientific;
  p.valueKind = ValueKind::kReal;
  push(p, '-', TokenClass::kSign);
  Token integer[kMaxPositions];
  int k = 0;
  for (int d = 0; d < integerDigits; ++d) {
    if (d > 0 && d % 3 == 0) integer[k++] = {group, TokenClass::kGroup};
    integer[k++] = d == 0 ? Token{'0', TokenClass::kDigit} : Token{' ', TokenClass::kDigitBlank};
  }
  while (k > 0) p.tokens[p.count++] = integer[--k];
  push(p, point->decimal ? separatorChar(point->decimal) : '.', TokenClass::kDecimal);
  for (int i = 0; i < decimals; ++i) push(p, '0', TokenClass::kDigit);
  push(p, 'E', TokenClass::kLiteral);
  push(p, kExponentSign, TokenClass::kExpSign);
  for (int i = 0; i < 3; ++i) push(p, '0', TokenClass::kDigit);
  return true;
}

// @P...P and @K...K: the closing letter equals the opening one and at least one position lies
// between them.
bool compilePattern(std::string_view body, char open, CompiledPicture& p) {
  if (body.size() < 3 || body.back() != open) return false;
  const bool keyIn = open == 'K' || open == 'k';
  p.kind = keyIn ? PictureKind::kKeyIn : PictureKind::kPattern;
  p.valueKind = keyIn ? ValueKind::kText : ValueKind::kDecimal;
  const std::string_view pattern = body.substr(1, body.size() - 2);
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char ch = pattern[i];
    TokenClass cls = TokenClass::kLiteral;
    char shown = ch;
    if (ch == '#') cls = TokenClass::kDigit, shown = '0';
    else if (ch == '<') cls = TokenClass::kDigitBlank, shown = ' ';
    else if (keyIn) {
      switch (ch) {
        case '@': cls = TokenClass::kKeyAlpha, shown = ' '; break;
        case '^': cls = TokenClass::kKeyUpper, shown = ' '; break;
        case '_': cls = TokenClass::kKeyLower, shown = ' '; break;
        case '?': cls = TokenClass::kKeyAny, shown = ' '; break;
        case '|': cls = TokenClass::kKeyStop, shown = ' '; break;
        case '\\':
          if (++i == pattern.size()) return false;  // nothing left to escape
          shown = pattern[i];
          break;
        default: break;
      }
    }
    push(p, shown, cls);
  }
  return true;
}

NumberShape shapeOf(const CompiledPicture& p) {
  NumberShape s;
  s.point = s.expSign = p.count;
  for (int i = 0; i < p.count; ++i) {
    const TokenClass c = p.tokens[size_t(i)].cls;
    const bool digit = c == TokenClass::kDigit || c == TokenClass::kDigitBlank;
    if ((c == TokenClass::kDecimal || c == TokenClass::kImpliedDecimal) && s.point == p.count) {
      s.point = uint8_t(i);
      s.impliedPoint = c == TokenClass::kImpliedDecimal;
    } else if (c == TokenClass::kExpSign) {
      s.expSign = uint8_t(i);
    } else if (digit && i < s.point) {
      ++s.integerDigits;
      s.blankFill |= c == TokenClass::kDigitBlank;
    } else if (c == TokenClass::kGroup && i < s.point) {
      ++s.groups;
      s.digitGroups |= Cursor::isDigit(p.tokens[size_t(i)].ch);
    } else if (digit && i < s.expSign) {
      ++s.decimals;
    }
  }
  return s;
}

}  // namespace

CompiledPicture compilePicture(std::nullopt_t) {
  CompiledPicture p;
  p.kind = PictureKind::kString;
  p.valueKind = ValueKind::kText;
  for (int i = 0; i < kMaxPositions; ++i) push(p, ' ', TokenClass::kLiteral);
  return p;
}

CompiledPicture compilePicture(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.empty() || text.size() > size_t(kMaxPositions)) return {};
  bool blankWhenZero = false;
  if (text.back() == 'B' || text.back() == 'b') {
    blankWhenZero = true;
    text.remove_suffix(1);
    if (text.size() < 2) return {};
  }
  CompiledPicture p;
  Cursor c(text.substr(1));
  bool ok = false;
  switch (text[0]) {
    case 'S':
    case 's': ok = compileString(c, p); break;
    case 'D':
    case 'd': ok = compileDate(c, p); break;
    case 'T':
    case 't': ok = compileTime(c, p); break;
    case 'N':
    case 'n': ok = compileNumber(c, p); break;
    case 'E':
    case 'e': ok = compileScientific(c, p); break;
    case 'P':
    case 'p':
    case 'K':
    case 'k': ok = compilePattern(text, text[0], p); break;
    default: break;
  }
  if (!ok) return {};
  p.blankWhenZero = blankWhenZero;
  if (p.kind == PictureKind::kNumeric || p.kind == PictureKind::kScientific || p.kind == PictureKind::kPattern) p.shape = shapeOf(p);
  return p;
}

}  // namespace tamsil
