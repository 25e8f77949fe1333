// Drawing one cell by its type.
#include "components/spread/view/cell_painter.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>

#include "components/spread/view/qt_metrics.h"
#include "components/spread/view/sheet_model.h"

namespace spread::view {

namespace {

Qt::Alignment alignmentOf(const Style& style) {
  Qt::Alignment a;
  switch (HAlign(style.hAlign)) {
    case HAlign::Right: a = Qt::AlignRight; break;
    case HAlign::Center: a = Qt::AlignHCenter; break;
    default: a = Qt::AlignLeft; break;
  }
  switch (VAlign(style.vAlign)) {
    case VAlign::Bottom: return a | Qt::AlignBottom;
    case VAlign::Center: return a | Qt::AlignVCenter;
    default: return a | Qt::AlignTop;
  }
}

bool wraps(const Style& style) {
  return (style.type() == CellType::StaticText && style.textWordWrap) || (style.type() == CellType::Edit && style.editMultiLine);
}

bool negative(const CellValue& value) { return std::holds_alternative<double>(value) && std::get<double>(value) < 0; }

double stateOf(const Cell* cell) { return cell && std::holds_alternative<double>(cell->value) ? std::get<double>(cell->value) : 0.0; }

void drawText(QPainter& p, const QRect& rect, const Style& style, const QString& text, QColor colour) {
  const QRect inner = rect.adjusted(int(kCellMarginX), int(kCellMarginY), -int(kCellMarginX), -int(kCellMarginY));
  p.setPen(colour);
  int flags = int(alignmentOf(style));
  if (wraps(style)) flags |= Qt::TextWordWrap;
  if (style.ellipses && !wraps(style)) {
    p.drawText(inner, flags, p.fontMetrics().elidedText(text, Qt::ElideRight, inner.width()));
    return;
  }
  p.drawText(inner, flags, text);
}

void drawButton(QPainter& p, const QRect& rect, const Style& style, const QString& text, bool down, const QWidget* widget) {
  QStyleOptionButton o;
  o.initFrom(widget);
  o.rect = rect.adjusted(1, 1, -1, -1);
  o.text = text;
  o.state = QStyle::State_Enabled | (down ? QStyle::State_Sunken : QStyle::State_Raised);
  o.palette.setColor(QPalette::Button, ToQColor(style.buttonColor));
  o.palette.setColor(QPalette::ButtonText, ToQColor(style.buttonTextColor));
  o.fontMetrics = p.fontMetrics();
  widget->style()->drawControl(QStyle::CE_PushButton, &o, &p, widget);
}

void drawCheckBox(QPainter& p, const QRect& rect, const Style& style, const QString& text, double state, const QWidget* widget) {
  QStyleOptionButton o;
  o.initFrom(widget);
  o.rect = rect.adjusted(int(kCellMarginX), 0, -int(kCellMarginX), 0);
  o.text = style.checkCenter ? QString() : text;
  o.state = QStyle::State_Enabled | (state == 1 ? QStyle::State_On : state == 2 ? QStyle::State_NoChange : QStyle::State_Off);
  o.palette.setColor(QPalette::WindowText, ToQColor(style.foreColor));
  o.fontMetrics = p.fontMetrics();
  if (style.checkCenter) {
    const int side = widget->style()->pixelMetric(QStyle::PM_IndicatorWidth, &o, widget);
    o.rect = QRect(rect.center().x() - side / 2, rect.top(), side, rect.height());
  }
  widget->style()->drawControl(QStyle::CE_CheckBox, &o, &p, widget);
}

void drawCombo(QPainter& p, const QRect& rect, const Style& style, const QString& text, const QWidget* widget) {
  QStyleOptionComboBox o;
  o.initFrom(widget);
  // A combo box keeps a control's height in a tall cell, placed as the cell aligns vertically.
  const int height = std::min(rect.height() - 2, p.fontMetrics().height() + 8);
  const int spare = rect.height() - 2 - height;
  const int top = VAlign(style.vAlign) == VAlign::Bottom ? spare : VAlign(style.vAlign) == VAlign::Center ? spare / 2 : 0;
  o.rect = QRect(rect.left() + 1, rect.top() + 1 + top, rect.width() - 2, height);
  o.currentText = text;
  o.editable = style.comboEditable;
  o.frame = true;
  o.state = QStyle::State_Enabled;
  o.palette.setColor(QPalette::Base, ToQColor(style.backColor));
  o.palette.setColor(QPalette::Text, ToQColor(style.foreColor));
  o.palette.setColor(QPalette::ButtonText, ToQColor(style.foreColor));
  o.fontMetrics = p.fontMetrics();
  widget->style()->drawComplexControl(QStyle::CC_ComboBox, &o, &p, widget);
  widget->style()->drawControl(QStyle::CE_ComboBoxLabel, &o, &p, widget);
}

}  // namespace

QRect CellPainter::spinRect(const Style& style, const QRect& cell) {
  switch (style.type()) {
    case CellType::Date:
    case CellType::Time:
    case CellType::Currency:
    case CellType::Number:
    case CellType::Percent:
    case CellType::Scientific: break;
    default: return {};
  }
  if (!style.spin) return {};
  constexpr int kSpinWidth = 13;
  return QRect(cell.right() - kSpinWidth, cell.top() + 1, kSpinWidth, cell.height() - 2);
}

QRect CellPainter::pictureRect(const Style& style, const QRect& cell, QSize image) {
  if (image.isEmpty() || cell.isEmpty()) return {};
  QSize size = image;
  if (style.pictStretch) size = image.scaled(cell.size(), style.pictMaintainScale ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
  if (style.pictCenter || style.pictStretch) {
    return QRect(cell.left() + (cell.width() - size.width()) / 2, cell.top() + (cell.height() - size.height()) / 2, size.width(),
                 size.height());
  }
  return QRect(cell.topLeft(), size);
}

const QImage& CellPainter::imageOf(const std::shared_ptr<const Picture>& picture) {
  static const QImage none;
  if (!picture) return none;
  // Pictures that went are forgotten, so a new one at the same address is decoded afresh.
  std::erase_if(images_, [](const auto& entry) { return entry.second.picture.expired(); });
  auto it = images_.find(picture.get());
  if (it == images_.end()) {
    QImage image;
    image.loadFromData(picture->bytes.data(), qsizetype(picture->bytes.size()));
    it = images_.emplace(picture.get(), Decoded{picture, std::move(image)}).first;
  }
  return it->second.image;
}

const QFont& CellPainter::fontOf(const Style& style) {
  const int look = int(style.fontBold) | int(style.fontItalic) << 1 | int(style.fontUnderline) << 2 | int(style.fontStrikethru) << 3;
  auto key = std::make_tuple(style.fontName, style.fontSize, look);
  auto it = fonts_.find(key);
  if (it == fonts_.end()) it = fonts_.emplace(std::move(key), FontOf(style, dpi_)).first;
  return it->second;
}

void CellPainter::paint(QPainter& p, const QRect& rect, const Book& book, std::int32_t col, std::int32_t row, CellState state,
                        const QWidget* widget) {
  const Sheet& sheet = book.activeSheet();
  const Style& style = *sheet.styleAt(col, row);
  const Cell* cell = sheet.cell(col, row);
  const BookSettings& settings = book.settings;
  const bool locked = settings.protect && style.lock;
  QColor back = ToQColor(style.backColor), fore = ToQColor(style.foreColor);
  if (locked && settings.lockBackColor != 0xFFFFFF) back = ToQColor(settings.lockBackColor);
  if (locked && settings.lockForeColor != 0x000000) fore = ToQColor(settings.lockForeColor);
  if (style.negRed && cell && negative(cell->value)) fore = Qt::red;
  if (state.selected) {
    back = ToQColor(settings.selBackColor);
    fore = ToQColor(settings.selForeColor);
  }

  p.save();
  p.setClipRect(rect);
  p.fillRect(rect, back);
  p.setFont(fontOf(style));
  const QString text = ToQString(book.shownText(book.activeSheet(), col, row));
  switch (style.type()) {
    case CellType::Button: drawButton(p, rect, style, text, state.pressed || stateOf(cell) == 1, widget); break;
    case CellType::CheckBox: drawCheckBox(p, rect, style, text, stateOf(cell), widget); break;
    case CellType::ComboBox: drawCombo(p, rect, style, text, widget); break;
    case CellType::Picture: {
      const QImage& image = imageOf(style.picture);
      const QRect inner = rect.adjusted(1, 1, -1, -1);
      if (!image.isNull()) p.drawImage(pictureRect(style, inner, image.size()), image);
      break;
    }
    case CellType::OwnerDrawn:
      if (OwnerDrawStyle(style.ownerDrawStyle) == OwnerDrawStyle::Ellipse) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(fore, 1));
        p.drawEllipse(QRectF(rect).adjusted(2.5, 1.5, -2.5, -1.5));
        p.drawText(rect, Qt::AlignCenter, text);
        break;
      }
      drawText(p, rect, style, text, fore);
      break;
    default: {
      const QRect spin = spinRect(style, rect);
      drawText(p, spin.isNull() ? rect : rect.adjusted(0, 0, -spin.width(), 0), style, text, fore);
      if (!spin.isNull()) {
        QStyleOptionSpinBox o;
        o.initFrom(widget);
        o.rect = spin;
        o.state = QStyle::State_Enabled;
        o.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        o.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        o.frame = false;
        widget->style()->drawComplexControl(QStyle::CC_SpinBox, &o, &p, widget);
      }
      break;
    }
  }
  if (state.selected && !IsTypedIn(style.type())) {
    QColor veil = ToQColor(settings.selBackColor);
    veil.setAlpha(70);
    p.fillRect(rect, veil);
  }

  // Grid lines on the right and bottom edges; the cells to the left and above draw the others.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(ToQColor(settings.gridColor), 1, settings.gridSolid ? Qt::SolidLine : Qt::DotLine));
  if (settings.gridShowVert) p.drawLine(rect.topRight(), rect.bottomRight());
  if (settings.gridShowHoriz) p.drawLine(rect.bottomLeft(), rect.bottomRight());
  if (state.active && settings.activeCellHighlightStyle != 0) {
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
  }
  p.restore();
}

}  // namespace spread::view
