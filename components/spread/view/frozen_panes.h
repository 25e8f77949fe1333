// The rows and columns a sheet keeps frozen (RowsFrozen, ColsFrozen): panes laid over the top and
// left of the view's cells that draw those lines where they stay while the rest scrolls, and their
// headers over the view's headers. The panes only draw (same model, selection and delegate as the view); the view takes all input and
// asks the panes which cell lies under a point and where a frozen cell is drawn.
#pragma once

#include <QModelIndex>
#include <QRect>

class QHeaderView;
class QTableView;

namespace spread::view {

class FrozenPanes {
 public:
  explicit FrozenPanes(QTableView& view) : view_(view) {}
  ~FrozenPanes();
  FrozenPanes(const FrozenPanes&) = delete;
  FrozenPanes& operator=(const FrozenPanes&) = delete;

  // Freezes the first rows and columns (0: none); the panes follow the view's sizes and scrolling.
  void freeze(int rows, int cols);
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  // Puts the panes on the view's viewport again (after a resize, a scroll, a change of sizes).
  void place();
  // Height of the frozen rows and width of the frozen columns, in pixels.
  int height() const;
  int width() const;
  // The frozen cell under a point of the viewport, or an invalid index when no pane is there.
  QModelIndex indexAt(QPoint p) const;
  // Where a frozen cell is drawn in the viewport; a null rectangle for other cells.
  QRect visualRect(const QModelIndex& index) const;

 private:
  QTableView* makePane();
  QHeaderView* makeHeads(Qt::Orientation orientation);
  void copySizes(QTableView* pane) const;

  QTableView& view_;
  int rows_ = 0, cols_ = 0;
  QTableView* top_ = nullptr;        // frozen rows, scrolled sideways with the view
  QTableView* left_ = nullptr;       // frozen columns, scrolled up and down with the view
  QTableView* corner_ = nullptr;     // both, never scrolled
  QHeaderView* rowHeads_ = nullptr;  // the frozen rows' headers, over the view's row headers
  QHeaderView* colHeads_ = nullptr;  // the frozen columns' headers, over the column headers
};

}  // namespace spread::view
