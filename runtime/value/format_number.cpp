// FORMAT for numeric, scientific and pattern pictures.
#include <cstdlib>

#include "runtime/value/format_parts.h"

namespace tamsil {
namespace {

bool isDigitToken(TokenClass c) { return c == TokenClass::kDigit || c == TokenClass::kDigitBlank; }
bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

// The digits a number shows once rounded: the integer part without leading zeros, then exactly
// as many decimals as the picture has positions.
struct ShownDigits {
  char integer[kMaxPositions + 2];
  int integerCount = 0;  // may exceed the picture's positions: overflow
  char decimals[kMaxPositions];
  int decimalCount = 0;
  int exponent = 0;  // scientific pictures: the shown exponent
  bool overflow = false;
  bool zero = true;
};

// Rounds to `decimals` places: the first digit beyond them decides, 5 or more rounds up with
// carries, and a carry out of the first digit adds a leading 1.
void roundFixed(const DecimalDigits& v, int decimals, ShownDigits& s) {
  s.decimalCount = decimals;
  if (!v.finite || v.pointPos > kMaxPositions) {
    s.overflow = true;
    return;
  }
  const int64_t point = v.pointPos;
  const int64_t n = int64_t(v.digits.size());
  const int integerCount = point > 0 ? int(point) : 0;
  const int len = integerCount + decimals;
  char buf[2 * kMaxPositions + 2];
  buf[0] = '0';  // room for a carry out of the first digit
  for (int j = 0; j < len; ++j) {
    const int64_t i = point - integerCount + j;
    buf[1 + j] = i >= 0 && i < n ? v.digits[size_t(i)] : '0';
  }
  const int64_t next = point + decimals;
  if (next >= 0 && next < n && v.digits[size_t(next)] >= '5') {
    int j = len;
    while (j >= 0 && buf[j] == '9') buf[j--] = '0';
    if (j >= 0) ++buf[j];
  }
  int start = 0;
  while (start < 1 + integerCount && buf[start] == '0') ++start;
  for (int j = start; j < 1 + integerCount; ++j) s.integer[s.integerCount++] = buf[j];
  for (int j = 0; j < decimals; ++j) s.decimals[j] = buf[1 + integerCount + j];
  s.zero = s.integerCount == 0;
  for (int j = 0; j < decimals && s.zero; ++j) s.zero = s.decimals[j] == '0';
}

// Scientific: the significant digits move so that the integer part fills all `integerDigits`
// positions and the exponent takes the difference.
void roundScientific(const DecimalDigits& v, int integerDigits, int decimals, ShownDigits& s) {
  s.decimalCount = decimals;
  if (!v.finite) {
    s.overflow = true;
    return;
  }
  if (v.digits.empty()) {
    for (int j = 0; j < decimals; ++j) s.decimals[j] = '0';
    return;
  }
  const int len = integerDigits + decimals;
  char buf[2 * kMaxPositions + 2];
  buf[0] = '0';
  for (int j = 0; j < len; ++j) buf[1 + j] = size_t(j) < v.digits.size() ? v.digits[size_t(j)] : '0';
  int64_t exponent = v.pointPos - integerDigits;
  if (size_t(len) < v.digits.size() && v.digits[size_t(len)] >= '5') {
    int j = len;
    while (j >= 0 && buf[j] == '9') buf[j--] = '0';
    if (j >= 0) ++buf[j];
  }
  const char* d = buf + 1;
  if (buf[0] == '1') {  // carried out: 99.9 became 100.0, one place more in the exponent
    d = buf;
    ++exponent;
  }
  if (exponent > 999 || exponent < -999) {
    s.overflow = true;
    return;
  }
  s.exponent = int(exponent);
  for (int j = 0; j < integerDigits; ++j) s.integer[s.integerCount++] = d[j];
  for (int j = 0; j < decimals; ++j) s.decimals[j] = d[integerDigits + j];
  s.zero = false;
}

}  // namespace

void formatNumber(const DecimalDigits& value, const CompiledPicture& p, FormattedText& out) {
  char* o = out.reset(p.count);
  if (p.blankWhenZero && value.isZero()) return;
  const int count = p.count;
  const Token* t = p.tokens.data();

  const NumberShape& shape = p.shape;
  const int point = shape.point, expSign = shape.expSign, integerDigits = shape.integerDigits, groups = shape.groups, decimals = shape.decimals;
  const bool blankFill = shape.blankFill;
  if (integerDigits + decimals == 0 && p.kind == PictureKind::kPattern) return;

  ShownDigits s;
  if (p.kind == PictureKind::kScientific) roundScientific(value, integerDigits, decimals, s);
  else roundFixed(value, decimals, s);
  // A grouping character that is itself a digit cannot give way: a digit there could not be
  // told from it when the text is read back.
  const int usableGroups = shape.digitGroups ? 0 : groups;
  if (s.integerCount > integerDigits + usableGroups) s.overflow = true;
  const bool negative = value.negative && !s.zero;

  if (s.overflow) {
    for (int i = 0; i < count; ++i) {
      const TokenClass c = t[i].cls;
      if (isDigitToken(c) || c == TokenClass::kGroup || c == TokenClass::kExpSign) o[i] = '#';
      else if (c == TokenClass::kSign) o[i] = negative ? t[i].ch : ' ';
      else if (c != TokenClass::kImpliedDecimal) o[i] = t[i].ch;
    }
  } else {
    // Grouping positions give way to digits from the left when the digits need them: counted
    // from the left, the first `convert` groups take digits.
    const int convert = s.integerCount > integerDigits ? s.integerCount - integerDigits : 0;
    int r = s.integerCount - 1;
    int groupNumber = groups;  // of the next group met, counted from the left
    for (int i = point - 1; i >= 0; --i) {
      const TokenClass c = t[i].cls;
      const bool converted = c == TokenClass::kGroup && usableGroups > 0 && groupNumber-- <= convert;
      if (isDigitToken(c) || converted) {
        o[i] = r >= 0 ? s.integer[r--] : t[i].ch;  // a leading position shows its own character
      } else if (c == TokenClass::kSign) {
        o[i] = negative ? t[i].ch : ' ';
      } else if (c != TokenClass::kGroup) {
        o[i] = t[i].ch;
      }
    }
    for (int i = 0; i < point; ++i) {
      if (t[i].cls != TokenClass::kGroup || isDigitChar(o[i])) continue;  // converted: a digit
      const char before = i > 0 ? o[i - 1] : ' ';
      if (isDigitChar(before)) o[i] = t[i].ch;
      else if (before == '*') o[i] = '*';
      // A sign before an empty grouping position floats right; with blank-filled digits the
      // sign moves up to the first digit below instead.
      else if (!blankFill && i > 0 && t[i - 1].cls == TokenClass::kSign && before != ' ') o[i] = before, o[i - 1] = ' ';
      else o[i] = ' ';
    }
    for (int i = point, d = 0; i < count; ++i) {
      const TokenClass c = t[i].cls;
      if (i < expSign && isDigitToken(c)) o[i] = s.decimals[d++];
      else if (c == TokenClass::kSign) o[i] = negative ? t[i].ch : ' ';
      else if (c == TokenClass::kExpSign) o[i] = s.exponent < 0 ? '-' : '+';
      else if (c != TokenClass::kImpliedDecimal && !(i > expSign && isDigitToken(c))) o[i] = t[i].ch;
    }
    // The three exponent digits.
    int e = std::abs(s.exponent);
    for (int i = count - 1; i > expSign; --i)
      if (isDigitToken(t[i].cls)) o[i] = char('0' + e % 10), e /= 10;

    // Blank-filled digits: leading currency and sign characters float to the first digit shown.
    const bool leadingMark = t[0].cls == TokenClass::kCurrency || t[0].cls == TokenClass::kSign;
    if (blankFill && leadingMark) {
      char held[kMaxPositions];
      int h = 0;
      int i = 0;
      for (; i < count && (t[i].cls == TokenClass::kCurrency || t[i].cls == TokenClass::kSign); ++i)
        if (t[i].cls == TokenClass::kCurrency || o[i] != ' ') held[h++] = o[i], o[i] = ' ';  // a hidden sign is not held
      while (i < count && !isDigitChar(o[i])) ++i;
      if (i < count)
        for (int k = 0; k < h; ++k) o[i - h + k] = held[k];
    }
  }
  if (shape.impliedPoint)
    for (int i = count - 1; i >= 0; --i)
      if (t[i].cls == TokenClass::kImpliedDecimal) out.drop(size_t(i));
}

}  // namespace tamsil
