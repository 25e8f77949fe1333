// FORMAT for date and time pictures.
#include "runtime/value/calendar.h"
#include "runtime/value/format_parts.h"
#include "runtime/value/locale.h"

namespace tamsil {
namespace {

// Writes value into the run of positions [begin, end): the last digits of the value, one per
// position. A leading zero shows the position's own character (its fill), so the default
// pictures show a blank tens digit where they have one; the last position always shows a digit.
void writeField(unsigned value, const Token* t, int begin, int end, char* o) {
  for (int i = end - 1; i >= begin; --i, value /= 10) o[i] = char('0' + value % 10);
  for (int i = begin; i + 1 < end && o[i] == '0'; ++i) o[i] = t[i].ch;
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
  const bool valid = day >= kFirstDay && day <= kLastDay;
  const CivilDate c = splitDay(valid ? int32_t(day) : 0);
  const Token* t = p.tokens.data();
  int dropped = 0;  // month-name positions the name did not fill; removed at the end
  int dropAt[kMaxPositions];
  for (int i = 0; i < p.count;) {
    const int end = runEnd(p, i);
    const TokenClass cls = t[i].cls;
    if (cls == TokenClass::kSeparator || cls == TokenClass::kLiteral) {
      for (int k = i; k < end; ++k) o[k] = t[k].ch;
    } else if (!valid) {
      // An invalid day number leaves the fields blank.
    } else if (cls == TokenClass::kMonth) {
      writeField(unsigned(c.month), t, i, end, o);
    } else if (cls == TokenClass::kDay) {
      writeField(unsigned(c.day), t, i, end, o);
    } else if (cls == TokenClass::kYear) {  // fewer than four positions show the last two digits
      writeField(unsigned(end - i < 4 ? c.year % 100 : c.year), t, i, end, o);
    } else if (cls == TokenClass::kMonthName) {
      const LocaleData& locale = loadLocale();
      const bool full = p.pictureNumber == 4 || p.pictureNumber == 18;
      const std::string& name = full ? locale.monthNames[size_t(c.month - 1)] : locale.monthAbbreviations[size_t(c.month - 1)];
      for (int k = i; k < end; ++k) {
        if (size_t(k - i) >= name.size()) {
          dropAt[dropped++] = k;
          continue;
        }
        const auto ch = uint8_t(name[size_t(k - i)]);
        o[k] = char(full ? ch : locale.toUpper(ch));
      }
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
      case TokenClass::kHour: writeField(unsigned(hours), t, i, end, o); break;
      case TokenClass::kMinute: writeField(unsigned(c.minutes), t, i, end, o); break;
      case TokenClass::kSecond: writeField(unsigned(c.seconds), t, i, end, o); break;
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
