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

std::int16_t shiftBits(Qt::KeyboardModifiers m) {
  return std::int16_t((m & Qt::ShiftModifier ? kKeyShiftBit : 0) | (m & Qt::ControlModifier ? kKeyCtrlBit : 0) |
                      (m & Qt::AltModifier ? kKeyAltBit : 0));
}

CellType typeAt(const Book& book, std::int32_t c, std::int32_t r) { return book.activeSheet().styleAt(c, r)->type(); }

// A key as the book names it: Qt's Backtab is Shift+Tab.
struct KeyOf {
  explicit KeyOf(const QKeyEvent* event) : mods(event->modifiers()) {
    int qtKey = event->key();
    if (qtKey == Qt::Key_Backtab) {
      qtKey = Qt::Key_Tab;
      mods |= Qt::ShiftModifier;
    }
    vk = std::int16_t(platform::qt::virtualKey(qtKey));
  }
  Qt::KeyboardModifiers mods;
  std::int16_t vk = 0;
};

}  // namespace

std::int32_t SpreadView::pageRows() const {
  const int row = std::max(verticalHeader()->defaultSectionSize(), 1);
  return std::max(1, viewport()->height() / row - 1);
}

bool SpreadView::startEdit(const QKeyEvent* typed) {
  if (state() == EditingState) return true;
  const QModelIndex i = currentIndex();
  if (!i.isValid() || !ops().beginEdit()) return false;
  if (!QTableView::edit(i, AllEditTriggers, nullptr)) {
    ops().cancelEdit();
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

void SpreadView::keyPressEvent(QKeyEvent* event) {
  if (state() == EditingState) {
    QTableView::keyPressEvent(event);
    return;
  }
  const Acting acting(*this);
  const KeyOf pressed(event);
  const Qt::KeyboardModifiers mods = pressed.mods;
  const std::int16_t vk = pressed.vk;
  if (vk != 0) {
    const std::int16_t key = ops().keyDown(vk, shiftBits(mods), pageRows());
    if (key == 0) {  // the program swallowed it
      event->accept();
      return;
    }
    // F2 began an edit: the editor opens on the active cell.
    if (book_.editing()) {
      startEdit();
      event->accept();
      return;
    }
    const Sheet& s = book_.activeSheet();
    const CellType t = typeAt(book_, s.activeCol, s.activeRow);
    if (key == std::int16_t(platform::keys::VK_SPACE) && (t == CellType::Button || t == CellType::CheckBox)) {
      event->accept();
      return;
    }
  }
  const QString text = event->text();
  if (!text.isEmpty() && text.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
    const std::string ansi = FromQString(text.left(1));
    const std::int16_t ch = ops().keyPress(std::int16_t(static_cast<unsigned char>(ansi.empty() ? '?' : ansi[0])));
    const Sheet& s = book_.activeSheet();
    if (ch != 0 && IsTypedIn(typeAt(book_, s.activeCol, s.activeRow))) {
      // The program may have changed the character.
      const QKeyEvent changed(QEvent::KeyPress, event->key(), event->modifiers(), ToQString(std::string(1, char(ch))));
      startEdit(&changed);
    }
  }
  event->accept();
}

void SpreadView::keyReleaseEvent(QKeyEvent* event) {
  if (state() == EditingState || event->isAutoRepeat()) {
    QTableView::keyReleaseEvent(event);
    return;
  }
  const Acting acting(*this);
  if (const KeyOf key(event); key.vk != 0) ops().keyUp(key.vk, shiftBits(key.mods));
  event->accept();
}

void SpreadView::mousePressEvent(QMouseEvent* event) {
  const Acting acting(*this);
  const QModelIndex i = indexAt(event->position().toPoint());
  if (!i.isValid()) {
    QTableView::mousePressEvent(event);
    return;
  }
  const std::int32_t c = SheetModel::colOf(i), r = SheetModel::rowOf(i);
  if (event->button() == Qt::RightButton) {
    // In the grid's own coordinates, headers included.
    const QPoint p = viewport()->mapTo(this, event->position().toPoint());
    ops().rightClickCell(c, r, p.x(), p.y());
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  ops().clickCell(c, r);
  const Sheet& s = book_.activeSheet();
  if (s.activeCol != c || s.activeRow != r) return;  // LeaveCell was cancelled
  {
    Syncing syncing(*this);
    QTableView::mousePressEvent(event);
  }
  headerSelecting_.reset();
  ops().select({});
  ops().anchor(c, r);
  const CellType t = typeAt(book_, c, r);
  const QRect spin = CellPainter::spinRect(*book_.activeSheet().styleAt(c, r), visualRect(i));
  if (spin.contains(event->position().toPoint())) {
    // The upper half steps up, the lower half down.
    ops().spin(c, r, event->position().y() < spin.center().y());
  } else if (t == CellType::Button || t == CellType::CheckBox) {
    pressed_ = i;
    viewport()->update();
  } else if (t == CellType::ComboBox) {
    startEdit();
  }
}

void SpreadView::mouseReleaseEvent(QMouseEvent* event) {
  const Acting acting(*this);
  QTableView::mouseReleaseEvent(event);
  if (!pressed_.isValid()) return;
  const QModelIndex at = indexAt(event->position().toPoint());
  const QPersistentModelIndex was = pressed_;
  pressed_ = QPersistentModelIndex();
  if (at == was) {
    ops().pressButton(SheetModel::colOf(at), SheetModel::rowOf(at));
  }
  viewport()->update();
}

void SpreadView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex i = indexAt(event->position().toPoint());
  if (!i.isValid() || event->button() != Qt::LeftButton) {
    QTableView::mouseDoubleClickEvent(event);
    return;
  }
  {
    const Acting acting(*this);
    ops().doubleClickCell(SheetModel::colOf(i), SheetModel::rowOf(i));
  }
  if (IsTypedIn(typeAt(book_, SheetModel::colOf(i), SheetModel::rowOf(i)))) startEdit();
}

void SpreadView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  const Acting acting(*this);
  // Qt moved the current cell itself (a header click, a drag): the book decides.
  if (!ops().setActiveCell(SheetModel::colOf(current), SheetModel::rowOf(current)))
    QMetaObject::invokeMethod(
        this, [this] { showActiveCell(QItemSelectionModel::NoUpdate); }, Qt::QueuedConnection);
}

void SpreadView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (syncing_) return;
  const Acting acting(*this);
  mirrorSelection();
}

void SpreadView::mirrorSelection() {
  const Sheet& s = book_.activeSheet();
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
  ops().select(std::move(blocks));
}

void SpreadView::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  reportTopLeft();
}

void SpreadView::commitData(QWidget* editor) {
  if (!book_.editing()) return;
  const Acting acting(*this);
  std::string error;
  refused_ = !ops().commitEdit(EditorText(editor), &error);
  if (refused_) {
    lastRefusal_ = error;
    QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), ToQString(error), editor);
    return;
  }
  lastRefusal_.clear();
}

void SpreadView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const Acting acting(*this);
  if (hint == QAbstractItemDelegate::RevertModelCache) {
    refused_ = false;
    ops().cancelEdit();
  } else if (refused_) {
    // The book refused what was typed: the edit goes on until it is put right or cancelled.
    refused_ = false;
    editor->setFocus();
    return;
  }
  if (book_.editing()) ops().cancelEdit();
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  setFocus();
  if (hint == QAbstractItemDelegate::EditNextItem) ops().keyDown(std::int16_t(platform::keys::VK_TAB), 0);
  if (hint == QAbstractItemDelegate::EditPreviousItem) ops().keyDown(std::int16_t(platform::keys::VK_TAB), kKeyShiftBit);
  ops().collapseSelection();
  scrollTo(currentIndex());
}

void SpreadView::enterInEditor(QWidget* editor) {
  commitData(editor);
  if (refused_) {
    refused_ = false;
    return;
  }
  const Acting acting(*this);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
  ops().enterMove();
}

void SpreadView::chooseFromCombo(QWidget* editor, int index) {
  const Sheet& s = book_.activeSheet();
  const Acting acting(*this);
  ops().chooseComboItem(s.activeCol, s.activeRow, index);
  commitData(editor);
  refused_ = false;
  closeEditor(editor, QAbstractItemDelegate::NoHint);
}

}  // namespace spread::view
