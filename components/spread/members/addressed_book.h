// A book as automation sees it: the book and what its cell-level members address.
//
// Addressing. Row, Col (and, with BlockMode on, Row2 and Col2) choose the cell or block that
// cell-level properties read and write; -1 as the row means the whole column(s), -1 as the column
// the whole row(s), both -1 the whole sheet. A read gives what applies to the first cell (its
// own setting, else its row's, else its column's, else the sheet's). Sheet chooses the sheet
// they address (1 to SheetCount); the book's active sheet is the one shown, and the view state
// members read and set (active cell, selection, top-left cell) is the active sheet's.
//
// The address belongs to automation alone: the book, its user operations and its views never
// read it. A file of the whole grid keeps it with the book.
#pragma once

#include <cstdint>

#include "components/spread/model/book.h"

namespace spread {

struct Addressing {
  std::int32_t sheet = 1;  // 1 to the book's sheetCount
  std::int32_t row = 1, col = 1, row2 = 1, col2 = 1;
};

class AddressedBook : public Book {
 public:
  // Back to a new grid (Book::reset), addressing cell (1, 1) of sheet 1.
  void reset();

  const Addressing& address() const { return address_; }
  // Row, Col, Row2, Col2: -1 to the limits (kRowLimit, kColLimit); kept as given.
  void setRow(std::int32_t n) { address_.row = n; }
  void setCol(std::int32_t n) { address_.col = n; }
  void setRow2(std::int32_t n) { address_.row2 = n; }
  void setCol2(std::int32_t n) { address_.col2 = n; }
  // The addressed sheet: false when there is no sheet n.
  bool setSheetIndex(std::int32_t n);
  std::int32_t sheetIndex() const;
  // Sheet count changes go through here, so the address stays on a sheet that exists.
  bool setSheetCount(std::int32_t n);

  Sheet& sheet() { return sheetAt(sheetIndex()); }
  const Sheet& sheet() const { return sheetAt(sheetIndex()); }
  // The addressed cell or block, its corners in order (BlockMode off: the cell Row, Col).
  Block addressed() const;

 private:
  Addressing address_;
};

}  // namespace spread
