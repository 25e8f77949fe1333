#include "platform/qt/qt_text.h"

#include <array>

namespace platform::qt {

namespace {

// 0x80..0x9F of Windows-1252; the rest of the code page equals Latin-1. Unused bytes map to
// the C1 control of the same value, as the code page's best-fit table does.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString toQt(std::string_view ansi) {
  QString out;
  out.reserve(qsizetype(ansi.size()));
  for (const char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    out += (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
  }
  return out;
}

char ansiChar(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == u) return char(0x80 + i);
  return 0;
}

std::string fromQt(const QString& text) {
  std::string out;
  out.reserve(size_t(text.size()));
  for (const QChar c : text) {
    const char a = ansiChar(c);
    out += (a || c.isNull()) ? a : '?';
  }
  return out;
}

QString withoutMnemonics(std::string_view ansi) {
  std::string out;
  for (size_t i = 0; i < ansi.size(); ++i) {
    if (ansi[i] == '&' && i + 1 < ansi.size()) ++i;
    out += ansi[i];
  }
  return toQt(out);
}

QString objectNameFor(HWND hwnd) { return QStringLiteral("hwnd:%1").arg(quintptr(hwnd), 0, 16); }

}  // namespace platform::qt
