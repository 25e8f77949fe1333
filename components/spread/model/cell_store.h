// The cells of a sheet, sparse and in row-major order. The rows that hold a cell lie in chunks of
// at most kChunkRows, each chunk sorted by row and the chunks in order; a row is a vector of
// (column, cell) sorted by column. A cell written after the last one (an import, a fill, a load)
// is appended in constant time; any other is found by binary searches over the chunks, in its
// chunk and in its row, and a new row in the middle moves at most one chunk's rows. Walking a
// block reads the rows one after another, each row's cells in order, so an export needs no tree
// walk. A reference to a cell stays valid until a cell of the same row is made or removed, or
// rows or columns are removed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "components/spread/model/cell_texts.h"
#include "components/spread/model/style.h"
#include "components/spread/model/values.h"

namespace spread {

struct Cell {
  CellValue value;
  StylePtr style;   // null: the row's, column's or sheet's applies
  CellTexts texts;  // note and formula
  bool empty() const { return IsEmpty(value) && !style && texts.empty(); }
};
// A large sheet holds hundreds of thousands of these: a cell and its column fit a cache line.
static_assert(sizeof(Cell) <= 64);

class CellStore {
 public:
  struct Entry {
    std::int32_t col;
    Cell cell;
  };
  struct Row {
    std::int32_t row;
    std::vector<Entry> cells;  // never empty
  };
  // A chunk splits in two when a row is added to a full one.
  static constexpr std::size_t kChunkRows = 512;

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
  // Calls fn(row) for the rows from the last back until it answers true.
  template <class Fn>
  void findFromLastRow(Fn&& fn) const;

  // Removes count rows (columns) from first on; the later ones move back by count.
  void removeRows(std::int32_t first, std::int32_t count);
  void removeCols(std::int32_t first, std::int32_t count);

 private:
  using Chunk = std::vector<Row>;
  // The first chunk whose last row is at least row (chunks_.end() when none).
  std::vector<Chunk>::iterator chunkFor(std::int32_t row);
  std::vector<Chunk>::const_iterator chunkFor(std::int32_t row) const;
  void dropEmpty();

  std::vector<Chunk> chunks_;  // none empty
  std::size_t size_ = 0;
};

template <class Drop>
void CellStore::eraseIf(Drop drop) {
  for (Chunk& chunk : chunks_)
    for (Row& r : chunk) size_ -= std::erase_if(r.cells, [&](Entry& e) { return drop(e.col, r.row, e.cell); });
  dropEmpty();
}

template <class Fn>
void CellStore::forEach(std::int32_t firstRow, std::int32_t lastRow, std::int32_t firstCol, std::int32_t lastCol, Fn&& fn) {
  for (auto chunk = chunkFor(firstRow); chunk != chunks_.end(); ++chunk) {
    auto r = chunk->front().row >= firstRow
                 ? chunk->begin()
                 : std::lower_bound(chunk->begin(), chunk->end(), firstRow, [](const Row& x, std::int32_t n) { return x.row < n; });
    for (; r != chunk->end(); ++r) {
      if (r->row > lastRow) return;
      auto e = r->cells.front().col >= firstCol
                   ? r->cells.begin()
                   : std::lower_bound(r->cells.begin(), r->cells.end(), firstCol, [](const Entry& x, std::int32_t c) { return x.col < c; });
      for (; e != r->cells.end() && e->col <= lastCol; ++e) fn(e->col, r->row, e->cell);
    }
  }
}

template <class Fn>
void CellStore::findFromLastRow(Fn&& fn) const {
  for (auto chunk = chunks_.rbegin(); chunk != chunks_.rend(); ++chunk)
    for (auto r = chunk->rbegin(); r != chunk->rend(); ++r)
      if (fn(*r)) return;
}

}  // namespace spread
