// Exports of the addressed sheet (Book::sheet) to text, HTML, XML and .xlsx, and loads of text
// files. A range is a Block; -1 rows or columns mean the sheet's data (rows and columns up to the
// last that holds a value). Every export writes its file atomically and answers false, with the
// reason in *error, when nothing was written.
//
// Text files. Each cell is written between two copies of cellDelim (a cellDelim inside the text
// doubled); cells are joined by colDelim and every row ends with rowDelim. With an empty cellDelim
// a cell holding colDelim, rowDelim, a line break or a leading double quote is written between
// double quotes (a quote inside doubled), so every file reads back. ANSI (Windows-1252) bytes, or
// UTF-16LE with a byte-order mark for the "U" forms. A load reads the same layout (and UTF-8 or
// UTF-16 files with their mark); "\r\n" as rowDelim also ends a row at a lone "\n". Values go
// through each cell's type rules; a refused one is left empty and listed in problems.
//
// HTML: one UTF-8 page holding a table, the column headers as <th>, spans as colspan/rowspan;
// appending adds the table before the existing page's </body>. XML: UTF-8, <root> holding one
// <record> element per row, each cell an element named after its column header (made an XML
// name; "Col<n>" when the header gives none).
//
// .xlsx (libxlsxwriter): texts, numbers with the cell type's number format (decimals, thousands
// separator, currency symbol, percent, scientific), dates and times as date-formatted numbers,
// check boxes as booleans, column widths and hidden columns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/model/sheet.h"

namespace spread {
class AddressedBook;
class Book;
}  // namespace spread

namespace spread::files {

// Flags of the text, XML and .xlsx exports.
enum ExportFlag : std::int32_t {
  kExportValues = 1,      // a cell's value (Value: "1234.5", dates YYYYMMDD) instead of its text
  kExportColHeaders = 2,  // the column headers as the first row
  kExportRowHeaders = 4,  // the row headers as the first column (text exports)
  kExportAppend = 8,      // text and HTML: add to the end of an existing file
};

struct TextLayout {
  std::string cellDelim, colDelim = "\t", rowDelim = "\r\n";
  std::int32_t flags = 0;
  bool utf16 = false;
};

// The block with -1 rows or columns made the data's extent.
Block DataBlock(const Sheet& sheet, Block block);

// Appends a cell's text quoted as a text export needs it in the layout.
void AppendQuoted(std::string& out, std::string_view text, const TextLayout& layout);
std::string TextOf(const Book& book, const Sheet& sheet, const Block& block, const TextLayout& layout);
// The same text added to the end of out (a caller writing a large sheet in parts reuses one buffer).
void AppendTextOf(std::string& out, const Book& book, const Sheet& sheet, const Block& block, const TextLayout& layout);
[[nodiscard]] bool ExportText(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, const TextLayout& layout,
                              std::string* error);
// Replaces the addressed sheet's values from row 1 (row 0 when the file's first row holds column
// headers, kExportColHeaders); the sheet grows to fit.
[[nodiscard]] bool LoadText(Book& book, Sheet& sheet, const std::string& path, const TextLayout& layout, std::vector<std::string>& problems,
                            std::string* error);

// The rows of cells of a text in the layout (what LoadText reads).
std::vector<std::vector<std::string>> SplitText(std::string_view text, const TextLayout& layout);
// The HTML table of the block (UTF-8), as ExportHtml writes it.
std::string HtmlTable(const Book& book, const Sheet& sheet, const Block& block);
[[nodiscard]] bool ExportHtml(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, bool append,
                              std::string* error);
[[nodiscard]] bool ExportXml(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, const std::string& root,
                             const std::string& record, std::int32_t flags, std::string* error);

// sheet 0: every sheet; otherwise that sheet, named sheetName when it is not empty.
[[nodiscard]] bool ExportXlsx(AddressedBook& book, const std::string& path, std::int32_t sheet, const std::string& sheetName,
                              std::int32_t flags, std::string* error);

// Writes problems to logPath (nothing when either is empty).
void WriteProblemLog(const std::string& logPath, const std::string& what, const std::vector<std::string>& problems);

}  // namespace spread::files
