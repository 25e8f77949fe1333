#include "components/spread/model/sheet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace spread {

Sheet::Sheet() : default_(DefaultStyle()) {}

const StylePtr& DefaultStyle() {
  static const StylePtr style = std::make_shared<const Style>();
  return style;
}

void Sheet::setMaxRows(std::int32_t n) {
  maxRows_ = n;
  cells_.eraseIf([n](std::int32_t, std::int32_t row, const Cell&) { return row > n; });
  std::erase_if(rows_, [n](const auto& entry) { return entry.first > n; });
  std::erase_if(spans_, [n](const Span& s) { return s.row + s.rows - 1 > n; });
  keepViewInside();
}

void Sheet::setMaxCols(std::int32_t n) {
  maxCols_ = n;
  cells_.eraseIf([n](std::int32_t col, std::int32_t, const Cell&) { return col > n; });
  std::erase_if(cols_, [n](const auto& entry) { return entry.first > n; });
  std::erase_if(spans_, [n](const Span& s) { return s.col + s.cols - 1 > n; });
  keepViewInside();
}

void Sheet::keepViewInside() {
  const auto inside = [](std::int32_t v, std::int32_t max) { return std::clamp(v, 1, std::max(max, 1)); };
  activeRow = inside(activeRow, maxRows_);
  activeCol = inside(activeCol, maxCols_);
  topRow = inside(topRow, maxRows_);
  leftCol = inside(leftCol, maxCols_);
  rowsFrozen = std::min(rowsFrozen, maxRows_);
  colsFrozen = std::min(colsFrozen, maxCols_);
  std::erase_if(selection, [this](const Block& b) { return (!b.allRows() && b.row > maxRows_) || (!b.allCols() && b.col > maxCols_); });
  for (Block& b : selection) {
    if (!b.allRows()) b.row2 = std::min(b.row2, maxRows_);
    if (!b.allCols()) b.col2 = std::min(b.col2, maxCols_);
  }
}

const Cell* Sheet::cell(std::int32_t col, std::int32_t row) const {
  if (col < 0 || row < 0) return nullptr;
  return cells_.find(col, row);
}

void Sheet::dropIfEmpty(std::int32_t col, std::int32_t row) {
  if (const Cell* c = cells_.find(col, row); c && c->empty()) cells_.erase(col, row);
}

const StylePtr& Sheet::styleAt(std::int32_t col, std::int32_t row) const {
  if (const Cell* c = cell(col, row); c && c->style) return c->style;
  if (const Line* r = row == kAll ? nullptr : rowLine(row); r && r->style) return r->style;
  if (const Line* c = col == kAll ? nullptr : colLine(col); c && c->style) return c->style;
  return default_;
}

void Sheet::changeStyles(const Block& b, const std::function<void(Style&)>& change, const FormatContext& context) {
  // One new style for each style changed, so cells that shared a style still share one.
  std::map<const Style*, StylePtr> memo;
  const auto changed = [&](const StylePtr& base) {
    StylePtr& slot = memo[base.get()];
    if (!slot) {
      auto copy = std::make_shared<Style>(*base);
      change(*copy);
      slot = std::move(copy);
    }
    return slot;
  };
  // The values held in the block and the styles they were held under.
  struct Held {
    std::int32_t col, row;
    StylePtr before;
  };
  std::vector<Held> held;
  forEachCell(b, [&](std::int32_t c, std::int32_t r, const Cell& cell) {
    if (!IsEmpty(cell.value)) held.push_back({c, r, styleAt(c, r)});
  });

  const auto changeOwnCells = [&] {
    forEachCell(b, [&](std::int32_t, std::int32_t, Cell& cell) {
      if (cell.style) cell.style = changed(cell.style);
    });
  };
  if (b.allRows() && b.allCols()) {
    default_ = changed(default_);
    for (auto* lines : {&rows_, &cols_})
      for (auto& [index, line] : *lines)
        if (line.style) line.style = changed(line.style);
    changeOwnCells();
  } else if (b.allRows()) {
    changeOwnCells();
    // A row's style outranks a column's: the cells where styled rows cross these columns get
    // styles of their own.
    for (const auto& [r, line] : rows_) {
      if (!line.style) continue;
      for (std::int32_t c = b.col; c <= b.col2; ++c)
        if (Cell& cell = cellForWrite(c, r); !cell.style) cell.style = changed(line.style);
    }
    for (std::int32_t c = b.col; c <= b.col2; ++c) {
      Line& line = cols_[c];
      line.style = changed(line.style ? line.style : default_);
    }
  } else if (b.allCols()) {
    changeOwnCells();
    for (std::int32_t r = b.row; r <= b.row2; ++r) {
      Line& line = rows_[r];
      if (!line.style) {
        // Until now the cells of this row under styled columns took their column's style.
        for (const auto& [c, colLine] : cols_)
          if (colLine.style)
            if (Cell& cell = cellForWrite(c, r); !cell.style) cell.style = changed(colLine.style);
      }
      line.style = changed(line.style ? line.style : default_);
    }
  } else {
    for (std::int32_t r = b.row; r <= b.row2; ++r)
      for (std::int32_t c = b.col; c <= b.col2; ++c) {
        StylePtr before = styleAt(c, r);
        cellForWrite(c, r).style = changed(before);
      }
  }

  for (const auto& [c, r, before] : held) {
    Cell& cell = cellForWrite(c, r);
    const StylePtr& now = styleAt(c, r);
    if (now == before) continue;
    Parsed p = RecheckCellValue(*now, *before, cell.value, context);
    cell.value = p.ok ? std::move(p.value) : CellValue{};
  }
}

const Line* Sheet::rowLine(std::int32_t row) const {
  const auto it = rows_.find(row);
  return it == rows_.end() ? nullptr : &it->second;
}

const Line* Sheet::colLine(std::int32_t col) const {
  const auto it = cols_.find(col);
  return it == cols_.end() ? nullptr : &it->second;
}

void Sheet::dropEmptyLines() {
  std::erase_if(rows_, [](const auto& entry) { return entry.second.empty(); });
  std::erase_if(cols_, [](const auto& entry) { return entry.second.empty(); });
}

double Sheet::rowHeight(std::int32_t row) const {
  const Line* l = rowLine(row);
  if (l && l->hidden) return 0;
  return l && l->size >= 0 ? l->size : defaultRowHeight;
}

double Sheet::colWidth(std::int32_t col) const {
  const Line* l = colLine(col);
  if (l && l->hidden) return 0;
  return l && l->size >= 0 ? l->size : defaultColWidth;
}

namespace {

double lineSize(const Line& l, double standard) { return l.hidden ? 0 : l.size >= 0 ? l.size : standard; }

double sizeOfLines(const std::map<std::int32_t, Line>& lines, double standard, std::int32_t first, std::int32_t last) {
  if (last < first) return 0;
  double total = double(std::int64_t(last) - first + 1) * standard;
  for (auto it = lines.lower_bound(first); it != lines.end() && it->first <= last; ++it) total += lineSize(it->second, standard) - standard;
  return total;
}

std::int32_t lineAtOffset(const std::map<std::int32_t, Line>& lines, double standard, std::int32_t count, double offset) {
  if (offset < 0) return 1;
  double position = 0;
  std::int32_t next = 1;  // the first line not yet passed
  const auto inDefaults = [&](std::int32_t upTo) -> std::int32_t {
    // Lines next..upTo-1 all have the standard size; 0 when the offset lies beyond them.
    if (standard <= 0 || upTo <= next) return 0;
    const double steps = std::floor((offset - position) / standard);
    return steps < double(upTo - next) ? next + std::int32_t(steps) : 0;
  };
  for (auto it = lines.lower_bound(1); it != lines.end() && it->first <= count; ++it) {
    if (const std::int32_t found = inDefaults(it->first)) return found;
    position += double(it->first - next) * standard;
    const double size = lineSize(it->second, standard);
    if (offset < position + size) return it->first;
    position += size;
    next = it->first + 1;
  }
  const std::int32_t found = inDefaults(count + 1);
  return found ? found : count + 1;
}

}  // namespace

double Sheet::rowsHeight(std::int32_t first, std::int32_t last) const { return sizeOfLines(rows_, defaultRowHeight, first, last); }
double Sheet::colsWidth(std::int32_t first, std::int32_t last) const { return sizeOfLines(cols_, defaultColWidth, first, last); }
std::int32_t Sheet::rowAt(double offset) const { return lineAtOffset(rows_, defaultRowHeight, maxRows_, offset); }
std::int32_t Sheet::colAt(double offset) const { return lineAtOffset(cols_, defaultColWidth, maxCols_, offset); }

bool Sheet::addSpan(const Span& s) {
  if (s.col < 1 || s.row < 1 || s.cols < 1 || s.rows < 1 || (s.cols == 1 && s.rows == 1)) return false;
  if (std::int64_t(s.col) + s.cols - 1 > maxCols_ || std::int64_t(s.row) + s.rows - 1 > maxRows_) return false;
  for (const Span& o : spans_)
    if (o.overlaps(s)) return false;
  spans_.push_back(s);
  return true;
}

bool Sheet::removeSpan(std::int32_t col, std::int32_t row) {
  return std::erase_if(spans_, [&](const Span& s) { return s.col == col && s.row == row; }) > 0;
}

const Span* Sheet::spanAt(std::int32_t col, std::int32_t row) const {
  for (const Span& s : spans_)
    if (s.contains(col, row)) return &s;
  return nullptr;
}

namespace {

// Moves the entries of a map keyed by line number: the removed ones go, the later ones move back.
template <class Map, class Index, class Rekey>
void shiftKeys(Map& map, std::int32_t first, std::int32_t count, Index index, Rekey rekey) {
  Map moved;
  const std::int64_t end = std::int64_t(first) + count;
  for (auto& [k, v] : map) {
    const std::int32_t i = index(k);
    if (i >= first && i < end) continue;
    moved.emplace(i >= end ? rekey(k, i - count) : k, std::move(v));
  }
  map = std::move(moved);
}

}  // namespace

void Sheet::deleteRows(std::int32_t first, std::int32_t count) {
  if (count <= 0 || first < 1) return;
  cells_.removeRows(first, count);
  shiftKeys(
      rows_, first, count, [](std::int32_t r) { return r; }, [](std::int32_t, std::int32_t r) { return r; });
  const std::int64_t end = std::int64_t(first) + count;
  std::erase_if(spans_, [&](const Span& s) { return s.row < end && first < s.row + s.rows; });
  for (Span& s : spans_)
    if (s.row >= end) s.row -= count;
}

void Sheet::deleteCols(std::int32_t first, std::int32_t count) {
  if (count <= 0 || first < 1) return;
  cells_.removeCols(first, count);
  shiftKeys(
      cols_, first, count, [](std::int32_t c) { return c; }, [](std::int32_t, std::int32_t c) { return c; });
  const std::int64_t end = std::int64_t(first) + count;
  std::erase_if(spans_, [&](const Span& s) { return s.col < end && first < s.col + s.cols; });
  for (Span& s : spans_)
    if (s.col >= end) s.col -= count;
}

void Sheet::clearRange(const Block& b, bool dataOnly) {
  forEachCell(b, [&](std::int32_t, std::int32_t, Cell& cell) {
    cell.value = {};
    if (!dataOnly) cell.style.reset(), cell.texts.clear();
  });
  cells_.eraseIf([](std::int32_t, std::int32_t, const Cell& cell) { return cell.empty(); });
}

std::int32_t Sheet::dataRowCount() const {
  std::int32_t last = 0;
  cells_.findFromLastRow([&](const CellStore::Row& r) {
    if (r.row <= 0) return true;
    const bool held =
        std::any_of(r.cells.begin(), r.cells.end(), [](const CellStore::Entry& e) { return e.col > 0 && !IsEmpty(e.cell.value); });
    if (held) last = r.row;
    return held;
  });
  return last;
}

std::int32_t Sheet::dataColCount() const {
  // Each row from its last cell back, as far as the widest row found so far.
  std::int32_t last = 0;
  cells_.findFromLastRow([&](const CellStore::Row& r) {
    if (r.row <= 0) return true;
    for (auto e = r.cells.rbegin(); e != r.cells.rend() && e->col > last; ++e)
      if (!IsEmpty(e->cell.value)) last = e->col;
    return false;
  });
  return last;
}

}  // namespace spread
