// Sizes measured from cell texts: the height a row needs for its texts, the width a column
// needs, and the same for one cell.
#include <algorithm>

#include "components/spread/model/book.h"

namespace spread {

namespace {

bool wraps(const Style& s) { return (s.type() == CellType::StaticText && s.textWordWrap) || (s.type() == CellType::Edit && s.editMultiLine); }

}  // namespace

TextFont Book::fontOf(const Style& s) const { return {s.fontName, s.fontSize, s.fontBold, s.fontItalic}; }

double Book::charWidthPixels(const Sheet& s) const { return metrics_->textWidth(fontOf(*s.styleAt(kAll, kAll)), "0"); }

std::string Book::shownText(const Sheet& s, std::int32_t c, std::int32_t r) const {
  const Style& style = *s.styleAt(c, r);
  switch (style.type()) {
    case CellType::Button: return style.buttonText;
    case CellType::CheckBox: return style.checkText;
    case CellType::Picture: return {};
    default: break;
  }
  std::string text = cellText(s, c, r);
  if (style.type() == CellType::Edit && style.editPassword) text.assign(text.size(), '*');
  return text;
}

double Book::cellTextHeightPixels(const Sheet& s, std::int32_t c, std::int32_t r) const {
  const Style& style = *s.styleAt(c, r);
  const std::string text = shownText(s, c, r);
  if (text.empty()) return 0;
  const TextFont font = fontOf(style);
  double width = s.colWidth(c) * charWidthPixels(s);
  if (const Span* span = s.spanAt(c, r); span && span->col == c) {
    width = 0;
    for (std::int32_t i = c; i < c + span->cols; ++i) width += s.colWidth(i) * charWidthPixels(s);
  }
  const size_t lines = wraps(style) ? WrapText(*metrics_, font, text, std::max(width - 2 * kCellMarginX, 1.0)).size() : TextLines(text).size();
  return double(lines) * metrics_->lineHeight(font) + 2 * kCellMarginY;
}

double Book::cellTextWidthPixels(const Sheet& s, std::int32_t c, std::int32_t r) const {
  const std::string text = shownText(s, c, r);
  if (text.empty()) return 0;
  const TextFont font = fontOf(*s.styleAt(c, r));
  double widest = 0;
  for (const std::string& line : TextLines(text)) widest = std::max(widest, metrics_->textWidth(font, line));
  return widest + 2 * kCellMarginX;
}

double Book::maxTextRowHeight(const Sheet& s, std::int32_t r) const {
  double tallest = 0;
  s.forEachCell(Block{1, r, s.maxCols(), r}, [&](std::int32_t c, std::int32_t, const Cell&) {
    if (const Line* l = s.colLine(c); !(l && l->hidden)) tallest = std::max(tallest, cellTextHeightPixels(s, c, r));
  });
  return tallest > 0 ? tallest / metrics_->pixelsPerPoint() : s.defaultRowHeight;
}

double Book::maxTextColWidth(const Sheet& s, std::int32_t c) const {
  double widest = 0;
  s.forEachCell(Block{c, 1, c, s.maxRows()}, [&](std::int32_t, std::int32_t r, const Cell&) {
    if (const Line* l = s.rowLine(r); !(l && l->hidden)) widest = std::max(widest, cellTextWidthPixels(s, c, r));
  });
  return widest / charWidthPixels(s);
}

double Book::maxTextCellHeight(const Sheet& s, std::int32_t c, std::int32_t r) const {
  const double h = cellTextHeightPixels(s, c, r);
  return h > 0 ? h / metrics_->pixelsPerPoint() : s.defaultRowHeight;
}

double Book::maxTextCellWidth(const Sheet& s, std::int32_t c, std::int32_t r) const {
  return cellTextWidthPixels(s, c, r) / charWidthPixels(s);
}

}  // namespace spread
