// FORMAT for date and time pictures.
#include "runtime/value/calendar.h"
#include "runtime/value/format_parts.h"
#include "runtime/value/locale.h"

namespace tamsil {
namespace {

// Writes value into the run of positions [begin, end): the last digits of the value, one per
// position. A leading zero shows the position's own character (its fill), so the default
// pictures show a blank tens digit where they have one; the last position always shows a digit.
void writeField(int value, const Token* t, int begin, int end, char* o) {
  bool leading = true;
  int divisor = 1;
  for (int i = begin + 1; i < end; ++i) divisor *= 10;
  for (int i = begin; i < end; ++i, divisor /= 10) {
    const int digit = value / divisor % 10;
    leading = leading && digit == 0 && i + 1 < end;
    o[i] = leading ? t[i].ch : char('0' + digit);
  }
}

int runEnd(const CompiledPicture& p, int i) {
  int end = i + 1;
  while (end < p.count && p.tokens[size_t(end)].cls == p.tokens[size_t(i)].cls) ++end;
  return end;
}

// Copies the token characters of the separators and literals; fields are filled by the caller.
void writeFixed(const CompiledPicture& p, char* o) {
  for (int i = 0; i < p.count; ++i) {
    const TokenClass c = p.tokens[size_t(i)].cls;
    if (c == TokenClass::kSeparator || c == TokenClass::kLiteral) o[i] = p.tokens[size_t(i)].ch;
  }
}

}  // namespace

void formatDate(int64_t day, const CompiledPicture& p, FormattedText& out) {
  char* o = out.reset(p.count);
  if (p.blankWhenZero && day == 0) return;
  writeFixed(p, o);
  if (day < kFirstDay || day > kLastDay) return;
  const CivilDate c = splitDay(int32_t(day));
  const LocaleData* locale = nullptr;
  int yearPositions = 0;
  for (const Token& t : p) yearPositions += t.cls == TokenClass::kYear;
  int dropped = 0;  // month-name positions the name did not fill; removed at the end
  int dropAt[kMaxPositions];
  for (int i = 0; i < p.count;) {
    const Token* t = p.tokens.data();
    const int end = runEnd(p, i);
    switch (t[i].cls) {
      case TokenClass::kMonth: writeField(c.month, t, i, end, o); break;
      case TokenClass::kDay: writeField(c.day, t, i, end, o); break;
      case TokenClass::kYear: writeField(yearPositions < 4 ? c.year % 100 : c.year, t, i, end, o); break;
      case TokenClass::kMonthName: {
        if (!locale) locale = &loadLocale();
        const bool full = p.pictureNumber == 4 || p.pictureNumber == 18;
        const std::string& name = full ? locale->monthNames[size_t(c.month - 1)]
                                       : locale->monthAbbreviations[size_t(c.month - 1)];
        for (int k = i; k < end; ++k) {
          if (size_t(k - i) < name.size()) {
            const auto ch = uint8_t(name[size_t(k - i)]);
            o[k] = char(full ? ch : locale->toUpper(ch));
          } else {
            dropAt[dropped++] = k;
          }
        }
        break;
      }
      default: break;
    }
    i = end;
  }
  while (dropped > 0) out.drop(size_t(dropAt[--dropped]));
}

void formatTime(int64_t time, const CompiledPicture& p, FormattedText& out) {
  char* o = out.reset(p.count);
  if (p.blankWhenZero && time == 0) return;
  writeFixed(p, o);
  if (time <= 0 || time > kLastTime) {
    for (int i = 0; i < p.count; ++i)  // the AM/PM pair's second position is a literal
      if (p.tokens[size_t(i)].cls == TokenClass::kAmPm && i + 1 < p.count) o[i + 1] = ' ';
    return;
  }
  const ClockTime c = splitTime(int32_t(time));
  bool twelveHour = false;
  for (const Token& t : p) twelveHour |= t.cls == TokenClass::kAmPm;
  const bool pm = twelveHour && c.hours >= 12;
  int hours = c.hours;
  if (twelveHour && hours > 12) hours -= 12;
  if (twelveHour && hours == 0) hours = 12;
  const Token* t = p.tokens.data();
  for (int i = 0; i < p.count;) {
    const int end = runEnd(p, i);
    switch (t[i].cls) {
      case TokenClass::kHour: writeField(hours, t, i, end, o); break;
      case TokenClass::kMinute: writeField(c.minutes, t, i, end, o); break;
      case TokenClass::kSecond: writeField(c.seconds, t, i, end, o); break;
      case TokenClass::kAmPm: {
        // @T7 and @T8 show the platform's texts, the other pictures the runtime's.
        const LocaleData& l = loadLocale();
        const bool platformTexts = p.pictureNumber == 7 || p.pictureNumber == 8;
        const std::string& text = pm ? (platformTexts ? l.localePm : l.pm) : (platformTexts ? l.localeAm : l.am);
        o[i] = text.empty() ? ' ' : text[0];
        if (i + 1 < p.count) o[i + 1] = text.size() > 1 ? text[1] : ' ';
        i += 2;
        continue;
      }
      default: break;
    }
    i = end;
  }
}

}  // namespace tamsil
