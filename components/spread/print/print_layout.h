// How a sheet falls onto printed pages, from the grid's print settings. Shared by the PDF writer
// here and the Qt printer, so PrintPageCount is the number of pages that print.
//
// - Paper: US Letter (612 x 792 points); PrintOrientation 2 turns it to landscape (0 and 1 are
//   portrait). Margins PrintMarginLeft/Top/Right/Bottom are in twips (1/1440 inch); 0 is the
//   default half inch.
// - What prints (PrintType): 0 the sheet (its data when PrintUseDataMax, else every row and
//   column), 1 the addressed block (Col, Row, Col2, Row2), 2 the page PageCurrent, 3 the pages
//   PrintPageStart to PrintPageEnd. Hidden rows and columns do not print.
// - Pages: columns are laid left to right and rows top to bottom until the printable width or
//   height is full, or a column or row with a page break starts a new page; a line larger than a
//   page gets a page of its own and is cut. PrintColHeaders and PrintRowHeader repeat the headers
//   on every page. PrintPageOrder 2 numbers the pages across then down; 0 and 1 down then across.
// - Header and footer texts (PrintHeader, PrintFooter) take codes: "/fb1" bold on, "/fb0" bold
//   off, "/l", "/c", "/r" put what follows at the left, centre (the default) or right, "/p" the
//   page number (from PrintFirstPageNumber), "/pc" the page count, "/d" today's date, "/t" the
//   time, "/n" a new line, "//" a slash.
// - Scaling (PrintScalingMethod): 0 actual size; 1 shrink so the columns fit one page across;
//   2 best fit: shrink so the print takes at most PrintBestFitPagesWide pages across and
//   PrintBestFitPagesTall down (0 or less: no limit that way). Scaling only shrinks, never below
//   a tenth, and never merges pages a page break keeps apart. Cell widths, heights, headers and
//   text sizes scale together; headers, footers and margins do not.
// - PrintCenterOnPageH / PrintCenterOnPageV centre each page's grid between the margins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spread {
class AddressedBook;
}

namespace spread::files {

struct PageBand {
  std::vector<std::int32_t> lines;  // the rows (or columns) of the band, hidden ones left out
};

struct PrintPage {
  std::int32_t rowBand = 0, colBand = 0;
  std::int32_t number = 1;  // as printed (PrintFirstPageNumber for the first)
};

struct PrintLayout {
  double pageWidth = 612, pageHeight = 792;  // points
  double left = 36, top = 36, right = 36, bottom = 36;
  double headerHeight = 0, footerHeight = 0;
  double rowHeaderWidth = 0, colHeaderHeight = 0;  // scaled
  double scale = 1;                                // what the grid's sizes are multiplied by
  std::vector<PageBand> rowBands, colBands;
  std::vector<PrintPage> pages;      // every page of the print, in order
  std::vector<std::int32_t> chosen;  // the pages PrintType chooses (indexes into pages)
  double rowHeight(const AddressedBook& book, std::int32_t row) const;
  double colWidth(const AddressedBook& book, std::int32_t col) const;
};

// Lays out the addressed sheet.
PrintLayout LayOutPrint(const AddressedBook& book);

// A header or footer line as runs of text, each bold or not, in three places.
struct TextRun {
  std::string text;
  bool bold = false;
};
struct HeaderLine {
  std::vector<TextRun> left, centre, right;
};
// Reads the codes of a header or footer text for one page.
std::vector<HeaderLine> ExpandHeaderText(const std::string& text, std::int32_t page, std::int32_t pageCount, const std::string& date,
                                         const std::string& time);

// The first row (column) of the page band after the one holding row (col); 0 when none.
std::int32_t NextPageBreakRow(const PrintLayout& layout, std::int32_t row);
std::int32_t NextPageBreakCol(const PrintLayout& layout, std::int32_t col);

}  // namespace spread::files
