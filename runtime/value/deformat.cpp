#include "runtime/value/deformat.h"

#include "runtime/value/calendar.h"
#include "runtime/value/locale.h"

namespace tamsil {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string numberCharacters(std::string_view text) {
  std::string out;
  bool point = false, exponent = false, digit = false;
  for (char c : text) {
    const char last = out.empty() ? '\0' : out.back();
    if (isDigit(c)) out.push_back(c), digit = true;
    else if (c == '.' && !point && !exponent) out.push_back(c), point = true;
    else if ((c == 'e' || c == 'E') && !exponent && digit) out.push_back(c), exponent = true;
    else if (c == '-' && (out.empty() || last == 'e' || last == 'E')) out.push_back(c);
    else if (c == '+' && (last == 'e' || last == 'E')) out.push_back(c);
  }
  // An exponent marker with no digits after it, or a text without digits, makes no number.
  if (exponent) {
    const size_t e = out.find_first_of("eE");
    if (out.find_first_of("0123456789", e) == std::string::npos) out.erase(e);
  }
  if (!digit) out.clear();
  return out;
}

bool isKeyIn(TokenClass c) { return c >= TokenClass::kKeyAlpha && c <= TokenClass::kKeyAny; }

// Numeric, scientific, pattern and key-in pictures: text and positions walk together.
std::string deformatPositions(std::string_view text, const CompiledPicture& p) {
  const bool keyIn = p.kind == PictureKind::kKeyIn;
  std::string out;
  bool negative = false;
  for (size_t k = 0, i = 0; k < p.count && i < text.size(); ++k, ++i) {
    const Token& t = p.tokens[k];
    const char c = text[i];
    switch (t.cls) {
      case TokenClass::kExpSign:
        out.push_back('e');
        if (c == '+' || c == '-') out.push_back(c);
        continue;
      case TokenClass::kImpliedDecimal:  // not shown: the character here is the first decimal
        out.push_back('.');
        if (isDigit(c)) out.push_back(c);
        continue;
      default: break;
    }
    // A '-' or '(' anywhere makes the value negative, except where it is the position's own
    // literal (the '(' and '-' of "(###)###-####" are not signs).
    const bool ownCharacter =
        (t.cls == TokenClass::kLiteral || t.cls == TokenClass::kSeparator || t.cls == TokenClass::kCurrency || t.cls == TokenClass::kGroup) &&
        c == t.ch;
    if (!keyIn && !ownCharacter) {
      if (c == '-' || c == '(') negative = true;
      else if (c == '+') negative = false;
    }
    if (t.cls == TokenClass::kDigit || t.cls == TokenClass::kDigitBlank) {
      if (isDigit(c)) out.push_back(c);
      else if (c == ' ' && t.cls == TokenClass::kDigitBlank) out.push_back('0');
    } else if (t.cls == TokenClass::kGroup && isDigit(c) && c != t.ch) {
      out.push_back(c);  // the integer part overflowed into the grouping position
    } else if (t.cls == TokenClass::kDecimal) {
      out.push_back('.');
    } else if (isKeyIn(t.cls)) {
      out.push_back(c);
    }
  }
  if (negative) out.insert(out.begin(), '-');
  return out;
}

int runEnd(const CompiledPicture& p, size_t k) {
  size_t end = k + 1;
  while (end < p.count && p.tokens[end].cls == p.tokens[k].cls) ++end;
  return int(end);
}

// Dates and times: each field collects the digits of its run of positions; a non-digit ends
// the field early and is matched against the next position.
std::string deformatCalendar(std::string_view text, const CompiledPicture& p) {
  const LocaleData& locale = loadLocale();
  int field[24] = {};  // by token class
  bool read = false, pm = false, am = false;
  const bool platformTexts = p.pictureNumber == 7 || p.pictureNumber == 8;
  const std::string& amText = platformTexts ? locale.localeAm : locale.am;
  const std::string& pmText = platformTexts ? locale.localePm : locale.pm;
  size_t i = 0;
  for (size_t k = 0; k < p.count && i < text.size();) {
    const TokenClass cls = p.tokens[k].cls;
    const size_t end = size_t(runEnd(p, k));
    switch (cls) {
      case TokenClass::kMonth:
      case TokenClass::kDay:
      case TokenClass::kYear:
      case TokenClass::kHour:
      case TokenClass::kMinute:
      case TokenClass::kSecond: {
        int value = 0, digits = 0;
        for (size_t pos = k; pos < end && i < text.size(); ++pos, ++i) {
          const char ch = text[i];
          // A leading blank, or the position's fill, stands for the zero FORMAT replaced by it.
          if (isDigit(ch)) value = value * 10 + (ch - '0'), ++digits;
          else if (digits > 0 || (ch != ' ' && ch != p.tokens[pos].ch)) break;
        }
        if (digits > 0) field[size_t(cls)] = value, read = true;
        k = end;
        continue;
      }
      case TokenClass::kMonthName: {
        if (i + 3 <= text.size())
          for (int m = 0; m < 12; ++m)
            if (collatingCompare(locale, text.substr(i, 3), locale.monthAbbreviations[size_t(m)]) == 0) {
              field[size_t(TokenClass::kMonth)] = m + 1;
              read = true;
              break;
            }
        while (i < text.size() && (locale.charClass[uint8_t(text[i])] & (kClassUpper | kClassLower))) ++i;
        k = end;
        continue;
      }
      case TokenClass::kAmPm: {
        const uint8_t c = locale.toUpper(uint8_t(text[i]));
        if (!pmText.empty() && c == locale.toUpper(uint8_t(pmText[0]))) pm = true;
        else if (!amText.empty() && c == locale.toUpper(uint8_t(amText[0]))) am = true;
        break;
      }
      default: break;
    }
    ++k, ++i;
  }
  if (!read) return "0";
  auto get = [&](TokenClass c) { return field[size_t(c)]; };
  if (p.kind == PictureKind::kDate) {
    const int day = p.pictureNumber >= 13 && p.pictureNumber <= 16 ? 1 : get(TokenClass::kDay);
    return std::to_string(dayNumber(get(TokenClass::kMonth), day, get(TokenClass::kYear), p.centuryWindow, locale.currentYear));
  }
  int hours = get(TokenClass::kHour);
  if (pm && hours != 12) hours += 12;
  if (am && hours == 12) hours = 0;
  const int minutes = get(TokenClass::kMinute), seconds = get(TokenClass::kSecond);
  if (hours >= 24 || minutes >= 60 || seconds >= 60) return "-1";
  return std::to_string(timeNumber(hours, minutes, seconds, 0));
}

}  // namespace

std::string deformat(std::string_view text, const CompiledPicture& p) {
  if (!p.valid()) return {};
  switch (p.kind) {
    case PictureKind::kString: return numberCharacters(text.substr(0, p.count));
    case PictureKind::kDate:
    case PictureKind::kTime: return deformatCalendar(text, p);
    default: return deformatPositions(text, p);
  }
}

std::string deformat(std::string_view text) { return numberCharacters(text); }

}  // namespace tamsil
