// An imported sheet written as text straight from its imported cells: the same text AppendTextOf
// writes for the sheet ApplyImport makes of it (the same rows and columns, the same texts and
// quoting), without making the grid's cells first. A converter writing a large workbook as text
// spends its time on the text alone.
//
// It takes a sheet whose cells come in row order, one per place, as the readers make them, and a
// layout without headers, values instead of texts or UTF-16 (the converter's); for any other
// taken() is false, and the grid's way is to be taken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "components/spread/formats/exports.h"
#include "components/spread/formats/imported_values.h"
#include "components/spread/formats/workbook_import.h"

namespace spread::files {

class ImportedSheetText {
 public:
  // sheet must outlive this.
  ImportedSheetText(const ImportedSheet& sheet, const TextLayout& layout);
  bool taken() const { return taken_; }
  // The rows (from 1) and columns (from 1) written: the sheet's data, as DataBlock gives it.
  std::int32_t rows() const { return rows_; }
  std::int32_t cols() const { return cols_; }
  // Appends the rows after those appended so far, up to lastRow.
  void appendRows(std::string& out, std::int32_t lastRow);

 private:
  void appendEmpty(std::string& out, std::int32_t col);

  const ImportedSheet& sheet_;
  TextLayout layout_;
  bool taken_ = false;
  std::int32_t maxRows_ = 1, maxCols_ = 1, rows_ = 1, cols_ = 1;
  std::int32_t next_ = 1;  // the next row to write
  ImportedCells::Iterator at_;
  ImportStyles styles_;
  Cell cell_;                          // each cell in turn (a cell the import drops leaves it as it was, unused)
  std::string empty_;                  // what a place without a cell shows
  std::string scratch_;                // a cell's text when it is not held as text
  std::vector<std::string> problems_;  // the import's, not shown by a text export
};

}  // namespace spread::files
