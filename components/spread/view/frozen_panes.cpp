// Frozen rows and columns drawn over the view.
#include "components/spread/view/frozen_panes.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace spread::view {

FrozenPanes::~FrozenPanes() {
  delete top_;
  delete left_;
  delete corner_;
  delete rowHeads_;
  delete colHeads_;
}

QHeaderView* FrozenPanes::makeHeads(Qt::Orientation orientation) {
  QHeaderView* under = orientation == Qt::Vertical ? view_.verticalHeader() : view_.horizontalHeader();
  auto* heads = new QHeaderView(orientation, under->viewport());
  heads->setModel(view_.model());
  heads->setFont(under->font());
  heads->setPalette(under->palette());
  heads->setSectionResizeMode(QHeaderView::Fixed);
  // A press selects the frozen row or column, as on the view's own headers.
  QObject::connect(heads, &QHeaderView::sectionPressed, &view_, [this, orientation](int logical) {
    if (orientation == Qt::Vertical) view_.selectRow(logical);
    else view_.selectColumn(logical);
  });
  heads->show();
  return heads;
}

QTableView* FrozenPanes::makePane() {
  auto* pane = new QTableView(view_.viewport());
  pane->setModel(view_.model());
  pane->setSelectionModel(view_.selectionModel());
  pane->setItemDelegate(view_.itemDelegate());
  pane->horizontalHeader()->hide();
  pane->verticalHeader()->hide();
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pane->setHorizontalScrollMode(view_.horizontalScrollMode());
  pane->setVerticalScrollMode(view_.verticalScrollMode());
  pane->setFrameShape(QFrame::NoFrame);
  pane->setShowGrid(false);
  pane->setFocusPolicy(Qt::NoFocus);
  pane->setAttribute(Qt::WA_TransparentForMouseEvents);
  pane->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The view scrolls the panes; they would otherwise follow the shared current cell themselves.
  pane->setAutoScroll(false);
  // Made before any editor, so an editor opened on a frozen cell lies above the pane.
  pane->show();
  return pane;
}

void FrozenPanes::freeze(int rows, int cols) {
  rows = std::max(rows, 0);
  cols = std::max(cols, 0);
  const auto keep = [&](QTableView*& pane, bool wanted) {
    if (wanted && !pane) pane = makePane();
    if (!wanted && pane) {
      delete pane;
      pane = nullptr;
    }
  };
  rows_ = rows;
  cols_ = cols;
  keep(top_, rows_ > 0);
  keep(left_, cols_ > 0);
  keep(corner_, rows_ > 0 && cols_ > 0);
  const auto keepHeads = [&](QHeaderView*& heads, Qt::Orientation orientation, bool wanted) {
    if (wanted && !heads) heads = makeHeads(orientation);
    if (!wanted && heads) {
      delete heads;
      heads = nullptr;
    }
  };
  keepHeads(rowHeads_, Qt::Vertical, rows_ > 0);
  keepHeads(colHeads_, Qt::Horizontal, cols_ > 0);
  place();
}

int FrozenPanes::height() const {
  int h = 0;
  for (int r = 0; r < rows_ && r < view_.model()->rowCount(); ++r) h += view_.verticalHeader()->sectionSize(r) * !view_.isRowHidden(r);
  return h;
}

int FrozenPanes::width() const {
  int w = 0;
  for (int c = 0; c < cols_ && c < view_.model()->columnCount(); ++c) w += view_.horizontalHeader()->sectionSize(c) * !view_.isColumnHidden(c);
  return w;
}

void FrozenPanes::copySizes(QTableView* pane) const {
  // A pane draws from the line its scroll value names, so only the lines in sight need the
  // view's sizes: those on the screen for the direction it scrolls, the frozen ones otherwise.
  const auto inSight = [](int first, int last, int count) { return std::pair(std::max(first, 0), last < 0 ? count - 1 : last); };
  const auto [firstRow, lastRow] =
      pane == left_ ? inSight(view_.rowAt(0), view_.rowAt(view_.viewport()->height() - 1), view_.model()->rowCount()) : std::pair(0, rows_ - 1);
  const auto [firstCol, lastCol] = pane == top_
                                       ? inSight(view_.columnAt(0), view_.columnAt(view_.viewport()->width() - 1), view_.model()->columnCount())
                                       : std::pair(0, cols_ - 1);
  for (int r = firstRow; r <= lastRow; ++r) {
    if (pane->isRowHidden(r) != view_.isRowHidden(r)) pane->setRowHidden(r, view_.isRowHidden(r));
    if (!view_.isRowHidden(r) && pane->rowHeight(r) != view_.rowHeight(r)) pane->setRowHeight(r, view_.verticalHeader()->sectionSize(r));
  }
  for (int c = firstCol; c <= lastCol; ++c) {
    if (pane->isColumnHidden(c) != view_.isColumnHidden(c)) pane->setColumnHidden(c, view_.isColumnHidden(c));
    if (!view_.isColumnHidden(c) && pane->columnWidth(c) != view_.columnWidth(c))
      pane->setColumnWidth(c, view_.horizontalHeader()->sectionSize(c));
  }
}

void FrozenPanes::place() {
  const int h = height(), w = width();
  const QSize size = view_.viewport()->size();
  if (top_) {
    copySizes(top_);
    top_->setGeometry(0, 0, size.width(), h);
    top_->horizontalScrollBar()->setValue(view_.horizontalScrollBar()->value());
    top_->verticalScrollBar()->setValue(0);
  }
  if (left_) {
    copySizes(left_);
    left_->setGeometry(0, 0, w, size.height());
    left_->verticalScrollBar()->setValue(view_.verticalScrollBar()->value());
    left_->horizontalScrollBar()->setValue(0);
  }
  if (corner_) {
    copySizes(corner_);
    corner_->setGeometry(0, 0, w, h);
  }
  for (QTableView* pane : {top_, left_, corner_})
    if (pane) pane->viewport()->update();
  if (rowHeads_) {
    for (int r = 0; r < rows_ && r < view_.model()->rowCount(); ++r) {
      rowHeads_->setSectionHidden(r, view_.isRowHidden(r));
      if (!view_.isRowHidden(r)) rowHeads_->resizeSection(r, view_.rowHeight(r));
    }
    rowHeads_->setGeometry(0, 0, view_.verticalHeader()->width(), h);
    rowHeads_->setOffset(0);
  }
  if (colHeads_) {
    for (int c = 0; c < cols_ && c < view_.model()->columnCount(); ++c) {
      colHeads_->setSectionHidden(c, view_.isColumnHidden(c));
      if (!view_.isColumnHidden(c)) colHeads_->resizeSection(c, view_.columnWidth(c));
    }
    colHeads_->setGeometry(0, 0, w, view_.horizontalHeader()->height());
    colHeads_->setOffset(0);
  }
}

QModelIndex FrozenPanes::indexAt(QPoint p) const {
  const bool inRows = rows_ > 0 && p.y()<height(), inCols = cols_> 0 && p.x() < width();
  if (inRows && inCols) return corner_->indexAt(p);
  if (inRows) return top_->indexAt(p);
  if (inCols) return left_->indexAt(p);
  return {};
}

QRect FrozenPanes::visualRect(const QModelIndex& index) const {
  const bool frozenRow = index.row() < rows_, frozenCol = index.column() < cols_;
  if (frozenRow && frozenCol) return corner_->visualRect(index);
  if (frozenRow) return top_->visualRect(index);
  if (frozenCol) return left_->visualRect(index);
  return {};
}

}  // namespace spread::view
