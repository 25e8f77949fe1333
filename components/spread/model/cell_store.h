// The cells of a sheet, sparse and in row-major order: an ordered map of the rows that hold a
// cell, each row a vector of (column, cell) sorted by column. A cell written after the last one
// (an import, a fill, a load) is appended in constant time; any other is found by a binary search
// in its row. Walking a block visits its rows in order and each row's cells in order, so an export
// reads them without a tree walk per cell. A reference to a cell stays valid until a cell of the
// same row is made or removed, or rows or columns are removed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <ranges>
#include <string>
#include <vector>

#include "components/spread/model/rare_text.h"
#include "components/spread/model/style.h"
#include "components/spread/model/values.h"

namespace spread {

struct Cell {
  CellValue value;
  StylePtr style;  // null: the row's, column's or sheet's applies
  RareText note, formula;
  bool empty() const { return IsEmpty(value) && !style && note.empty() && formula.empty(); }
};

class CellStore {
 public:
  struct Entry {
    std::int32_t col;
    Cell cell;
  };
  using Row = std::vector<Entry>;

  std::size_t size() const { return size_; }
  const Cell* find(std::int32_t col, std::int32_t row) const;
  // The cell, made empty when missing.
  Cell& at(std::int32_t col, std::int32_t row);
  void erase(std::int32_t col, std::int32_t row);
  // Removes the cells for which drop(col, row, cell) is true.
  template <class Drop>
  void eraseIf(Drop drop);

  // Calls fn(col, row, cell) for the cells of rows firstRow..lastRow and columns firstCol..lastCol,
  // row by row, each row's in column order. fn must not make or remove cells.
  template <class Fn>
  void forEach(std::int32_t firstRow, std::int32_t lastRow, std::int32_t firstCol, std::int32_t lastCol, Fn&& fn);
  // The rows from the last back, as (row, cells): the last that holds something is found without
  // walking the others.
  auto rowsFromLast() const { return std::ranges::subrange(rows_.rbegin(), rows_.rend()); }

  // Removes count rows (columns) from first on; the later ones move back by count.
  void removeRows(std::int32_t first, std::int32_t count);
  void removeCols(std::int32_t first, std::int32_t count);

 private:
  std::map<std::int32_t, Row> rows_;
  std::size_t size_ = 0;
};

template <class Drop>
void CellStore::eraseIf(Drop drop) {
  for (auto it = rows_.begin(); it != rows_.end();) {
    const std::int32_t row = it->first;
    size_ -= std::erase_if(it->second, [&](Entry& e) { return drop(e.col, row, e.cell); });
    it = it->second.empty() ? rows_.erase(it) : std::next(it);
  }
}

template <class Fn>
void CellStore::forEach(std::int32_t firstRow, std::int32_t lastRow, std::int32_t firstCol, std::int32_t lastCol, Fn&& fn) {
  for (auto it = rows_.lower_bound(firstRow); it != rows_.end() && it->first <= lastRow; ++it) {
    Row& cells = it->second;
    auto e = cells.front().col >= firstCol
                 ? cells.begin()
                 : std::lower_bound(cells.begin(), cells.end(), firstCol, [](const Entry& x, std::int32_t c) { return x.col < c; });
    for (; e != cells.end() && e->col <= lastCol; ++e) fn(e->col, it->first, e->cell);
  }
}

}  // namespace spread
