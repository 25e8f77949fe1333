#include "components/spread/formats/imported_text.h"

#include <algorithm>

#include "components/spread/model/book.h"

namespace spread::files {

ImportedSheetText::ImportedSheetText(const ImportedSheet& sheet, const TextLayout& layout)
    : sheet_(sheet), layout_(layout), at_(sheet.cells.begin()) {
  if (layout.flags != 0 || layout.utf16) return;
  // The sheet's size and data as ApplyImport and DataBlock make them; cells outside the sheet
  // are left out as the import leaves them out.
  maxRows_ = std::clamp(sheet.rows, 1, kRowLimit);
  maxCols_ = std::clamp(sheet.cols, 1, kColLimit);
  std::int32_t lastRow = 0, lastCol = 0, row = 0, col = 0;
  for (const ImportedCell c : sheet.cells) {
    if (c.row < row || (c.row == row && c.col <= col) || c.row < 1 || c.col < 1) return;  // out of order, or twice
    row = c.row, col = c.col;
    if (c.row > maxRows_ || c.col > maxCols_ || !ImportedCellHolds(c)) continue;
    lastRow = std::max(lastRow, c.row);
    lastCol = std::max(lastCol, c.col);
  }
  rows_ = std::clamp(std::max(lastRow, 1), 1, maxRows_);
  cols_ = std::clamp(std::max(lastCol, 1), 1, maxCols_);
  empty_ = CellText(*Sheet().styleAt(1, 1), CellValue{});
  taken_ = true;
}

void ImportedSheetText::appendEmpty(std::string& out, std::int32_t col) {
  if (col > 1) out += layout_.colDelim;
  AppendQuoted(out, empty_, layout_);
}

void ImportedSheetText::appendRows(std::string& out, std::int32_t lastRow) {
  const ImportedCells::Iterator end = sheet_.cells.end();
  const std::int32_t last = std::min(lastRow, rows_);
  std::int32_t col = 1;  // the next column of row next_
  for (; at_ != end; ++at_) {
    const ImportedCell in = *at_;
    if (in.row < next_ || in.col > cols_) continue;  // outside the sheet or past its data
    for (; next_ < in.row && next_ <= last; ++next_, col = 1) {
      for (; col <= cols_; ++col) appendEmpty(out, col);
      out += layout_.rowDelim;
    }
    if (next_ > last) return;
    for (; col < in.col; ++col) appendEmpty(out, col);
    if (MakeImportedCell(cell_, in, sheet_.name, styles_, problems_)) {
      if (col > 1) out += layout_.colDelim;
      AppendQuoted(out, CellTextView(*cell_.style, cell_.value, scratch_), layout_);
    } else {
      appendEmpty(out, col);
    }
    problems_.clear();
    ++col;
  }
  for (; next_ <= last; ++next_, col = 1) {
    for (; col <= cols_; ++col) appendEmpty(out, col);
    out += layout_.rowDelim;
  }
}

}  // namespace spread::files
