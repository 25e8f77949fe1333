// Sizes measured from cell texts: the height a row needs for its texts, the width a column
// needs, and the same for one cell.
#include <algorithm>

#include "components/spread/model/book.h"

namespace spread {

namespace {

bool wraps(const Style& s) { return (s.type() == CellType::StaticText && s.textWordWrap) || (s.type() == CellType::Edit && s.editMultiLine); }

}  // namespace

TextFont Book::fontOf(const Style& s) const { return {s.fontName, s.fontSize, s.fontBold, s.fontItalic}; }

double Book::charWidthPixels() const { return metrics_->textWidth(fontOf(*sheet().styleAt(kAll, kAll)), "0"); }

std::string Book::shownText(std::int32_t c, std::int32_t r) const {
  const Sheet& s = sheet();
  const Style& style = *s.styleAt(c, r);
  switch (style.type()) {
    case CellType::Button: return style.buttonText;
    case CellType::CheckBox: return style.checkText;
    case CellType::Picture: return {};
    default: break;
  }
  std::string text = cellText(c, r);
  if (style.type() == CellType::Edit && style.editPassword) text.assign(text.size(), '*');
  return text;
}

double Book::cellTextHeightPixels(std::int32_t c, std::int32_t r) const {
  const Style& style = *sheet().styleAt(c, r);
  const std::string text = shownText(c, r);
  if (text.empty()) return 0;
  const TextFont font = fontOf(style);
  double width = sheet().colWidth(c) * charWidthPixels();
  if (const Span* span = sheet().spanAt(c, r); span && span->col == c) {
    width = 0;
    for (std::int32_t i = c; i < c + span->cols; ++i) width += sheet().colWidth(i) * charWidthPixels();
  }
  const size_t lines = wraps(style) ? WrapText(*metrics_, font, text, std::max(width - 2 * kCellMarginX, 1.0)).size() : TextLines(text).size();
  return double(lines) * metrics_->lineHeight(font) + 2 * kCellMarginY;
}

double Book::cellTextWidthPixels(std::int32_t c, std::int32_t r) const {
  const std::string text = shownText(c, r);
  if (text.empty()) return 0;
  const TextFont font = fontOf(*sheet().styleAt(c, r));
  double widest = 0;
  for (const std::string& line : TextLines(text)) widest = std::max(widest, metrics_->textWidth(font, line));
  return widest + 2 * kCellMarginX;
}

double Book::maxTextRowHeight(std::int32_t r) const {
  const Sheet& s = sheet();
  double tallest = 0;
  s.forEachCell(Block{1, r, s.maxCols(), r}, [&](std::int32_t c, std::int32_t, const Cell&) {
    if (const Line* l = s.colLine(c); !(l && l->hidden)) tallest = std::max(tallest, cellTextHeightPixels(c, r));
  });
  return tallest > 0 ? tallest / metrics_->pixelsPerPoint() : s.defaultRowHeight;
}

double Book::maxTextColWidth(std::int32_t c) const {
  const Sheet& s = sheet();
  double widest = 0;
  s.forEachCell(Block{c, 1, c, s.maxRows()}, [&](std::int32_t, std::int32_t r, const Cell&) {
    if (const Line* l = s.rowLine(r); !(l && l->hidden)) widest = std::max(widest, cellTextWidthPixels(c, r));
  });
  return widest / charWidthPixels();
}

double Book::maxTextCellHeight(std::int32_t c, std::int32_t r) const {
  const double h = cellTextHeightPixels(c, r);
  return h > 0 ? h / metrics_->pixelsPerPoint() : sheet().defaultRowHeight;
}

double Book::maxTextCellWidth(std::int32_t c, std::int32_t r) const { return cellTextWidthPixels(c, r) / charWidthPixels(); }

}  // namespace spread
