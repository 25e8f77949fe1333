#include "platform/qt/qt_frame.h"

#include <QLinearGradient>
#include <QPainter>

namespace platform::qt {

namespace {

constexpr int kCaptionHeight = 23;  // as the model's frame metrics reserve for a caption

// The caption buttons at the right end of the caption: close, then maximize and minimize.
void drawCaptionButtons(QPainter& p, const QRect& caption, bool sizeBoxes) {
  const int size = caption.height() - 6;
  QRect box(caption.right() - 3 - size, caption.top() + 3, size, size);
  p.setPen(QPen(Qt::white, 1.5));
  for (int i = 0; i < (sizeBoxes ? 3 : 1); ++i) {
    const QRect glyph = box.adjusted(5, 5, -5, -5);
    if (i == 0) {  // close
      p.drawLine(glyph.topLeft(), glyph.bottomRight());
      p.drawLine(glyph.topRight(), glyph.bottomLeft());
    } else if (i == 1) {  // maximize
      p.drawRect(glyph);
    } else {  // minimize
      p.drawLine(glyph.bottomLeft(), glyph.bottomRight());
    }
    box.translate(-(size + 2), 0);
  }
}

}  // namespace

QImage framedWindow(const QPixmap& content, const QString& title, const FrameMetrics& frame, bool active, bool sizeBoxes) {
  const int border = frame.left;
  const bool hasCaption = frame.top - border >= kCaptionHeight;
  const int captionHeight = hasCaption ? kCaptionHeight : 0;
  const QSize size(content.width() + frame.left + frame.right, content.height() + border + captionHeight + frame.bottom);
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(0xD4, 0xD0, 0xC8));
  QPainter p(&image);
  p.setPen(QColor(0x40, 0x40, 0x40));
  p.drawRect(image.rect().adjusted(0, 0, -1, -1));
  if (hasCaption) {
    const QRect caption(border, border, size.width() - 2 * border, captionHeight);
    QLinearGradient fill(caption.topLeft(), caption.topRight());
    fill.setColorAt(0, active ? QColor(0x0A, 0x24, 0x6A) : QColor(0x80, 0x80, 0x80));
    fill.setColorAt(1, active ? QColor(0xA6, 0xCA, 0xF0) : QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(caption, fill);
    QFont font = p.font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(caption.adjusted(6, 0, -80, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
    drawCaptionButtons(p, caption, sizeBoxes);
  }
  p.drawPixmap(border, border + captionHeight, content);
  return image;
}

}  // namespace platform::qt
