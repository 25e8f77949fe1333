// The cell delegate: draws each cell through CellPainter and makes the editor each typed-in type
// takes: a date editor in the cell's day/month/year order (four-digit years while editing), a
// line edit keeping an edit cell's length, case, characters and password echo (a multi-line
// editor for multi-line cells), a line edit for numbers that starts from the number itself, an
// input mask for picture-mask cells, a time editor in 12 or 24 hours with or without seconds, and
// a combo box (editable or not) over the cell's items.
//
// Editors never write to the book themselves: the view reads EditorText when the person commits
// and hands it to the book, whose cell rules accept or refuse it.
#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <string>

#include "components/spread/view/cell_painter.h"

namespace spread::view {

class CellDelegate final : public QStyledItemDelegate {
 public:
  CellDelegate(Book& book, CellPainter& painter, QObject* parent);

  // What the view says of a cell while it is drawn (selected, active, pressed).
  std::function<CellState(const QModelIndex&)> stateOf;
  // A combo box editor's item was chosen (by click or keys); index into the cell's items.
  std::function<void(QWidget* editor, int index)> comboChosen;
  // Enter in an editor other than a multi-line one: commit and close (the view moves on).
  std::function<void(QWidget* editor)> enterPressed;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  Book& book_;
  CellPainter& painter_;
};

// The text an editor made by CellDelegate holds, in a form the cell's type reads: dates as
// YYYYMMDD, times as HH:MM:SS, a mask with nothing typed as empty text.
std::string EditorText(QWidget* editor);
// Puts text typed on a cell (the key that started the edit) into its fresh editor, replacing
// what it held; false for editors that take keys only (date, time, a fixed list), which are then
// sent the key itself.
bool TypeIntoEditor(QWidget* editor, const QString& text);

// The Qt input mask for a picture mask ("(999) 999-9999" -> "(999) 999-9999" with Qt's literals
// escaped; U and L become upper- and lower-case letters).
QString QtInputMask(std::string_view mask);
// The Qt date format the editor of a date cell uses, and the time editor's.
QString EditorDateFormat(const Style& style);
QString EditorTimeFormat(const Style& style);

}  // namespace spread::view
