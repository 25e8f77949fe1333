// The grid view: what the person does with keys and mouse, handed to the book.
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "components/spread/view/qt_metrics.h"
#include "components/spread/view/spread_view.h"
#include "platform/qt/qt_keys.h"

namespace spread::view {

namespace {

// Virtual key codes beyond the book's own.
enum : std::int16_t { kKeyReturn = 13, kKeySpace = 32, kKeyPageUp = 33, kKeyPageDown = 34, kKeyDelete = 46, kKeyF2 = 113 };
// The Shift argument of KeyDown: bits for Shift, Ctrl and Alt.
enum : std::int16_t { kShift = 1, kCtrl = 2, kAlt = 4 };

std::int16_t shiftBits(Qt::KeyboardModifiers m) {
  return std::int16_t((m & Qt::ShiftModifier ? kShift : 0) | (m & Qt::ControlModifier ? kCtrl : 0) | (m & Qt::AltModifier ? kAlt : 0));
}

CellType typeAt(const Book& book, std::int32_t c, std::int32_t r) { return book.activeSheet().styleAt(c, r)->type(); }

}  // namespace

std::int32_t SpreadView::pageRows() const {
  const int row = std::max(verticalHeader()->defaultSectionSize(), 1);
  return std::max(1, viewport()->height() / row - 1);
}

bool SpreadView::startEdit(const QKeyEvent* typed) {
  if (state() == EditingState) return true;
  const QModelIndex i = currentIndex();
  if (!i.isValid() || !book_.beginEdit()) return false;
  if (!QTableView::edit(i, AllEditTriggers, nullptr)) {
    book_.cancelEdit();
    return false;
  }
  QWidget* editor = indexWidget(i);
  if (editor && typed && !TypeIntoEditor(editor, typed->text())) {
    QKeyEvent copy(typed->type(), typed->key(), typed->modifiers(), typed->text());
    QCoreApplication::sendEvent(editor, &copy);
  }
  if (auto* combo = qobject_cast<QComboBox*>(editor); combo && !typed) combo->showPopup();
  return true;
}

void SpreadView::afterMove(bool extend) {
  Sheet& s = book_.activeSheet();
  headerSelecting_.reset();
  if (extend && (anchorCol_ != s.activeCol || anchorRow_ != s.activeRow)) {
    s.selection = {Block{std::min(anchorCol_, s.activeCol), std::min(anchorRow_, s.activeRow), std::max(anchorCol_, s.activeCol),
                         std::max(anchorRow_, s.activeRow)}};
    showSelection();
    showActiveCell(QItemSelectionModel::NoUpdate);
  } else {
    anchorCol_ = s.activeCol;
    anchorRow_ = s.activeRow;
    showActiveCell(QItemSelectionModel::ClearAndSelect);
    s.selection.clear();
  }
  scrollTo(currentIndex());
  viewport()->update();
}

void SpreadView::moveBy(EnterAction action) {
  const Sheet& s = book_.activeSheet();
  std::int32_t c = s.activeCol, r = s.activeRow;
  switch (action) {
    case EnterAction::Up: r = std::max(1, r - 1); break;
    case EnterAction::Down: r = std::min(s.maxRows(), r + 1); break;
    case EnterAction::Left: c = std::max(1, c - 1); break;
    case EnterAction::Right: c = std::min(s.maxCols(), c + 1); break;
    case EnterAction::Next: book_.keyDown(kKeyTab, 0); return;
    case EnterAction::Previous: book_.keyDown(kKeyTab, kShift); return;
    case EnterAction::NextRow:
      c = 1;
      r = std::min(s.maxRows(), r + 1);
      break;
    default: return;
  }
  book_.setActiveCell(c, r);
}

void SpreadView::keyPressEvent(QKeyEvent* event) {
  if (state() == EditingState) {
    QTableView::keyPressEvent(event);
    return;
  }
  const Sheet& s = book_.activeSheet();
  const std::int32_t fromCol = s.activeCol, fromRow = s.activeRow;
  int qtKey = event->key();
  Qt::KeyboardModifiers mods = event->modifiers();
  if (qtKey == Qt::Key_Backtab) {
    qtKey = Qt::Key_Tab;
    mods |= Qt::ShiftModifier;
  }
  const auto vk = std::int16_t(platform::qt::virtualKey(qtKey));
  bool extend = false;
  if (vk != 0) {
    const std::int16_t key = book_.keyDown(vk, shiftBits(mods));
    switch (key) {
      case 0: event->accept(); return;  // the program swallowed it
      case kKeyLeft:
      case kKeyRight:
      case kKeyUp:
      case kKeyDown:
      case kKeyHome:
      case kKeyEnd: extend = (mods & Qt::ShiftModifier) != 0; break;
      case kKeyPageUp: book_.setActiveCell(s.activeCol, std::max(1, s.activeRow - pageRows())); break;
      case kKeyPageDown: book_.setActiveCell(s.activeCol, std::min(s.maxRows(), s.activeRow + pageRows())); break;
      case kKeyReturn: moveBy(EnterAction(book_.settings.editEnterAction)); break;
      case kKeyF2: startEdit(); break;
      case kKeyDelete:
        // Empties a cell the person may type into, as an edit that left it empty would.
        if (IsTypedIn(typeAt(book_, s.activeCol, s.activeRow)) && book_.beginEdit()) {
          (void)book_.commitEdit({}, nullptr);  // empty text is taken by every cell type
          model_.cellChanged(s.activeCol, s.activeRow);
        }
        break;
      case kKeySpace: {
        const CellType t = typeAt(book_, s.activeCol, s.activeRow);
        if (t == CellType::Button || t == CellType::CheckBox) {
          book_.pressButton(s.activeCol, s.activeRow);
          model_.cellChanged(s.activeCol, s.activeRow);
          event->accept();
          return;
        }
        break;
      }
      default: break;
    }
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    const std::string ansi = FromQString(text.left(1));
    const std::int16_t ch = book_.keyPress(std::int16_t(static_cast<unsigned char>(ansi.empty() ? '?' : ansi[0])));
    if (ch != 0 && IsTypedIn(typeAt(book_, s.activeCol, s.activeRow))) {
      // The program may have changed the character.
      const QKeyEvent changed(QEvent::KeyPress, event->key(), event->modifiers(), ToQString(std::string(1, char(ch))));
      startEdit(&changed);
      event->accept();
      return;
    }
  }
  // Keys that moved nothing (Shift alone, letters the program swallowed) leave the selection be.
  if (s.activeCol != fromCol || s.activeRow != fromRow) afterMove(extend);
  event->accept();
}

void SpreadView::mousePressEvent(QMouseEvent* event) {
  const QModelIndex i = indexAt(event->position().toPoint());
  if (!i.isValid()) {
    QTableView::mousePressEvent(event);
    return;
  }
  const std::int32_t c = SheetModel::colOf(i), r = SheetModel::rowOf(i);
  if (event->button() == Qt::RightButton) {
    // In the grid's own coordinates, headers included.
    const QPoint p = viewport()->mapTo(this, event->position().toPoint());
    book_.rightClickCell(c, r, p.x(), p.y());
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  book_.clickCell(c, r);
  const Sheet& s = book_.activeSheet();
  if (s.activeCol != c || s.activeRow != r) return;  // LeaveCell was cancelled
  {
    Syncing syncing(*this);
    QTableView::mousePressEvent(event);
  }
  book_.activeSheet().selection.clear();
  headerSelecting_.reset();
  anchorCol_ = c;
  anchorRow_ = r;
  const CellType t = typeAt(book_, c, r);
  const QRect spin = CellPainter::spinRect(*book_.activeSheet().styleAt(c, r), visualRect(i));
  if (spin.contains(event->position().toPoint())) {
    // The upper half steps up, the lower half down.
    book_.spin(c, r, event->position().y() < spin.center().y());
    model_.cellChanged(c, r);
  } else if (t == CellType::Button || t == CellType::CheckBox) {
    pressed_ = i;
    viewport()->update();
  } else if (t == CellType::ComboBox) {
    startEdit();
  }
}

void SpreadView::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (!pressed_.isValid()) return;
  const QModelIndex at = indexAt(event->position().toPoint());
  const QPersistentModelIndex was = pressed_;
  pressed_ = QPersistentModelIndex();
  if (at == was) {
    book_.pressButton(SheetModel::colOf(at), SheetModel::rowOf(at));
    model_.cellChanged(SheetModel::colOf(at), SheetModel::rowOf(at));
  }
  viewport()->update();
}

void SpreadView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex i = indexAt(event->position().toPoint());
  if (!i.isValid() || event->button() != Qt::LeftButton) {
    QTableView::mouseDoubleClickEvent(event);
    return;
  }
  book_.doubleClickCell(SheetModel::colOf(i), SheetModel::rowOf(i));
  showActiveCell(QItemSelectionModel::ClearAndSelect);
  if (IsTypedIn(typeAt(book_, SheetModel::colOf(i), SheetModel::rowOf(i)))) startEdit();
}

void SpreadView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  // Qt moved the current cell itself (a header click, a drag): the book decides.
  if (!book_.setActiveCell(SheetModel::colOf(current), SheetModel::rowOf(current)))
    QMetaObject::invokeMethod(
        this, [this] { showActiveCell(QItemSelectionModel::NoUpdate); }, Qt::QueuedConnection);
}

void SpreadView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (!syncing_) mirrorSelection();
}

void SpreadView::mirrorSelection() {
  Sheet& s = book_.activeSheet();
  std::vector<Block> blocks;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    Block b{range.left() + 1, range.top() + 1, range.right() + 1, range.bottom() + 1};
    if (headerSelecting_ == Qt::Horizontal && range.top() == 0 && range.bottom() == s.maxRows() - 1) b.row = b.row2 = kAll;
    if (headerSelecting_ == Qt::Vertical && range.left() == 0 && range.right() == s.maxCols() - 1) b.col = b.col2 = kAll;
    blocks.push_back(b);
  }
  // One cell selected is only the active cell.
  if (blocks.size() == 1 && blocks[0].col == blocks[0].col2 && blocks[0].row == blocks[0].row2 && blocks[0].col != kAll &&
      blocks[0].row != kAll)
    blocks.clear();
  s.selection = std::move(blocks);
}

void SpreadView::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  reportTopLeft();
}

void SpreadView::commitData(QWidget* editor) {
  if (!book_.editing()) return;
  const Sheet& s = book_.activeSheet();
  std::string error;
  refused_ = !book_.commitEdit(EditorText(editor), &error);
  if (refused_) {
    lastRefusal_ = error;
    QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), ToQString(error), editor);
    return;
  }
  lastRefusal_.clear();
  model_.cellChanged(s.activeCol, s.activeRow);
}

void SpreadView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (hint == QAbstractItemDelegate::RevertModelCache) {
    refused_ = false;
    book_.cancelEdit();
  } else if (refused_) {
    // The book refused what was typed: the edit goes on until it is put right or cancelled.
    refused_ = false;
    editor->setFocus();
    return;
  }
  if (book_.editing()) book_.cancelEdit();
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  setFocus();
  if (hint == QAbstractItemDelegate::EditNextItem) book_.keyDown(kKeyTab, 0);
  if (hint == QAbstractItemDelegate::EditPreviousItem) book_.keyDown(kKeyTab, kShift);
  afterMove(false);
}

void SpreadView::enterInEditor(QWidget* editor) {
  commitData(editor);
  if (refused_) {
    refused_ = false;
    return;
  }
  closeEditor(editor, QAbstractItemDelegate::NoHint);
  moveBy(EnterAction(book_.settings.editEnterAction));
  afterMove(false);
}

void SpreadView::chooseFromCombo(QWidget* editor, int index) {
  const Sheet& s = book_.activeSheet();
  book_.chooseComboItem(s.activeCol, s.activeRow, index);
  commitData(editor);
  refused_ = false;
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

}  // namespace spread::view
