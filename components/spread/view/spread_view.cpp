// The grid view: building it and keeping it in step with the book.
#include "components/spread/view/spread_view.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <cmath>
#include <utility>

#include "components/spread/view/qt_metrics.h"

namespace spread::view {

namespace {

// With AutoSize and no VisibleCols/VisibleRows, at most this many lines make the size.
constexpr std::int32_t kAutoSizeLimit = 100;

// ScrollBars values.
enum class ScrollBars : std::int32_t { None = 0, Horizontal = 1, Vertical = 2, Both = 3 };
// UserResize bits.
enum UserResize : std::int32_t { kResizeCols = 1, kResizeRows = 2 };

}  // namespace

SpreadView::SpreadView(Book& book, QWidget* parent)
    : QTableView(parent), book_(book), painter_(ScreenDpi()), model_(book), delegate_(book, painter_, this) {
  book_.setMetrics(std::make_shared<QtTextMetrics>(painter_.dpi()));
  delegate_.stateOf = [this](const QModelIndex& i) { return stateOf(i); };
  delegate_.comboChosen = [this](QWidget* e, int i) { chooseFromCombo(e, i); };
  delegate_.enterPressed = [this](QWidget* e) { enterInEditor(e); };
  setModel(&model_);
  setItemDelegate(&delegate_);
  setShowGrid(false);
  setEditTriggers(NoEditTriggers);
  setSelectionBehavior(SelectItems);
  setTabKeyNavigation(true);
  setWordWrap(true);
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerItem);
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
    h->setMinimumSectionSize(1);
    h->setHighlightSections(true);
  }
  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int logical, int, int size) { lineResized(Qt::Horizontal, logical, size); });
  connect(verticalHeader(), &QHeaderView::sectionResized, this,
          [this](int logical, int, int size) { lineResized(Qt::Vertical, logical, size); });
  // Qt selects the line on a header press; the book then holds the whole row or column.
  connect(horizontalHeader(), &QHeaderView::sectionPressed, this, [this] {
    headerSelecting_ = Qt::Horizontal;
    mirrorSelection();
  });
  connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this] {
    headerSelecting_ = Qt::Vertical;
    mirrorSelection();
  });
  // The book hears a dragged border's new size when the button is let go.
  horizontalHeader()->viewport()->installEventFilter(this);
  verticalHeader()->viewport()->installEventFilter(this);
  refresh();
  changes_ = book_.changes.subscribe([this](const Change& change) { heard(change); });
}

void SpreadView::heard(const Change& change) {
  heardParts_ |= change.parts;
  if (change.parts & Change::kCells) heardCells_.push_back(change.cells);
  if (acting_ > 0 || std::exchange(showPending_, true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        showPending_ = false;
        if (acting_ == 0) showNotices();
      },
      Qt::QueuedConnection);
}

void SpreadView::showNotices() {
  // Showing may scroll, and scrolling is told again: a few rounds settle it.
  for (int round = 0; round < 4 && heardParts_ != 0; ++round) {
    const std::uint8_t parts = std::exchange(heardParts_, 0);
    const std::vector<Block> cells = std::exchange(heardCells_, {});
    if (parts & (Change::kWhole | Change::kSheet)) {
      follow();
      continue;
    }
    const Sheet& s = book_.activeSheet();
    for (const Block& b : cells) {
      const QModelIndex from = model_.index(b.row - 1, b.col - 1), to = model_.index(b.row2 - 1, b.col2 - 1);
      if (from.isValid() && to.isValid()) emit model_.dataChanged(from, to);
    }
    if (parts & Change::kSizes) {
      Syncing syncing(*this);
      applySizes(1, s.maxRows(), 1, s.maxCols());
      frozen_.place();
      updateGeometry();
    }
    if (parts & Change::kSelection) showSelection();
    if ((parts & Change::kActiveCell) && state() != EditingState) {
      showActiveCell(QItemSelectionModel::NoUpdate);
      // A cell in a frozen row or column is in sight wherever the rest is scrolled.
      if (s.activeRow > frozen_.rows() && s.activeCol > frozen_.cols()) scrollTo(currentIndex());
    }
    if ((parts & Change::kTopLeft) && shownTopLeft() != std::pair(s.leftCol, s.topRow)) showTopLeft();
    viewport()->update();
  }
}

SpreadView::~SpreadView() {
  // The metrics measured with this view's fonts stay valid without it; the book keeps them.
}

int SpreadView::rowPixels(std::int32_t row) const {
  return int(std::lround(book_.activeSheet().rowHeight(row) * book_.metrics().pixelsPerPoint()));
}

int SpreadView::colPixels(std::int32_t col) const {
  return int(std::lround(book_.activeSheet().colWidth(col) * book_.charWidthPixels(book_.activeSheet())));
}

QWidget* SpreadView::activeEditor() const { return state() == EditingState ? indexWidget(currentIndex()) : nullptr; }

CellState SpreadView::stateOf(const QModelIndex& index) const {
  const Sheet& s = book_.activeSheet();
  CellState state;
  state.active = SheetModel::colOf(index) == s.activeCol && SheetModel::rowOf(index) == s.activeRow;
  state.selected = !state.active && selectionModel() && selectionModel()->isSelected(index);
  state.pressed = pressed_.isValid() && pressed_ == index;
  return state;
}

void SpreadView::refresh() {
  Syncing syncing(*this);
  const Sheet& s = book_.activeSheet();
  shownSheet_ = book_.activeSheetIndex();
  model_.reload();
  applyLook();
  applySizes(1, s.maxRows(), 1, s.maxCols());
  applySpans();
  frozen_.place();
  showSelection();
  showActiveCell(QItemSelectionModel::NoUpdate);
  showTopLeft();
  updateGeometry();
  viewport()->update();
}

void SpreadView::follow() {
  const Sheet& s = book_.activeSheet();
  if (shownSheet_ != book_.activeSheetIndex() || model_.rowCount() != s.maxRows() || model_.columnCount() != s.maxCols()) {
    refresh();
    return;
  }
  Syncing syncing(*this);
  applyLook();
  const int top = std::max(rowAt(0), 0), bottom = rowAt(viewport()->height() - 1);
  const int left = std::max(columnAt(0), 0), right = columnAt(viewport()->width() - 1);
  applySizes(top + 1, bottom < 0 ? s.maxRows() : bottom + 1, left + 1, right < 0 ? s.maxCols() : right + 1);
  if (state() != EditingState) {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid() || SheetModel::colOf(cur) != s.activeCol || SheetModel::rowOf(cur) != s.activeRow)
      showActiveCell(QItemSelectionModel::NoUpdate);
  }
  if (shownTopLeft() != std::pair(s.leftCol, s.topRow)) showTopLeft();
  frozen_.place();
  viewport()->update();
  horizontalHeader()->viewport()->update();
  verticalHeader()->viewport()->update();
}

void SpreadView::applyLook() {
  const BookSettings& st = book_.settings;
  const Sheet& s = book_.activeSheet();
  const auto policy = [](bool on) { return on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff; };
  const auto bars = ScrollBars(st.scrollBars);
  setHorizontalScrollBarPolicy(policy(bars == ScrollBars::Horizontal || bars == ScrollBars::Both));
  setVerticalScrollBarPolicy(policy(bars == ScrollBars::Vertical || bars == ScrollBars::Both));
  setSelectionMode(st.allowMultiBlocks ? ExtendedSelection : ContiguousSelection);
  setFrameShape(st.borderStyle == 0 || st.noBorder ? QFrame::NoFrame : QFrame::StyledPanel);

  const QFont headerFont = FontOf(*s.styleAt(kAll, kAll), painter_.dpi());
  for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
    if (h->font() != headerFont) h->setFont(headerFont);
    // AppearanceStyle 0 draws the headers in the classic grey, 1 a lighter face, 2 the system's.
    QPalette p = palette();
    if (st.appearanceStyle == 0) p.setColor(QPalette::Button, ToQColor(0xC0C0C0));
    if (st.appearanceStyle == 1) p.setColor(QPalette::Button, ToQColor(0xF0F0F0));
    if (h->palette() != p) h->setPalette(p);
    h->setSectionResizeMode(QHeaderView::Interactive);
  }
  if (!(st.userResize & kResizeCols)) horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  if (!(st.userResize & kResizeRows)) verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setVisible(st.colHeadersShow);
  verticalHeader()->setVisible(st.rowHeadersShow);
  const int headerHeight = std::max(rowPixels(0), 1), headerWidth = std::max(colPixels(0), 1);
  if (horizontalHeader()->height() != headerHeight) horizontalHeader()->setFixedHeight(headerHeight);
  if (verticalHeader()->width() != headerWidth) verticalHeader()->setFixedWidth(headerWidth);
  if (frozen_.rows() != s.rowsFrozen || frozen_.cols() != s.colsFrozen) frozen_.freeze(s.rowsFrozen, s.colsFrozen);
  const int defaultRow = std::max(1, int(std::lround(s.defaultRowHeight * book_.metrics().pixelsPerPoint())));
  if (verticalHeader()->defaultSectionSize() != defaultRow) verticalHeader()->setDefaultSectionSize(defaultRow);
}

void SpreadView::applySizes(int firstRow, int lastRow, int firstCol, int lastCol) {
  const Sheet& s = book_.activeSheet();
  QHeaderView* rows = verticalHeader();
  QHeaderView* cols = horizontalHeader();
  for (int r = std::max(firstRow, 1); r <= std::min(lastRow, s.maxRows()); ++r) {
    const Line* line = s.rowLine(r);
    const bool hidden = line && line->hidden;
    if (rows->isSectionHidden(r - 1) != hidden) rows->setSectionHidden(r - 1, hidden);
    if (hidden) continue;
    const int px = std::max(rowPixels(r), 1);
    if (rows->sectionSize(r - 1) != px) rows->resizeSection(r - 1, px);
  }
  for (int c = std::max(firstCol, 1); c <= std::min(lastCol, s.maxCols()); ++c) {
    const Line* line = s.colLine(c);
    const bool hidden = line && line->hidden;
    if (cols->isSectionHidden(c - 1) != hidden) cols->setSectionHidden(c - 1, hidden);
    if (hidden) continue;
    const int px = std::max(colPixels(c), 1);
    if (cols->sectionSize(c - 1) != px) cols->resizeSection(c - 1, px);
  }
}

void SpreadView::applySpans() {
  clearSpans();
  for (const Span& sp : book_.activeSheet().spans()) setSpan(sp.row - 1, sp.col - 1, sp.rows, sp.cols);
}

void SpreadView::showActiveCell(QItemSelectionModel::SelectionFlags flags) {
  Syncing syncing(*this);
  const Sheet& s = book_.activeSheet();
  const QModelIndex i = model_.index(s.activeRow - 1, s.activeCol - 1);
  if (i.isValid()) selectionModel()->setCurrentIndex(i, flags);
}

void SpreadView::showSelection() {
  Syncing syncing(*this);
  const Sheet& s = book_.activeSheet();
  QItemSelection sel;
  for (const Block& b : s.selection) {
    const int top = b.allRows() ? 0 : b.row - 1, bottom = b.allRows() ? s.maxRows() - 1 : b.row2 - 1;
    const int left = b.allCols() ? 0 : b.col - 1, right = b.allCols() ? s.maxCols() - 1 : b.col2 - 1;
    sel.select(model_.index(top, left), model_.index(bottom, right));
  }
  selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
}

void SpreadView::showTopLeft() {
  Syncing syncing(*this);
  const Sheet& s = book_.activeSheet();
  if (frozen_.rows() > 0 || frozen_.cols() > 0) {
    // The lines scrolled under the frozen panes are as many as the frozen ones.
    verticalScrollBar()->setValue(std::max(0, s.topRow - 1 - frozen_.rows()));
    horizontalScrollBar()->setValue(std::max(0, s.leftCol - 1 - frozen_.cols()));
    return;
  }
  const QModelIndex i = model_.index(s.topRow - 1, s.leftCol - 1);
  if (i.isValid()) QTableView::scrollTo(i, PositionAtTop);
}

std::pair<std::int32_t, std::int32_t> SpreadView::shownTopLeft() const {
  return {QTableView::columnAt(frozen_.width()) + 1, QTableView::rowAt(frozen_.height()) + 1};
}

void SpreadView::reportTopLeft() {
  frozen_.place();
  if (syncing_) return;
  const auto [left, top] = shownTopLeft();
  if (top >= 1 && left >= 1) {
    const Acting acting(*this);
    ops().scrollTo(left, top);
  }
}

QModelIndex SpreadView::indexAt(const QPoint& point) const {
  const QModelIndex frozen = frozen_.indexAt(point);
  return frozen.isValid() ? frozen : QTableView::indexAt(point);
}

QRect SpreadView::visualRect(const QModelIndex& index) const {
  const QRect frozen = frozen_.visualRect(index);
  return frozen.isNull() ? QTableView::visualRect(index) : frozen;
}

void SpreadView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  if (!index.isValid()) return;
  QTableView::scrollTo(index, hint);
  // A cell that Qt thinks in sight may lie under a frozen pane: scroll it out from under.
  const QRect r = QTableView::visualRect(index);
  if (index.row() >= frozen_.rows() && r.top() < frozen_.height()) verticalScrollBar()->setValue(std::max(0, index.row() - frozen_.rows()));
  if (index.column() >= frozen_.cols() && r.left() < frozen_.width())
    horizontalScrollBar()->setValue(std::max(0, index.column() - frozen_.cols()));
}

void SpreadView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  frozen_.place();
}

void SpreadView::lineResized(Qt::Orientation orientation, int logical, int size) {
  if (syncing_ || size <= 0) return;
  resizing_ = Resizing{orientation, logical, size};
  frozen_.place();
  updateGeometry();
  // A border dragged with the mouse is told when the button is let go (eventFilter); a line
  // resized otherwise is told at once.
  if (!(QApplication::mouseButtons() & Qt::LeftButton)) finishResize();
}

void SpreadView::finishResize() {
  if (!resizing_) return;
  const Resizing r = *std::exchange(resizing_, std::nullopt);
  const Acting acting(*this);
  if (r.orientation == Qt::Horizontal) ops().resizeCol(r.logical + 1, r.size / book_.charWidthPixels(book_.activeSheet()));
  else ops().resizeRow(r.logical + 1, r.size / book_.metrics().pixelsPerPoint());
}

bool SpreadView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport()))
    finishResize();
  return QTableView::eventFilter(watched, event);
}

QSize SpreadView::sizeHint() const {
  const BookSettings& st = book_.settings;
  if (st.autoSize == 0) return QTableView::sizeHint();
  const Sheet& s = book_.activeSheet();
  const auto lines = [](std::int32_t visible, std::int32_t from, std::int32_t max) {
    return std::min(max, from - 1 + (visible > 0 ? visible : kAutoSizeLimit));
  };
  int width = 2 * frameWidth(), height = 2 * frameWidth();
  if (st.rowHeadersShow) width += verticalHeader()->width();
  if (st.colHeadersShow) height += horizontalHeader()->height();
  for (std::int32_t c = s.leftCol; c <= lines(st.visibleCols, s.leftCol, s.maxCols()); ++c)
    if (!isColumnHidden(c - 1)) width += columnWidth(c - 1);
  for (std::int32_t r = s.topRow; r <= lines(st.visibleRows, s.topRow, s.maxRows()); ++r)
    if (!isRowHidden(r - 1)) height += rowHeight(r - 1);
  if (verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) width += verticalScrollBar()->sizeHint().width();
  if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) height += horizontalScrollBar()->sizeHint().height();
  return {width, height};
}

}  // namespace spread::view
