#include "components/spread/print/print_sheet.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/print/pdf_writer.h"

namespace spread::files {
namespace {

constexpr std::uint32_t kBlack = 0x000000, kGridGrey = 0xC0C0C0, kHeaderFill = 0xE0E0E0;
constexpr double kPad = 2, kHeaderTextSize = 10;

std::atomic<PrintHook*> g_hook{nullptr};

void DrawRuns(PageCanvas& canvas, const std::vector<TextRun>& runs, double x, double y) {
  for (const TextRun& r : runs) {
    canvas.text(x, y, r.text, r.bold, kHeaderTextSize, kBlack, 0, 0, 0, 0);
    x += canvas.textWidth(r.text, r.bold, kHeaderTextSize);
  }
}

double RunsWidth(const PageCanvas& canvas, const std::vector<TextRun>& runs) {
  double w = 0;
  for (const TextRun& r : runs) w += canvas.textWidth(r.text, r.bold, kHeaderTextSize);
  return w;
}

void DrawHeaderLines(PageCanvas& canvas, const std::vector<HeaderLine>& lines, double left, double right, double y) {
  for (const HeaderLine& l : lines) {
    y += 12;
    DrawRuns(canvas, l.left, left, y - 2);
    DrawRuns(canvas, l.centre, (left + right - RunsWidth(canvas, l.centre)) / 2, y - 2);
    DrawRuns(canvas, l.right, right - RunsWidth(canvas, l.right), y - 2);
  }
}

// One cell's text in its box, aligned as its style says.
void DrawCellText(PageCanvas& canvas, const std::string& text, const Style& style, double scale, bool colour, double x, double y, double w,
                  double h) {
  if (text.empty()) return;
  const double size = std::clamp<double>(style.fontSize, 4, 72) * scale;
  const double width = canvas.textWidth(text, style.fontBold, size);
  double tx = x + kPad;
  if (style.hAlign == std::int16_t(HAlign::Right)) tx = x + w - kPad - width;
  if (style.hAlign == std::int16_t(HAlign::Center)) tx = x + (w - width) / 2;
  double ty = y + size + kPad / 2;
  if (style.vAlign == std::int32_t(VAlign::Bottom)) ty = y + h - kPad;
  if (style.vAlign == std::int32_t(VAlign::Center)) ty = y + (h + size) / 2 - 1;
  canvas.text(tx, ty, text, style.fontBold, size, colour ? style.foreColor : kBlack, x, y, w, h);
}

}  // namespace

void DrawPage(const AddressedBook& book, const PrintLayout& layout, std::int32_t index, PageCanvas& canvas, const std::string& date,
              const std::string& time) {
  const BookSettings& set = book.settings;
  const Sheet& sheet = book.sheet();
  const PrintPage& page = layout.pages[size_t(index)];
  const auto total = std::int32_t(layout.pages.size());
  const double left = layout.left, right = layout.pageWidth - layout.right;
  DrawHeaderLines(canvas, ExpandHeaderText(set.printHeader, page.number, total, date, time), left, right, layout.top);
  const auto footer = ExpandHeaderText(set.printFooter, page.number, total, date, time);
  DrawHeaderLines(canvas, footer, left, right, layout.pageHeight - layout.bottom - double(footer.size()) * 12);

  const PageBand& rows = layout.rowBands[size_t(page.rowBand)];
  const PageBand& cols = layout.colBands[size_t(page.colBand)];
  double x0 = left, y0 = layout.top + layout.headerHeight;
  std::vector<double> xs{layout.rowHeaderWidth}, ys{layout.colHeaderHeight};
  for (const std::int32_t c : cols.lines) xs.push_back(xs.back() + layout.colWidth(book, c));
  for (const std::int32_t r : rows.lines) ys.push_back(ys.back() + layout.rowHeight(book, r));
  // Centring moves the page's grid into the middle of the room between the margins.
  if (set.printCenterOnPageH) x0 += std::max((right - left - xs.back()) / 2, 0.0);
  if (set.printCenterOnPageV) {
    const double room = layout.pageHeight - layout.bottom - layout.footerHeight - y0;
    y0 += std::max((room - ys.back()) / 2, 0.0);
  }
  for (double& x : xs) x += x0;
  for (double& y : ys) y += y0;
  const Style& headerStyle = *sheet.styleAt(0, 0);
  if (layout.colHeaderHeight > 0) {
    if (set.printColor) canvas.fillRect(xs.front(), y0, xs.back() - xs.front(), layout.colHeaderHeight, kHeaderFill);
    for (size_t i = 0; i < cols.lines.size(); ++i) {
      Style centred = headerStyle;
      centred.hAlign = std::int16_t(HAlign::Center);
      DrawCellText(canvas, book.headerText(book.sheet(), cols.lines[i], 0), centred, layout.scale, false, xs[i], y0, xs[i + 1] - xs[i],
                   layout.colHeaderHeight);
    }
  }
  if (layout.rowHeaderWidth > 0) {
    if (set.printColor) canvas.fillRect(x0, ys.front(), layout.rowHeaderWidth, ys.back() - ys.front(), kHeaderFill);
    for (size_t i = 0; i < rows.lines.size(); ++i)
      DrawCellText(canvas, book.headerText(book.sheet(), 0, rows.lines[i]), headerStyle, layout.scale, false, x0, ys[i], layout.rowHeaderWidth,
                   ys[i + 1] - ys[i]);
  }
  for (size_t ri = 0; ri < rows.lines.size(); ++ri) {
    for (size_t ci = 0; ci < cols.lines.size(); ++ci) {
      const std::int32_t r = rows.lines[ri], c = cols.lines[ci];
      const Style& style = *sheet.styleAt(c, r);
      double w = xs[ci + 1] - xs[ci], h = ys[ri + 1] - ys[ri];
      if (const Span* span = sheet.spanAt(c, r)) {
        if (span->col != c || span->row != r) continue;
        for (std::int32_t k = 1; k < span->cols && ci + size_t(k) < cols.lines.size(); ++k) w += xs[ci + size_t(k) + 1] - xs[ci + size_t(k)];
        for (std::int32_t k = 1; k < span->rows && ri + size_t(k) < rows.lines.size(); ++k) h += ys[ri + size_t(k) + 1] - ys[ri + size_t(k)];
      }
      if (set.printColor && style.backColor != 0xFFFFFF) canvas.fillRect(xs[ci], ys[ri], w, h, style.backColor);
      DrawCellText(canvas, book.shownText(book.sheet(), c, r), style, layout.scale, set.printColor, xs[ci], ys[ri], w, h);
    }
  }
  if (set.printGrid) {
    for (const double x : xs) canvas.line(x, ys.front(), x, ys.back(), kGridGrey, 0.5);
    for (const double y : ys) canvas.line(xs.front(), y, xs.back(), y, kGridGrey, 0.5);
  }
  if (set.printBorder) {
    const double top = y0, bottom = ys.back(), l = x0, r = xs.back();
    canvas.line(l, top, r, top, kBlack, 1);
    canvas.line(l, bottom, r, bottom, kBlack, 1);
    canvas.line(l, top, l, bottom, kBlack, 1);
    canvas.line(r, top, r, bottom, kBlack, 1);
  }
}

std::string PrintDate() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  char b[16];
  std::strftime(b, sizeof b, "%m/%d/%Y", &t);
  return b;
}

std::string PrintTime() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  char b[16];
  std::strftime(b, sizeof b, "%H:%M", &t);
  return b;
}

bool PrintToPdf(const AddressedBook& book, const std::string& path, std::string* error, const std::function<bool(int, int)>& progress) {
  const PrintLayout layout = LayOutPrint(book);
  if (layout.chosen.empty()) {
    if (error) *error = "no page to print";
    return false;
  }
  PdfWriter pdf;
  const std::string date = PrintDate(), time = PrintTime();
  const auto total = int(layout.chosen.size());
  for (int i = 0; i < total; ++i) {
    if (progress && !progress(i, total)) {
      if (error) *error = "printing cancelled";
      return false;
    }
    pdf.beginPage(layout.pageWidth, layout.pageHeight);
    DrawPage(book, layout, layout.chosen[size_t(i)], pdf, date, time);
    pdf.endPage();
  }
  return WriteFileAtomically(path, pdf.finish(book.settings.printJobName), error);
}

void InstallPrintHook(PrintHook* hook) { g_hook = hook; }
PrintHook* InstalledPrintHook() { return g_hook; }

std::string DefaultPrintPdfPath(const AddressedBook& book) {
  namespace fs = std::filesystem;
  fs::path dir;
  if (const char* docs = std::getenv("XDG_DOCUMENTS_DIR"); docs && *docs) dir = docs;
  else if (const char* home = std::getenv("HOME"); home && *home) dir = fs::path(home) / "Documents";
  else dir = fs::temp_directory_path();
  std::string name = book.settings.printJobName.empty() ? "Sheet" : book.settings.printJobName;
  for (char& c : name)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  return (dir / (name + ".pdf")).string();
}

bool PrintSheet(AddressedBook& book, std::string* error) {
  if (const char* pdf = std::getenv("TAMSIL_PRINT_PDF"); pdf && *pdf) return PrintToPdf(book, pdf, error);
  if (PrintHook* hook = InstalledPrintHook()) return hook->print(book, error);
  const std::string path = DefaultPrintPdfPath(book);
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  return PrintToPdf(book, path, error);
}

}  // namespace spread::files
