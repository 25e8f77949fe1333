// Qt text metrics and the conversions between the model's values and Qt's.
#include "components/spread/view/qt_metrics.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "platform/com/wide_text.h"

namespace spread::view {

QtTextMetrics::QtTextMetrics(double dpi) : dpi_(dpi > 0 ? dpi : 96.0) {}

double QtTextMetrics::lineHeight(const TextFont& font) const { return QFontMetricsF(FontOf(font, dpi_)).lineSpacing(); }

double QtTextMetrics::textWidth(const TextFont& font, std::string_view text) const {
  return QFontMetricsF(FontOf(font, dpi_)).horizontalAdvance(ToQString(text));
}

double ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchY() : 96.0;
}

QString ToQString(std::string_view ansi) {
  const std::u16string wide = platform::ansiToWide(ansi);
  return QString::fromUtf16(wide.data(), qsizetype(wide.size()));
}

std::string FromQString(const QString& text) {
  return platform::wideToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
}

QFont FontOf(const TextFont& face, double dpi) {
  QFont font(ToQString(face.name));
  // Fonts the machine lacks fall back to a sans-serif face of the same size.
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, int(std::lround(face.size * dpi / 72.0))));
  font.setBold(face.bold);
  font.setItalic(face.italic);
  return font;
}

QFont FontOf(const Style& style, double dpi) {
  QFont font = FontOf(TextFont{style.fontName, style.fontSize, style.fontBold, style.fontItalic}, dpi);
  font.setUnderline(style.fontUnderline);
  font.setStrikeOut(style.fontStrikethru);
  return font;
}

}  // namespace spread::view
