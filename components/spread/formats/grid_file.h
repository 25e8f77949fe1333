// The grid's own file (SaveToFile/LoadFromFile): everything the grid holds, so a load gives back
// the grid that was saved: the grid-wide settings, every sheet with its size, default sizes,
// styles of the sheet, rows, columns and cells (every type property and the formatting),
// values, notes, formulas, row and column sizes, hidden lines, page breaks, column ids, spans,
// frozen lines, the active cell, the selection and the pictures' bytes.
//
// The format is text, one record a line, fields split by one blank:
//   KESTREL-GRID 1                         first line: the format and its version
//   book SHEET ACTIVE ROW COL ROW2 COL2    the addressed and the active sheet, the addressed block
//   set FIELD VALUE                        one grid-wide setting
//   sort COL INDICATOR                     a column's sort indicator
//   picture ID KIND FILENAME HEXBYTES      a picture styles refer to
//   style ID FIELD VALUE FIELD VALUE ...   a style: the fields that differ from a new cell's
//   sheet NAME VISIBLE MAXROWS MAXCOLS ROWHEIGHT COLWIDTH DEFAULTSTYLE
//   view ACTIVECOL ACTIVEROW TOPROW LEFTCOL ROWSFROZEN COLSFROZEN
//   select COL ROW COL2 ROW2
//   row N STYLE SIZE HIDDEN PAGEBREAK ID   (and col ...): a line that carries something
//   cell COL ROW STYLE KIND VALUE NOTE FORMULA   KIND: n none, t text, d number, D date (day),
//                                               T time (seconds)
//   span COL ROW COLS ROWS
//   end                                    last line; a file without it is cut short
// Texts are "=" followed by the text with every byte below 0x21, above 0x7E and "%" written as
// %XX; numbers in C notation; STYLE -1 is none. Lines of unknown kinds and unknown style or
// setting fields are skipped, so older programs read newer files. The records and their fields
// are those of records/book_records.h (the stream a container stores carries the same), read and
// written through records/book_walker.h; this file is their encoding.
//
// Saving writes atomically and flushes to the disk; dataOnly keeps values only (no styles, sizes or settings). A load
// checks the whole file first and leaves the grid as it was when anything is wrong.
#pragma once

#include <string>

namespace spread {
class AddressedBook;
}

namespace spread::files {

// The book is given back addressing the sheet it addressed.
std::string GridFileText(AddressedBook& book, bool dataOnly);
[[nodiscard]] bool SaveGridFile(AddressedBook& book, const std::string& path, bool dataOnly, std::string* error);
// Refuses (false, *error) text that is not a whole grid file; otherwise replaces the grid.
[[nodiscard]] bool ReadGridFileText(AddressedBook& book, const std::string& text, std::string* error);
[[nodiscard]] bool LoadGridFile(AddressedBook& book, const std::string& path, std::string* error);

}  // namespace spread::files
