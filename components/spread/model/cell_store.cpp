#include "components/spread/model/cell_store.h"

namespace spread {
namespace {

// The first entry of a row at or after column col.
template <class Cells>
auto columnAt(Cells& cells, std::int32_t col) {
  return std::lower_bound(cells.begin(), cells.end(), col, [](const CellStore::Entry& e, std::int32_t c) { return e.col < c; });
}

// The first row of a chunk at or after row.
template <class Chunk>
auto rowAt(Chunk& chunk, std::int32_t row) {
  return std::lower_bound(chunk.begin(), chunk.end(), row, [](const CellStore::Row& r, std::int32_t n) { return r.row < n; });
}

}  // namespace

std::vector<CellStore::Chunk>::iterator CellStore::chunkFor(std::int32_t row) {
  return std::lower_bound(chunks_.begin(), chunks_.end(), row, [](const Chunk& c, std::int32_t n) { return c.back().row < n; });
}

std::vector<CellStore::Chunk>::const_iterator CellStore::chunkFor(std::int32_t row) const {
  return std::lower_bound(chunks_.begin(), chunks_.end(), row, [](const Chunk& c, std::int32_t n) { return c.back().row < n; });
}

const Cell* CellStore::find(std::int32_t col, std::int32_t row) const {
  const auto chunk = chunkFor(row);
  if (chunk == chunks_.end()) return nullptr;
  const auto r = rowAt(*chunk, row);
  if (r == chunk->end() || r->row != row) return nullptr;
  const auto e = columnAt(r->cells, col);
  return e == r->cells.end() || e->col != col ? nullptr : &e->cell;
}

Cell& CellStore::at(std::int32_t col, std::int32_t row) {
  std::vector<Entry>* cells = nullptr;
  if (!chunks_.empty() && chunks_.back().back().row == row) {
    cells = &chunks_.back().back().cells;  // the last row again: a sheet read in order
  } else if (chunks_.empty() || chunks_.back().back().row < row) {
    // A new last row: rows of a sheet tend to be alike, so it gets room for as many cells as the
    // row before it, and a sheet read in order grows each row once.
    const std::size_t room = chunks_.empty() ? 1 : chunks_.back().back().cells.size();
    if (chunks_.empty() || chunks_.back().size() >= kChunkRows) chunks_.emplace_back().reserve(kChunkRows);
    Row& added = chunks_.back().emplace_back();
    added.row = row;
    cells = &added.cells;
    cells->reserve(room);
  } else {
    auto chunk = chunkFor(row);
    auto r = rowAt(*chunk, row);
    if (r == chunk->end() || r->row != row) {
      if (chunk->size() >= kChunkRows) {
        // Split the full chunk; the row goes into the half it belongs to.
        const auto half = std::ptrdiff_t(chunk->size() / 2);
        Chunk upper(std::make_move_iterator(chunk->begin() + half), std::make_move_iterator(chunk->end()));
        chunk->erase(chunk->begin() + half, chunk->end());
        const auto at = chunk - chunks_.begin();
        chunks_.insert(chunk + 1, std::move(upper));
        chunk = chunks_.begin() + at;
        if (chunk->back().row < row) ++chunk;
        r = rowAt(*chunk, row);
      }
      r = chunk->insert(r, Row{row, {}});
    }
    cells = &r->cells;
  }
  if (cells->empty() || cells->back().col < col) {
    ++size_;
    Entry& e = cells->emplace_back();
    e.col = col;
    return e.cell;
  }
  const auto e = columnAt(*cells, col);
  if (e != cells->end() && e->col == col) return e->cell;
  ++size_;
  return cells->insert(e, Entry{col, {}})->cell;
}

void CellStore::erase(std::int32_t col, std::int32_t row) {
  const auto chunk = chunkFor(row);
  if (chunk == chunks_.end()) return;
  const auto r = rowAt(*chunk, row);
  if (r == chunk->end() || r->row != row) return;
  const auto e = columnAt(r->cells, col);
  if (e == r->cells.end() || e->col != col) return;
  r->cells.erase(e);
  --size_;
  if (!r->cells.empty()) return;
  chunk->erase(r);
  if (chunk->empty()) chunks_.erase(chunk);
}

void CellStore::dropEmpty() {
  for (Chunk& chunk : chunks_) std::erase_if(chunk, [](const Row& r) { return r.cells.empty(); });
  std::erase_if(chunks_, [](const Chunk& c) { return c.empty(); });
}

void CellStore::removeRows(std::int32_t first, std::int32_t count) {
  const std::int64_t end = std::int64_t(first) + count;
  for (Chunk& chunk : chunks_)
    for (Row& r : chunk) {
      if (r.row >= first && r.row < end) {
        size_ -= r.cells.size();
        r.cells.clear();
      } else if (r.row >= end) {
        r.row -= count;
      }
    }
  dropEmpty();
}

void CellStore::removeCols(std::int32_t first, std::int32_t count) {
  const std::int64_t end = std::int64_t(first) + count;
  eraseIf([&](std::int32_t col, std::int32_t, const Cell&) { return col >= first && col < end; });
  for (Chunk& chunk : chunks_)
    for (Row& r : chunk)
      for (Entry& e : r.cells)
        if (e.col >= end) e.col -= count;
}

}  // namespace spread
