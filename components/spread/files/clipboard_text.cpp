#include "components/spread/files/clipboard_text.h"

#include <vector>

#include "components/spread/files/exports.h"
#include "components/spread/model/book.h"

namespace spread::files {
namespace {

// Runs f with the active sheet addressed, then addresses the sheet that was.
template <class F>
auto OnActiveSheet(Book& book, F f) {
  const std::int32_t kept = book.sheetIndex();
  book.setSheetIndex(book.activeSheetIndex());
  auto r = f();
  book.setSheetIndex(kept);
  return r;
}

}  // namespace

Block ClipboardBlock(const Book& book) {
  const Sheet& s = book.activeSheet();
  if (!s.selection.empty()) return s.selection.back();
  return Block{s.activeCol, s.activeRow, s.activeCol, s.activeRow};
}

std::string SelectionText(Book& book) {
  return OnActiveSheet(book, [&] { return TextOf(book, ClipboardBlock(book), TextLayout{}); });
}

std::string SelectionHtml(Book& book) {
  return OnActiveSheet(book, [&] { return HtmlTable(book, ClipboardBlock(book)); });
}

bool ClearSelection(Book& book) {
  return OnActiveSheet(book, [&] {
    const Block b = DataBlock(book, ClipboardBlock(book));
    bool changed = false;
    for (std::int32_t r = b.row; r <= b.row2; ++r)
      for (std::int32_t c = b.col; c <= b.col2; ++c)
        if (!book.cellValueText(book.sheet(), c, r).empty() && book.writeText(book.sheet(), Block{c, r, c, r}, "", nullptr)) changed = true;
    return changed;
  });
}

int PasteText(Book& book, const std::string& ansi) {
  return OnActiveSheet(book, [&] {
    const auto rows = SplitText(ansi, TextLayout{});
    Sheet& to = book.sheet();
    const std::int32_t c0 = to.activeCol, r0 = to.activeRow;
    int refused = 0;
    for (size_t r = 0; r < rows.size() && r0 + std::int64_t(r) <= to.maxRows(); ++r)
      for (size_t c = 0; c < rows[r].size() && c0 + std::int64_t(c) <= to.maxCols(); ++c) {
        const auto col = c0 + std::int32_t(c), row = r0 + std::int32_t(r);
        if (!book.writeText(book.sheet(), Block{col, row, col, row}, rows[r][c], nullptr)) ++refused;
      }
    return refused;
  });
}

}  // namespace spread::files
