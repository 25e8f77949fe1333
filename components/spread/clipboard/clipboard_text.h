// The grid's selection as clipboard data, and pasting clipboard text into the grid (no Qt: the
// print library moves these texts through the platform clipboard). The selection is the active
// sheet's last selected block, else its active cell.
//
// Copy gives the cells' texts, tab-separated, rows ended by "\r\n" (a text holding a tab, a line
// break or a leading double quote is quoted), and an HTML table of the same texts. Cut copies and
// then empties the cells' values (locked cells of a protected sheet stay). Paste writes the
// rows and columns of the text from the active cell on, each cell through its type's rules;
// cells that refuse their text keep what they held and are counted.
#pragma once

#include <string>

#include "components/spread/model/sheet.h"

namespace spread {
class Book;
}

namespace spread::files {

Block ClipboardBlock(const Book& book);
std::string SelectionText(Book& book);
std::string SelectionHtml(Book& book);
// Empties the values of the selection's cells; false when none could change.
bool ClearSelection(Book& book);
// Returns the number of cells that refused their text.
int PasteText(Book& book, const std::string& ansi);

}  // namespace spread::files
