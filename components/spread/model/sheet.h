// One sheet of the grid: its size, its cells (sparse: only cells that hold a value, a style, a
// note or a formula exist), the styles of its rows, columns and default, row heights and column
// widths, hidden rows and columns, spans, and its view state (active cell, selection, top-left
// cell, frozen rows and columns).
//
// Numbering: rows 1..maxRows and columns 1..maxCols are the sheet; row 0 holds the column
// headers and column 0 the row headers. In a Block, -1 as the row means every row, -1 as the
// column every column.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "components/spread/model/cell_format.h"
#include "components/spread/model/cell_store.h"
#include "components/spread/model/style.h"
#include "components/spread/model/values.h"

namespace spread {

inline constexpr std::int32_t kAll = -1;
// The largest sheet: more rows or columns are refused.
inline constexpr std::int32_t kRowLimit = 2'000'000, kColLimit = 100'000;

struct Block {
  std::int32_t col = 1, row = 1, col2 = 1, row2 = 1;
  bool allRows() const { return row == kAll; }
  bool allCols() const { return col == kAll; }
  bool contains(std::int32_t c, std::int32_t r) const {
    return (allCols() || (c >= col && c <= col2)) && (allRows() || (r >= row && r <= row2));
  }
  friend bool operator==(const Block&, const Block&) = default;
};

// What a row or column carries beyond its cells.
struct Line {
  StylePtr style;
  double size = -1;  // row height in points or column width in characters; -1: the default
  bool hidden = false, pageBreak = false;
  std::string id;  // ColID
  bool empty() const { return !style && size < 0 && !hidden && !pageBreak && id.empty(); }
};

// Cells joined into one: the anchor (col, row) and how many columns and rows it covers.
struct Span {
  std::int32_t col, row, cols, rows;
  bool contains(std::int32_t c, std::int32_t r) const { return c >= col && c < col + cols && r >= row && r < row + rows; }
  bool overlaps(const Span& o) const { return col < o.col + o.cols && o.col < col + cols && row < o.row + o.rows && o.row < row + rows; }
};

class Sheet {
 public:
  Sheet();

  std::string name;
  bool visible = true;

  std::int32_t maxRows() const { return maxRows_; }
  std::int32_t maxCols() const { return maxCols_; }
  // Cells, lines and spans beyond the new size are dropped; the active cell, the selection and
  // the top-left cell are kept within it.
  void setMaxRows(std::int32_t n);
  void setMaxCols(std::int32_t n);

  const Cell* cell(std::int32_t col, std::int32_t row) const;
  // The cell, made when missing; the reference stays valid until another cell of its row is made
  // or removed.
  Cell& cellForWrite(std::int32_t col, std::int32_t row) { return cells_.at(col, row); }
  void dropIfEmpty(std::int32_t col, std::int32_t row);
  // Calls fn for every existing cell in block, in row order; fn must not make or remove cells.
  // fn is called directly (an export visits every cell of a large sheet).
  template <class Fn>
  void forEachCell(const Block& block, Fn&& fn) {
    cells_.forEach(firstOf(block.allRows(), block.row), lastOf(block.allRows(), block.row2), firstOf(block.allCols(), block.col),
                   lastOf(block.allCols(), block.col2), fn);
  }
  template <class Fn>
  void forEachCell(const Block& block, Fn&& fn) const {
    const_cast<Sheet*>(this)->forEachCell(block, [&fn](std::int32_t c, std::int32_t r, const Cell& cell) { fn(c, r, cell); });
  }
  std::size_t cellCount() const { return cells_.size(); }

  // The style that applies: the cell's, else its row's, else its column's, else the default.
  // With kAll as the row (column), the column's (row's) or the default.
  const StylePtr& styleAt(std::int32_t col, std::int32_t row) const;
  // Changes the styles the block covers so that change applies to every cell of it, now and
  // (for whole rows, columns or the sheet) for cells written later; the other properties of each
  // cell stay as they were. Values are then checked again under their new styles (values the
  // new rules refuse are cleared).
  void changeStyles(const Block& block, const std::function<void(Style&)>& change, const FormatContext& context);

  const Line* rowLine(std::int32_t row) const;
  const Line* colLine(std::int32_t col) const;
  Line& rowLineForWrite(std::int32_t row) { return rows_[row]; }
  Line& colLineForWrite(std::int32_t col) { return cols_[col]; }
  void dropEmptyLines();
  double rowHeight(std::int32_t row) const;  // points; 0 for a hidden row
  double colWidth(std::int32_t col) const;   // characters; 0 for a hidden column
  double defaultRowHeight = 12.0, defaultColWidth = 9.0;
  // For a view paging through a large sheet, in time that grows with the rows (columns) of a
  // size of their own, not with the sheet: the height of rows first..last, and the row that lies
  // at an offset from the top of row 1 (points; a hidden row is never the answer; past the last
  // row: maxRows + 1). The same for columns, in characters.
  double rowsHeight(std::int32_t first, std::int32_t last) const;
  std::int32_t rowAt(double offset) const;
  double colsWidth(std::int32_t first, std::int32_t last) const;
  std::int32_t colAt(double offset) const;

  // Spans: refused (false) when the span leaves the sheet, covers one cell only or overlaps one.
  bool addSpan(const Span& span);
  bool removeSpan(std::int32_t col, std::int32_t row);
  const Span* spanAt(std::int32_t col, std::int32_t row) const;
  const std::vector<Span>& spans() const { return spans_; }

  // Removes count rows (columns) from first on; the ones below (right) move up (left) and as many
  // empty ones come in at the end. Spans that touch the removed lines are removed.
  void deleteRows(std::int32_t first, std::int32_t count);
  void deleteCols(std::int32_t first, std::int32_t count);
  // Empties the block's values (and its cells' own styles, notes and formulas unless dataOnly).
  void clearRange(const Block& block, bool dataOnly);

  // The last row (column) that holds a value; 0 when none.
  std::int32_t dataRowCount() const;
  std::int32_t dataColCount() const;

  // View state.
  std::int32_t activeCol = 1, activeRow = 1;
  std::int32_t topRow = 1, leftCol = 1;
  std::int32_t rowsFrozen = 0, colsFrozen = 0;
  std::vector<Block> selection;  // the selected blocks, the newest last; empty when none

 private:
  // A block's bounds for the cell store: every row (column) when it covers them all.
  static std::int32_t firstOf(bool all, std::int32_t n) { return all ? std::numeric_limits<std::int32_t>::min() : n; }
  static std::int32_t lastOf(bool all, std::int32_t n) { return all ? std::numeric_limits<std::int32_t>::max() : n; }
  void keepViewInside();

  std::int32_t maxRows_ = 500, maxCols_ = 500;
  CellStore cells_;
  std::map<std::int32_t, Line> rows_, cols_;
  StylePtr default_;
  std::vector<Span> spans_;
};

}  // namespace spread
