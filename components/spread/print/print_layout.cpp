#include "components/spread/print/print_layout.h"

#include <algorithm>

#include "components/spread/members/addressed_book.h"

namespace spread::files {
namespace {

constexpr double kHeaderLineHeight = 12, kBandGap = 6, kSmallestScale = 0.1, kScaleStep = 0.98;

enum class Scaling : std::int32_t { ActualSize = 0, FitWidth = 1, BestFit = 2 };

double Twips(std::int32_t twips) { return twips > 0 ? twips / 20.0 : 36; }

// Splits lines into bands no longer than room; a line with a break before it starts a band.
std::vector<PageBand> Bands(const std::vector<std::int32_t>& lines, double room, const auto& size, const auto& breaksBefore) {
  std::vector<PageBand> bands;
  double used = 0;
  for (const std::int32_t n : lines) {
    const double s = size(n);
    if (bands.empty() || (used + s > room && !bands.back().lines.empty()) || (breaksBefore(n) && !bands.back().lines.empty())) {
      bands.emplace_back();
      used = 0;
    }
    bands.back().lines.push_back(n);
    used += s;
  }
  if (bands.empty()) bands.emplace_back();
  return bands;
}

}  // namespace

double PrintLayout::rowHeight(const AddressedBook& book, std::int32_t row) const { return book.sheet().rowHeight(row) * scale; }
double PrintLayout::colWidth(const AddressedBook& book, std::int32_t col) const {
  return book.sheet().colWidth(col) * book.charWidthPixels(book.sheet()) / book.metrics().pixelsPerPoint() * scale;
}

PrintLayout LayOutPrint(const AddressedBook& book) {
  const BookSettings& set = book.settings;
  const Sheet& sheet = book.sheet();
  PrintLayout p;
  if (set.printOrientation == 2) std::swap(p.pageWidth, p.pageHeight);
  p.left = Twips(set.printMarginLeft);
  p.top = Twips(set.printMarginTop);
  p.right = Twips(set.printMarginRight);
  p.bottom = Twips(set.printMarginBottom);
  const auto lineCount = [](const std::string& t) { return ExpandHeaderText(t, 1, 1, {}, {}).size(); };
  if (const auto n = lineCount(set.printHeader)) p.headerHeight = n * kHeaderLineHeight + kBandGap;
  if (const auto n = lineCount(set.printFooter)) p.footerHeight = n * kHeaderLineHeight + kBandGap;

  std::int32_t row1 = 1, col1 = 1, row2 = set.printUseDataMax ? std::max(sheet.dataRowCount(), 1) : sheet.maxRows();
  std::int32_t col2 = set.printUseDataMax ? std::max(sheet.dataColCount(), 1) : sheet.maxCols();
  if (set.printType == 1) {
    const Block b = book.addressed();
    if (!b.allRows()) row1 = std::max(b.row, 1), row2 = std::min(b.row2, sheet.maxRows());
    if (!b.allCols()) col1 = std::max(b.col, 1), col2 = std::min(b.col2, sheet.maxCols());
  }
  std::vector<std::int32_t> rows, cols;
  for (std::int32_t r = row1; r <= row2; ++r)
    if (sheet.rowHeight(r) > 0) rows.push_back(r);
  for (std::int32_t c = col1; c <= col2; ++c)
    if (sheet.colWidth(c) > 0) cols.push_back(c);

  const double colHeaderHeight =
      set.printColHeaders && set.colHeadersShow ? (sheet.rowHeight(0) > 0 ? sheet.rowHeight(0) : sheet.defaultRowHeight) : 0;
  const bool rowHeader = set.printRowHeader && set.rowHeadersShow;
  const auto rowBreak = [&](std::int32_t r) {
    const Line* l = sheet.rowLine(r);
    return l && l->pageBreak;
  };
  const auto colBreak = [&](std::int32_t c) {
    const Line* l = sheet.colLine(c);
    return l && l->pageBreak;
  };
  // Lays the bands out at p.scale.
  const auto layOut = [&] {
    p.colHeaderHeight = colHeaderHeight * p.scale;
    p.rowHeaderWidth = rowHeader ? std::max(p.colWidth(book, 0), 18.0 * p.scale) : 0;
    const double width = std::max(p.pageWidth - p.left - p.right - p.rowHeaderWidth, 36.0);
    const double height = std::max(p.pageHeight - p.top - p.bottom - p.headerHeight - p.footerHeight - p.colHeaderHeight, 36.0);
    p.rowBands = Bands(
        rows, height, [&](std::int32_t r) { return p.rowHeight(book, r); }, rowBreak);
    p.colBands = Bands(
        cols, width, [&](std::int32_t c) { return p.colWidth(book, c); }, colBreak);
  };
  layOut();
  // The most pages each way the scaling allows (0: no limit); page breaks still count.
  std::size_t across = 0, down = 0;
  if (set.printScalingMethod == std::int32_t(Scaling::FitWidth)) across = 1;
  if (set.printScalingMethod == std::int32_t(Scaling::BestFit)) {
    across = std::size_t(std::max<std::int16_t>(set.printBestFitPagesWide, 0));
    down = std::size_t(std::max<std::int16_t>(set.printBestFitPagesTall, 0));
  }
  const auto breaks = [](const std::vector<std::int32_t>& lines, const auto& breakBefore) {
    return std::size_t(std::count_if(lines.begin() + (lines.empty() ? 0 : 1), lines.end(), breakBefore)) + 1;
  };
  if (across) across = std::max(across, breaks(cols, colBreak));
  if (down) down = std::max(down, breaks(rows, rowBreak));
  const auto tooMany = [&] { return (across && p.colBands.size() > across) || (down && p.rowBands.size() > down); };
  if (tooMany()) {
    // Start from the share of the room the lines take at full size, then shrink until the bands
    // fit (a band holds whole lines, so the share alone may leave one too many).
    const auto sum = [&](const std::vector<std::int32_t>& lines, const auto& size) {
      double t = 0;
      for (const std::int32_t n : lines) t += size(n);
      return t;
    };
    const double wide = sum(cols, [&](std::int32_t c) { return p.colWidth(book, c); });
    const double tall = sum(rows, [&](std::int32_t r) { return p.rowHeight(book, r); });
    const double roomW = p.pageWidth - p.left - p.right - p.rowHeaderWidth;
    const double roomH = p.pageHeight - p.top - p.bottom - p.headerHeight - p.footerHeight - p.colHeaderHeight;
    double share = 1;
    if (across && wide > 0) share = std::min(share, roomW * double(across) / wide);
    if (down && tall > 0) share = std::min(share, roomH * double(down) / tall);
    p.scale = std::clamp(share, kSmallestScale, 1.0);
    layOut();
  }
  while (tooMany() && p.scale > kSmallestScale) {
    p.scale = std::max(p.scale * kScaleStep, kSmallestScale);
    layOut();
  }
  const bool acrossFirst = set.printPageOrder == 2;
  const auto nr = std::int32_t(p.rowBands.size()), nc = std::int32_t(p.colBands.size());
  for (std::int32_t outer = 0; outer < (acrossFirst ? nr : nc); ++outer)
    for (std::int32_t inner = 0; inner < (acrossFirst ? nc : nr); ++inner)
      p.pages.push_back(
          PrintPage{acrossFirst ? outer : inner, acrossFirst ? inner : outer, set.printFirstPageNumber + std::int32_t(p.pages.size())});
  const auto total = std::int32_t(p.pages.size());
  std::int32_t from = 1, to = total;
  if (set.printType == 2) from = to = set.pageCurrent;
  if (set.printType == 3) from = set.printPageStart, to = set.printPageEnd;
  for (std::int32_t i = std::max(from, 1); i <= std::min(to, total); ++i) p.chosen.push_back(i - 1);
  return p;
}

std::vector<HeaderLine> ExpandHeaderText(const std::string& text, std::int32_t page, std::int32_t pageCount, const std::string& date,
                                         const std::string& time) {
  std::vector<HeaderLine> lines;
  if (text.empty()) return lines;
  lines.emplace_back();
  std::vector<TextRun>* place = &lines.back().centre;
  bool bold = false;
  const auto add = [&](std::string_view s) {
    if (place->empty() || place->back().bold != bold) place->push_back(TextRun{{}, bold});
    place->back().text += s;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const std::string_view rest = std::string_view(text).substr(i);
    const auto code = [&](std::string_view c) { return rest.starts_with(c) ? (i += c.size() - 1, true) : false; };
    if (text[i] == '\n' || code("/n")) {
      const int where = place == &lines.back().left ? 0 : place == &lines.back().right ? 2 : 1;
      lines.emplace_back();
      place = where == 0 ? &lines.back().left : where == 2 ? &lines.back().right : &lines.back().centre;
    } else if (text[i] == '\r') {
    } else if (code("/fb1")) {
      bold = true;
    } else if (code("/fb0")) {
      bold = false;
    } else if (code("/l")) {
      place = &lines.back().left;
    } else if (code("/c")) {
      place = &lines.back().centre;
    } else if (code("/r")) {
      place = &lines.back().right;
    } else if (code("/pc")) {
      add(std::to_string(pageCount));
    } else if (code("/p")) {
      add(std::to_string(page));
    } else if (code("/d")) {
      add(date);
    } else if (code("/t")) {
      add(time);
    } else if (code("//")) {
      add("/");
    } else {
      add(std::string_view(&text[i], 1));
    }
  }
  return lines;
}

namespace {
std::int32_t NextBreak(const std::vector<PageBand>& bands, std::int32_t line) {
  for (size_t i = 0; i + 1 < bands.size(); ++i)
    if (!bands[i].lines.empty() && bands[i].lines.front() <= line && line <= bands[i].lines.back() && !bands[i + 1].lines.empty())
      return bands[i + 1].lines.front();
  return 0;
}
}  // namespace

std::int32_t NextPageBreakRow(const PrintLayout& layout, std::int32_t row) { return NextBreak(layout.rowBands, row); }
std::int32_t NextPageBreakCol(const PrintLayout& layout, std::int32_t col) { return NextBreak(layout.colBands, col); }

}  // namespace spread::files
