#include "components/spread/model/cell_store.h"

namespace spread {
namespace {

// The first entry of a row at or after column col.
template <class Row>
auto columnAt(Row& cells, std::int32_t col) {
  return std::lower_bound(cells.begin(), cells.end(), col, [](const CellStore::Entry& e, std::int32_t c) { return e.col < c; });
}

}  // namespace

const Cell* CellStore::find(std::int32_t col, std::int32_t row) const {
  const auto it = rows_.find(row);
  if (it == rows_.end()) return nullptr;
  const auto e = columnAt(it->second, col);
  return e == it->second.end() || e->col != col ? nullptr : &e->cell;
}

Cell& CellStore::at(std::int32_t col, std::int32_t row) {
  Row* cells = nullptr;
  if (!rows_.empty() && rows_.rbegin()->first == row) {
    cells = &rows_.rbegin()->second;
  } else if (rows_.empty() || rows_.rbegin()->first < row) {
    // A new last row: rows of a sheet tend to be alike, so it gets room for as many cells as the
    // row before it, and a sheet read in order grows each row once.
    const std::size_t room = rows_.empty() ? 1 : rows_.rbegin()->second.size();
    cells = &rows_.emplace_hint(rows_.end(), row, Row{})->second;
    cells->reserve(room);
  } else {
    cells = &rows_[row];
  }
  if (cells->empty() || cells->back().col < col) {
    ++size_;
    return cells->emplace_back(Entry{col, {}}).cell;
  }
  const auto e = columnAt(*cells, col);
  if (e != cells->end() && e->col == col) return e->cell;
  ++size_;
  return cells->insert(e, Entry{col, {}})->cell;
}

void CellStore::erase(std::int32_t col, std::int32_t row) {
  const auto it = rows_.find(row);
  if (it == rows_.end()) return;
  const auto e = columnAt(it->second, col);
  if (e == it->second.end() || e->col != col) return;
  it->second.erase(e);
  --size_;
  if (it->second.empty()) rows_.erase(it);
}

void CellStore::removeRows(std::int32_t first, std::int32_t count) {
  const std::int64_t end = std::int64_t(first) + count;
  std::map<std::int32_t, Row> moved;
  while (!rows_.empty()) {
    auto node = rows_.extract(rows_.begin());
    const std::int32_t row = node.key();
    if (row >= first && row < end) {
      size_ -= node.mapped().size();
      continue;
    }
    if (row >= end) node.key() = std::int32_t(row - count);
    moved.insert(moved.end(), std::move(node));
  }
  rows_ = std::move(moved);
}

void CellStore::removeCols(std::int32_t first, std::int32_t count) {
  const std::int64_t end = std::int64_t(first) + count;
  eraseIf([&](std::int32_t col, std::int32_t, const Cell&) { return col >= first && col < end; });
  for (auto& [row, cells] : rows_)
    for (Entry& e : cells)
      if (e.col >= end) e.col -= count;
}

}  // namespace spread
