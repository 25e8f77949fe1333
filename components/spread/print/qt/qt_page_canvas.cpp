#include "components/spread/print/qt/qt_page_canvas.h"

#include <QFontMetricsF>

#include "platform/qt/qt_text.h"

namespace spread::print {
namespace {

QColor ColourOf(std::uint32_t rgb) { return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)); }

}  // namespace

QFont QtPageCanvas::font(bool bold, double size) const {
  QFont f("Helvetica");
  f.setStyleHint(QFont::SansSerif);
  f.setBold(bold);
  f.setPointSizeF(size);
  return f;
}

void QtPageCanvas::fillRect(double x, double y, double w, double h, std::uint32_t rgb) {
  painter_.fillRect(QRectF(x * scale_, y * scale_, w * scale_, h * scale_), ColourOf(rgb));
}

void QtPageCanvas::line(double x1, double y1, double x2, double y2, std::uint32_t rgb, double lineWidth) {
  painter_.setPen(QPen(ColourOf(rgb), lineWidth * scale_));
  painter_.drawLine(QPointF(x1 * scale_, y1 * scale_), QPointF(x2 * scale_, y2 * scale_));
}

void QtPageCanvas::text(double x, double y, std::string_view ansi, bool bold, double size, std::uint32_t rgb, double clipX, double clipY,
                        double clipW, double clipH) {
  painter_.save();
  if (clipW > 0) painter_.setClipRect(QRectF(clipX * scale_, clipY * scale_, clipW * scale_, clipH * scale_));
  painter_.setPen(ColourOf(rgb));
  // Point sizes are device-independent; the painter's device decides its pixels per point.
  painter_.setFont(font(bold, size));
  painter_.drawText(QPointF(x * scale_, y * scale_), platform::qt::toQt(ansi));
  painter_.restore();
}

double QtPageCanvas::textWidth(std::string_view ansi, bool bold, double size) const {
  // Measured on the painter's device, given back in points.
  return QFontMetricsF(font(bold, size), painter_.device()).horizontalAdvance(platform::qt::toQt(ansi)) / scale_;
}

}  // namespace spread::print
