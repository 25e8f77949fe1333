#include "components/spread/clipboard/clipboard_text.h"

#include <vector>

#include "components/spread/formats/exports.h"
#include "components/spread/model/book.h"

namespace spread::files {
Block ClipboardBlock(const Book& book) {
  const Sheet& s = book.activeSheet();
  if (!s.selection.empty()) return s.selection.back();
  return Block{s.activeCol, s.activeRow, s.activeCol, s.activeRow};
}

std::string SelectionText(Book& book) { return TextOf(book, book.activeSheet(), ClipboardBlock(book), TextLayout{}); }

std::string SelectionHtml(Book& book) { return HtmlTable(book, book.activeSheet(), ClipboardBlock(book)); }

bool ClearSelection(Book& book) {
  Sheet& s = book.activeSheet();
  const Block b = DataBlock(s, ClipboardBlock(book));
  bool changed = false;
  for (std::int32_t r = b.row; r <= b.row2; ++r)
    for (std::int32_t c = b.col; c <= b.col2; ++c)
      if (!book.cellValueText(s, c, r).empty() && book.writeText(s, Block{c, r, c, r}, "", nullptr)) changed = true;
  return changed;
}

int PasteText(Book& book, const std::string& ansi) {
  {
    const auto rows = SplitText(ansi, TextLayout{});
    Sheet& to = book.activeSheet();
    const std::int32_t c0 = to.activeCol, r0 = to.activeRow;
    int refused = 0;
    for (size_t r = 0; r < rows.size() && r0 + std::int64_t(r) <= to.maxRows(); ++r)
      for (size_t c = 0; c < rows[r].size() && c0 + std::int64_t(c) <= to.maxCols(); ++c) {
        const auto col = c0 + std::int32_t(c), row = r0 + std::int32_t(r);
        if (!book.writeText(to, Block{col, row, col, row}, rows[r][c], nullptr)) ++refused;
      }
    return refused;
  }
}

}  // namespace spread::files
