#include "runtime/value/picture_layout.h"

#include <string>

#include "runtime/value/calendar.h"

namespace tamsil {
namespace {

// A layout is a string of position codes, so that every picture is one line of a table:
//   m d h  month/day/hour digit showing a blank for a zero tens digit
//   M D H  month/day/hour digit showing '0';  Y year, I minute, S second digit ('0')
//   N      month-name letter;  X x  the AM/PM pair ('X' then 'M')
//   / :    separator showing the given separator character;  ~ separator showing a blank
//   other  a literal
constexpr std::string_view kDateLayouts[] = {
    "mM/DD/YY", "mM/DD/YYYY", "NNN dD,YYYY", "NNNNNNNNNNNN dD, YYYY",
    "dD/MM/YY", "dD/MM/YYYY", "dD~NNN~YY",   "dD~NNN~YYYY",
    "YY/MM/DD", "YYYY/MM/DD", "YYMMDD",      "YYYYMMDD",
    "MM/YY",    "MM/YYYY",    "YY/MM",       "YYYY/MM",
};
constexpr std::string_view kTimeLayouts[] = {
    "hH:II", "hHII", "hH:IIXx", "hH:II:SS", "hHIISS", "hH:II:SSXx",
};

Token tokenFor(char code, char sep) {
  switch (code) {
    case 'm': return {' ', TokenClass::kMonth};
    case 'M': return {'0', TokenClass::kMonth};
    case 'd': return {' ', TokenClass::kDay};
    case 'D': return {'0', TokenClass::kDay};
    case 'Y': return {'0', TokenClass::kYear};
    case 'N': return {' ', TokenClass::kMonthName};
    case 'h': return {' ', TokenClass::kHour};
    case 'H': return {'0', TokenClass::kHour};
    case 'I': return {'0', TokenClass::kMinute};
    case 'S': return {'0', TokenClass::kSecond};
    case 'X': return {'X', TokenClass::kAmPm};
    case 'x': return {'M', TokenClass::kLiteral};
    case '/':
    case ':': return {sep ? sep : code, TokenClass::kSeparator};
    case '~': return {' ', TokenClass::kSeparator};
    default: return {code, TokenClass::kLiteral};
  }
}

CompiledPicture build(PictureKind kind, int number, std::string_view layout, char sep = 0) {
  CompiledPicture p;
  p.kind = kind;
  p.valueKind = ValueKind::kWhole;
  p.pictureNumber = uint8_t(number);
  if (kind == PictureKind::kDate) p.centuryWindow = kDefaultCenturyWindow;
  for (char c : layout) p.tokens[p.count++] = tokenFor(c, sep);
  return p;
}

// Length of the run of letter c starting at format[at].
size_t runLength(std::string_view format, size_t at) {
  size_t n = 0;
  while (at + n < format.size() && format[at + n] == format[at]) ++n;
  return n;
}

// Position of the first unquoted c in a locale format ('...' quotes literal text).
size_t findUnquoted(std::string_view format, char c) {
  bool quoted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '\'') quoted = !quoted;
    else if (!quoted && format[i] == c) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool layoutDatePicture(int number, CompiledPicture& out) {
  if (number < 1 || number > 16) return false;
  out = build(PictureKind::kDate, number, kDateLayouts[number - 1]);
  return true;
}

bool layoutTimePicture(int number, CompiledPicture& out) {
  if (number < 1 || number > 6) return false;
  out = build(PictureKind::kTime, number, kTimeLayouts[number - 1]);
  return true;
}

CompiledPicture localeTimePicture(int number, bool twelveHour, bool leadingZero, char sep) {
  std::string layout = leadingZero ? "HH:II" : "hH:II";
  if (number == 8) layout += ":SS";
  if (twelveHour) layout += " Xx";
  return build(PictureKind::kTime, number, layout, sep);
}

CompiledPicture localeShortDatePicture(std::string_view format) {
  auto field = [&](char letter, std::string_view zeroTens, std::string_view blankTens) {
    const size_t at = findUnquoted(format, letter);
    return at != std::string_view::npos && runLength(format, at) >= 2 ? zeroTens : blankTens;
  };
  const std::string_view month = field('M', "MM", "mM"), day = field('d', "DD", "dD");
  const size_t y = findUnquoted(format, 'y');
  const std::string_view year = y != std::string_view::npos && runLength(format, y) >= 3 ? "YYYY" : "YY";
  char sep = '/';
  if (const size_t last = format.rfind('M'); last != std::string_view::npos && last + 1 < format.size()) sep = format[last + 1];
  std::string layout;
  const char first = format.empty() ? 'M' : format[0];
  if (first == 'd') layout = std::string(day) + "/" + std::string(month) + "/" + std::string(year);
  else if (first == 'y') layout = std::string(year) + "/" + std::string(month) + "/" + std::string(day);
  else layout = std::string(month) + "/" + std::string(day) + "/" + std::string(year);
  return build(PictureKind::kDate, 17, layout, sep);
}

CompiledPicture localeLongDatePicture(std::string_view format) {
  struct Field {
    char letter;
    std::string_view layout;
    size_t at;
  };
  Field fields[3] = {{'M', "NNNNNNNNNNNN", 0}, {'d', "dD", 0}, {'y', "YYYY", 0}};
  for (Field& f : fields) f.at = findUnquoted(format, f.letter);  // absent fields go last
  std::string layout;
  for (int pass = 0; pass < 3; ++pass) {
    Field* next = nullptr;
    for (Field& f : fields)
      if (f.letter != 0 && (next == nullptr || f.at < next->at)) next = &f;
    if (!layout.empty()) layout += '~';
    layout += next->layout;
    next->letter = 0;
  }
  return build(PictureKind::kDate, 18, layout);
}

void applyFillAndSeparator(CompiledPicture& picture, char fill, char separator) {
  const bool date = picture.kind == PictureKind::kDate;
  for (int i = 0; i < picture.count; ++i) {
    Token& t = picture.tokens[size_t(i)];
    const auto c = uint8_t(t.cls);
    const bool field = date ? c >= uint8_t(TokenClass::kMonth) && c <= uint8_t(TokenClass::kMonthName)
                            : c >= uint8_t(TokenClass::kHour) && c <= uint8_t(TokenClass::kSecond);
    if (fill && field) t.ch = fill;
    if (separator && t.cls == TokenClass::kSeparator) t.ch = separator;
  }
}

}  // namespace tamsil
