// The grid's text metrics measured with Qt's fonts, so rows and columns the model sizes from text
// (MaxTextRowHeight and the like) fit the text as the view draws it; and the conversions between
// the model's texts, colours and fonts and Qt's.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

#include "components/spread/model/metrics.h"
#include "components/spread/model/style.h"

namespace spread::view {

class QtTextMetrics final : public TextMetrics {
 public:
  // dpi: the screen's logical dots per inch (96 when there is no screen).
  explicit QtTextMetrics(double dpi);
  double lineHeight(const TextFont& font) const override;
  double textWidth(const TextFont& font, std::string_view text) const override;
  double pixelsPerPoint() const override { return dpi_ / 72.0; }

 private:
  double dpi_;
};

// The screen's logical dots per inch, 96 without a screen.
double ScreenDpi();

// The model keeps texts in the ANSI code page (Windows-1252).
QString ToQString(std::string_view ansi);
std::string FromQString(const QString& text);

// 0x00BBGGRR as a colour.
inline QColor ToQColor(Colour c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// The font a style draws with, sized in pixels for the given dots per inch.
QFont FontOf(const Style& style, double dpi);
QFont FontOf(const TextFont& face, double dpi);

}  // namespace spread::view
