// The grid as a person sees and works it: a table view on the book's active sheet with column
// and row headers, grid lines, the sheet's row heights and column widths (points and characters,
// turned into pixels with the screen's metrics), hidden rows and columns, spans, scroll bars as
// ScrollBars says, the active cell and the selection, and an editor per typed-in cell type.
//
// The book is the truth. The view reads every cell from it when it draws, and hands every action
// of the person to the book's user operations (clickCell, keyDown, beginEdit, commitEdit,
// pressButton, chooseComboItem, scrollTo ... in model/user_ops.h), which raise the grid's events
// and tell the book's change notice what they changed.
//
// The view draws from the change notice (model/change_notice.h) and never patches itself: what a
// notice names (cells, the active cell, the selection, the top-left cell, sizes) is shown again;
// notices that come while the person's action is handled are shown when it ends, others once the
// change is done. A notice that anything may have changed (automation) has the view look at the
// book again (size, active cell, top-left cell, the sizes of the lines in sight, and a repaint:
// `follow`; many changes in a row make one look); `refresh` reads everything again at once.
//
// Frozen rows and columns (RowsFrozen, ColsFrozen) stay at the top and left while the rest
// scrolls; TopRow and LeftCol then name the first line shown after them.
//
// Keys go to the book's keyDown and keyUp (with the rows a screen shows for Page Up and Page
// Down); typing a character edits with that character; Escape cancels an edit. Mouse: a click
// makes the cell active (and
// presses a button or check box cell when released over it, opens a combo box cell's list, steps
// a TypeSpin cell on its up and down buttons); a
// drag selects a block; a header click selects its row or column; a double click edits; the
// right button raises RightClick; dragging a header border resizes the row or column when
// UserResize allows (1 columns, 2 rows, 3 both); the book hears the new size when the button is
// let go (ColWidthChange, RowHeightChange).
#pragma once

#include <QPersistentModelIndex>
#include <QTableView>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/spread/model/user_ops.h"
#include "components/spread/view/cell_editors.h"
#include "components/spread/view/cell_painter.h"
#include "components/spread/view/frozen_panes.h"
#include "components/spread/view/sheet_model.h"

namespace spread::view {

class SpreadView final : public QTableView {
 public:
  // The view gives the book metrics measured with Qt's fonts.
  explicit SpreadView(Book& book, QWidget* parent = nullptr);
  ~SpreadView() override;

  Book& book() const { return book_; }
  SheetModel& sheetModel() { return model_; }

  // Reads everything from the book again.
  void refresh();
  // The cheap look at the book a change notice asks for.
  void follow();

  // With AutoSize on: the size that shows VisibleCols columns and VisibleRows rows (every one
  // when 0) from the top-left cell, with the headers and scroll bars.
  QSize sizeHint() const override;

  // Pixels of a row or column of the active sheet.
  int rowPixels(std::int32_t row) const;
  int colPixels(std::int32_t col) const;

  // The editor open on the active cell, or null; why the book refused the last edit.
  QWidget* activeEditor() const;
  const std::string& lastRefusal() const { return lastRefusal_; }

  // With frozen rows or columns, the cell under a point and where a cell is drawn are the panes'.
  QModelIndex indexAt(const QPoint& point) const override;
  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  // Starts editing the active cell; a key typed on the cell goes into the editor (its text
  // replacing what the cell held).
  bool startEdit(const QKeyEvent* typed = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  // Marks changes the view makes itself from the book, so they are not handed back to it.
  class Syncing {
   public:
    explicit Syncing(SpreadView& v) : v_(v) { ++v_.syncing_; }
    ~Syncing() { --v_.syncing_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

   private:
    SpreadView& v_;
  };
  // Marks the handling of a person's action: notices told meanwhile are shown when it ends.
  class Acting {
   public:
    explicit Acting(SpreadView& v) : v_(v) { ++v_.acting_; }
    ~Acting() {
      if (--v_.acting_ == 0) v_.showNotices();
    }
    Acting(const Acting&) = delete;
    Acting& operator=(const Acting&) = delete;

   private:
    SpreadView& v_;
  };
  UserOps ops() const { return UserOps(book_); }
  void heard(const Change& change);
  void showNotices();
  CellState stateOf(const QModelIndex& index) const;
  void applyLook();
  void applySizes(int firstRow, int lastRow, int firstCol, int lastCol);
  void applySpans();
  void showActiveCell(QItemSelectionModel::SelectionFlags flags);
  void showSelection();
  void showTopLeft();
  void reportTopLeft();
  // The first row and column shown below and right of the frozen ones (1-based).
  std::pair<std::int32_t, std::int32_t> shownTopLeft() const;
  void mirrorSelection();
  void chooseFromCombo(QWidget* editor, int index);
  void enterInEditor(QWidget* editor);
  void lineResized(Qt::Orientation orientation, int logical, int size);
  void finishResize();
  std::int32_t pageRows() const;

  Book& book_;
  CellPainter painter_;
  SheetModel model_;
  CellDelegate delegate_;
  FrozenPanes frozen_{*this};
  int syncing_ = 0;
  bool refused_ = false;
  std::string lastRefusal_;
  QPersistentModelIndex pressed_;
  std::int32_t shownSheet_ = 0;
  int acting_ = 0;
  // What the notices told since the view last showed them; cells as blocks of the active sheet.
  std::uint8_t heardParts_ = 0;
  std::vector<Block> heardCells_;
  bool showPending_ = false;
  // A header border the person is dragging: the line and its size in pixels, told the book when
  // the button is let go.
  struct Resizing {
    Qt::Orientation orientation;
    int logical, size;
  };
  std::optional<Resizing> resizing_;
  // A header press selects whole columns (Horizontal) or rows (Vertical) until the next press.
  std::optional<Qt::Orientation> headerSelecting_;
  // Last, so it goes first: no notice reaches a view being taken apart.
  ChangeNotice::Subscription changes_;
};

}  // namespace spread::view
