// Cut, copy and paste of the grid's selection through the platform clipboard: tab-separated
// text, and an HTML table on copy (clipboard_text.h says what is taken and written). The view
// calls these for the Edit menu's Cut/Copy/Paste and their keys while the grid has the focus.
#pragma once

namespace spread {
class Book;
}

namespace spread::print {

void CopySelection(Book& book);
// Copies, then empties the selection's values.
void CutSelection(Book& book);
// Returns the number of cells that refused their text; -1 when the clipboard holds no text.
int PasteClipboard(Book& book);

}  // namespace spread::print
