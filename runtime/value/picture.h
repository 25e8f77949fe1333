// Pictures: short texts such as "@N-12.2", "@D6", "@T4" or "@P(###)###-####P" that say how a
// number, date, time or string is laid out. compilePicture turns the text into a CompiledPicture,
// an array of typed character positions that FORMAT and DEFORMAT walk. A compiled picture is a
// plain value: callers compile on each call or keep the compiled form.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tamsil {

enum class PictureKind : uint8_t {
  kNumeric = 0,     // @N
  kScientific = 1,  // @E
  kDate = 2,        // @D
  kTime = 3,        // @T
  kPattern = 4,     // @P
  kString = 5,      // @S, and no picture
  kKeyIn = 6,       // @K
};

// How FORMAT reads the value it is given.
enum class ValueKind : uint8_t {
  kText = 0,     // @S, @K
  kWhole = 1,    // @D, @T: a day or time number
  kReal = 2,     // @E
  kDecimal = 3,  // @N, @P: every digit of the decimal form counts
};

// The class of one position; the numbers are part of the compiled form that callers may store.
enum class TokenClass : uint8_t {
  kLiteral = 0,     // shown as is; dropped by DEFORMAT
  kGroup = 1,       // grouping character, shown only after a digit
  kDecimal = 2,     // the decimal point
  kDigit = 3,       // digit position that always shows (fill '0' or '*')
  kDigitBlank = 4,  // digit position showing a blank for a leading zero
  kSign = 5,        // '-', '(' or ')': shown only for negative values
  kCurrency = 6,    // one character of the currency text
  kMonth = 7,
  kDay = 8,
  kYear = 9,
  kMonthName = 10,  // one letter of the month name
  kHour = 11,
  kMinute = 12,
  kSecond = 13,
  kKeyAlpha = 14,        // key-in '@'
  kKeyUpper = 15,        // key-in '^'
  kKeyLower = 16,        // key-in '_'
  kKeyAny = 17,          // key-in '?'
  kSeparator = 19,       // date or time separator, replaceable by the picture's separator letter
  kAmPm = 20,            // first letter of AM/PM here, the second in the next position
  kExpSign = 21,         // exponent sign
  kImpliedDecimal = 22,  // 'V': not shown, but places the point for DEFORMAT
  kKeyStop = 23,         // key-in '|'
};

struct Token {
  char ch = 0;  // the fill, literal or separator character of the position
  TokenClass cls = TokenClass::kLiteral;
};

constexpr int kMaxPositions = 255;

// Where the sections of a numeric, scientific or pattern picture lie; derived by the compiler
// so that FORMAT, called far more often than the compiler, needs no scan of the positions.
struct NumberShape {
  uint8_t point = 0;          // index of the decimal point (shown or implied), else count
  uint8_t expSign = 0;        // index of the exponent sign, else count
  uint8_t integerDigits = 0;  // digit positions before the point
  uint8_t groups = 0;         // grouping positions before the point
  uint8_t decimals = 0;       // digit positions after the point (before any exponent)
  bool blankFill = false;     // some integer position shows a blank for a leading zero
  bool impliedPoint = false;  // the point is implied: not shown
  bool digitGroups = false;   // the grouping character is a digit ('v'): it never gives way
};

// A bad picture leaves every field zero (count 0): FORMAT then gives empty text.
struct CompiledPicture {
  PictureKind kind = PictureKind::kNumeric;
  ValueKind valueKind = ValueKind::kText;
  bool blankWhenZero = false;  // trailing 'B'
  uint8_t count = 0;           // positions: the width of the formatted text
  uint8_t centuryWindow = 0;   // dates: years back from the current year a two-digit year may lie
  uint8_t pictureNumber = 0;   // dates 1..18, times 1..8
  std::array<Token, kMaxPositions> tokens{};
  NumberShape shape;  // @N, @E and @P only

  bool valid() const { return count != 0; }
  const Token* begin() const { return tokens.data(); }
  const Token* end() const { return tokens.data() + count; }
};

// Compiles picture text (with or without the leading '@'); trailing blanks are ignored, since
// pictures often come from blank-padded fields. Anything the grammar does not describe compiles
// to the zero picture. @T7, @T8, @D17 and @D18 come from the locale (loadLocale()).
CompiledPicture compilePicture(std::string_view text);
// No picture at all: 255 string positions.
CompiledPicture compilePicture(std::nullopt_t);

}  // namespace tamsil
