// Text, HTML and XML exports and text loads (exports.h).
#include <algorithm>
#include <cctype>
#include <fstream>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/formats/exports.h"
#include "components/spread/formats/text_codec.h"
#include "components/spread/model/book.h"

namespace spread::files {
namespace {

std::string CellOut(const Book& book, const Sheet& sheet, std::int32_t col, std::int32_t row, std::int32_t flags) {
  if (row == 0 || col == 0) return book.headerText(sheet, col, row);
  return flags & kExportValues ? book.cellValueText(sheet, col, row) : book.cellText(sheet, col, row);
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
}

std::string Quoted(std::string text, const TextLayout& layout) {
  if (!layout.cellDelim.empty()) {
    ReplaceAll(text, layout.cellDelim, layout.cellDelim + layout.cellDelim);
    return layout.cellDelim + text + layout.cellDelim;
  }
  const bool needs = (!layout.colDelim.empty() && text.find(layout.colDelim) != std::string::npos) ||
                     (!layout.rowDelim.empty() && text.find(layout.rowDelim) != std::string::npos) ||
                     text.find_first_of("\r\n") != std::string::npos || text.starts_with('"');
  if (!needs) return text;
  ReplaceAll(text, "\"", "\"\"");
  return '"' + text + '"';
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A column header made an XML element name.
std::string ElementName(std::string header, std::int32_t col) {
  for (char& c : header)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') c = '_';
  if (header.empty() || !(std::isalpha(static_cast<unsigned char>(header[0])) || header[0] == '_') ||
      (header.size() >= 3 && std::equal(header.begin(), header.begin() + 3, "xml", [](char a, char b) { return std::tolower(a) == b; })))
    return "Col" + std::to_string(col);
  return header;
}

std::string Encode(const std::string& ansi, bool utf16) { return utf16 ? AnsiToUtf16File(ansi) : ansi; }

}  // namespace

// A text that needs no quotes (most) is appended as it is, found by one pass over it.
void AppendQuoted(std::string& out, std::string_view text, const TextLayout& layout) {
  if (layout.cellDelim.empty() && !text.starts_with('"')) {
    const char col = layout.colDelim.empty() ? '\n' : layout.colDelim[0], row = layout.rowDelim.empty() ? '\n' : layout.rowDelim[0];
    if (std::none_of(text.begin(), text.end(), [&](char c) { return c == '\r' || c == '\n' || c == col || c == row; })) {
      out.append(text);
      return;
    }
  }
  out += Quoted(std::string(text), layout);
}

std::vector<std::vector<std::string>> SplitText(std::string_view text, const TextLayout& layout) {
  const std::string quote = layout.cellDelim.empty() ? "\"" : layout.cellDelim;
  const std::string colDelim = layout.colDelim, rowDelim = layout.rowDelim.empty() ? "\r\n" : layout.rowDelim;
  const bool crlf = rowDelim == "\r\n";
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  size_t i = 0;
  const auto endCell = [&] { rows.back().push_back(std::move(cell)), cell.clear(); };
  while (i < text.size()) {
    if (cell.empty() && text.substr(i).starts_with(quote)) {  // a quoted cell
      i += quote.size();
      for (;;) {
        const size_t at = text.find(quote, i);
        if (at == std::string_view::npos) {
          cell += text.substr(i);
          i = text.size();
          break;
        }
        cell += text.substr(i, at - i);
        i = at + quote.size();
        if (!text.substr(i).starts_with(quote)) break;
        cell += quote;
        i += quote.size();
      }
      continue;
    }
    if (!colDelim.empty() && text.substr(i).starts_with(colDelim)) {
      endCell();
      i += colDelim.size();
    } else if (text.substr(i).starts_with(rowDelim) || (crlf && text[i] == '\n')) {
      endCell();
      rows.emplace_back();
      i += text[i] == '\n' ? 1 : rowDelim.size();
    } else {
      cell += text[i++];
    }
  }
  if (!cell.empty() || !rows.back().empty()) endCell();
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

Block DataBlock(const Sheet& sheet, Block b) {
  const Sheet& s = sheet;
  if (b.row == kAll) b.row = 1, b.row2 = std::max(s.dataRowCount(), 1);
  if (b.col == kAll) b.col = 1, b.col2 = std::max(s.dataColCount(), 1);
  b.row = std::clamp(b.row, 1, std::max(s.maxRows(), 1));
  b.row2 = std::clamp(b.row2, b.row, s.maxRows());
  b.col = std::clamp(b.col, 1, std::max(s.maxCols(), 1));
  b.col2 = std::clamp(b.col2, b.col, s.maxCols());
  return b;
}

std::string TextOf(const Book& book, const Sheet& sheet, const Block& block, const TextLayout& layout) {
  std::string out;
  AppendTextOf(out, book, sheet, block, layout);
  return out;
}

void AppendTextOf(std::string& out, const Book& book, const Sheet& sheet, const Block& block, const TextLayout& layout) {
  const Block b = DataBlock(sheet, block);
  const std::int32_t firstRow = layout.flags & kExportColHeaders ? 0 : b.row;
  const std::int32_t firstCol = layout.flags & kExportRowHeaders ? 0 : b.col;
  // The cells that exist are visited in order, each formatted from its own style when it has one
  // (one lookup less per cell); the others, and the headers, through the book.
  std::vector<const Cell*> row(size_t(b.col2 - b.col + 1));
  std::string scratch;  // a cell's text when it is not held as text
  std::int32_t at = b.row;
  const auto flush = [&](std::int32_t r) {
    for (std::int32_t c = firstCol; c <= b.col2; c = c == 0 ? b.col : c + 1) {
      if (c != firstCol) out += layout.colDelim;
      const Cell* cell = c == 0 || r == 0 ? nullptr : row[size_t(c - b.col)];
      if (cell && cell->style)
        AppendQuoted(out,
                     layout.flags & kExportValues ? CellValueTextView(*cell->style, cell->value, scratch)
                                                  : CellTextView(*cell->style, cell->value, scratch),
                     layout);
      else AppendQuoted(out, CellOut(book, sheet, c, r, layout.flags), layout);
    }
    out += layout.rowDelim;
    std::fill(row.begin(), row.end(), nullptr);
  };
  if (firstRow == 0) flush(0);
  sheet.forEachCell(b, [&](std::int32_t c, std::int32_t r, const Cell& cell) {
    for (; at < r; ++at) flush(at);
    if (c >= b.col && c <= b.col2) row[size_t(c - b.col)] = &cell;
  });
  for (; at <= b.row2; ++at) flush(at);
}

bool ExportText(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, const TextLayout& layout,
                std::string* error) {
  std::string bytes;
  if (layout.flags & kExportAppend) ReadWholeFile(path, bytes);
  std::string text = Encode(TextOf(book, sheet, block, layout), layout.utf16);
  if (layout.utf16 && !bytes.empty()) text.erase(0, 2);  // one byte-order mark at the start
  return WriteFileAtomically(path, bytes + text, error);
}

bool LoadText(Book& book, Sheet& sheet, const std::string& path, const TextLayout& layout, std::vector<std::string>& problems,
              std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  const auto rows = SplitText(FileTextToAnsi(bytes), layout);
  sheet.clearRange(Block{kAll, kAll, kAll, kAll}, true);
  const std::int32_t first = layout.flags & kExportColHeaders ? 0 : 1;
  size_t widest = 0;
  for (const auto& r : rows) widest = std::max(widest, r.size());
  const auto needRows = std::int32_t(std::min<size_t>(rows.size() + size_t(first == 0 ? 0 : 1) - 1, size_t(kRowLimit)));
  if (needRows > sheet.maxRows()) sheet.setMaxRows(needRows);
  if (std::int32_t(std::min<size_t>(widest, size_t(kColLimit))) > sheet.maxCols())
    sheet.setMaxCols(std::int32_t(std::min<size_t>(widest, size_t(kColLimit))));
  for (size_t i = 0; i < rows.size() && std::int32_t(i) + first <= sheet.maxRows(); ++i) {
    const std::int32_t r = std::int32_t(i) + first;
    for (size_t k = 0; k < rows[i].size() && std::int32_t(k) < sheet.maxCols(); ++k) {
      if (rows[i][k].empty()) continue;
      const std::int32_t c = std::int32_t(k) + 1;
      std::string why;
      if (!book.writeText(sheet, Block{c, r, c, r}, rows[i][k], &why))
        problems.push_back("row " + std::to_string(r) + " column " + std::to_string(c) + ": " + why);
    }
  }
  return true;
}

std::string HtmlTable(const Book& book, const Sheet& sheet, const Block& block) {
  const Block b = DataBlock(sheet, block);
  const Sheet& s = sheet;
  std::string table = "<table border=\"1\">\n<tr>";
  for (std::int32_t c = b.col; c <= b.col2; ++c) table += "<th>" + Escaped(AnsiToUtf8(book.headerText(sheet, c, 0))) + "</th>";
  table += "</tr>\n";
  for (std::int32_t r = b.row; r <= b.row2; ++r) {
    table += "<tr>";
    for (std::int32_t c = b.col; c <= b.col2; ++c) {
      const Span* span = s.spanAt(c, r);
      if (span && (span->col != c || span->row != r)) continue;
      table += "<td";
      if (span) table += " colspan=\"" + std::to_string(span->cols) + "\" rowspan=\"" + std::to_string(span->rows) + "\"";
      table += ">" + Escaped(AnsiToUtf8(book.cellText(sheet, c, r))) + "</td>";
    }
    table += "</tr>\n";
  }
  return table + "</table>\n";
}

bool ExportHtml(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, bool append, std::string* error) {
  const std::string table = HtmlTable(book, sheet, block);
  std::string page;
  if (append && ReadWholeFile(path, page)) {
    const size_t body = page.rfind("</body>");
    if (body != std::string::npos) return WriteFileAtomically(path, page.insert(body, table), error);
  }
  page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + Escaped(AnsiToUtf8(sheet.name)) +
         "</title>\n</head>\n<body>\n" + table + "</body>\n</html>\n";
  return WriteFileAtomically(path, page, error);
}

bool ExportXml(const Book& book, const Sheet& sheet, const Block& block, const std::string& path, const std::string& root,
               const std::string& record, std::int32_t flags, std::string* error) {
  const Block b = DataBlock(sheet, block);
  const std::string rootName = ElementName(root.empty() ? "Spreadsheet" : root, 0),
                    recordName = ElementName(record.empty() ? "Row" : record, 0);
  std::vector<std::string> names;
  for (std::int32_t c = b.col; c <= b.col2; ++c) names.push_back(ElementName(book.headerText(sheet, c, 0), c));
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + rootName + ">\n";
  for (std::int32_t r = b.row; r <= b.row2; ++r) {
    out += "  <" + recordName + ">\n";
    for (std::int32_t c = b.col; c <= b.col2; ++c) {
      const std::string& n = names[size_t(c - b.col)];
      out += "    <" + n + ">" + Escaped(AnsiToUtf8(CellOut(book, sheet, c, r, flags))) + "</" + n + ">\n";
    }
    out += "  </" + recordName + ">\n";
  }
  out += "</" + rootName + ">\n";
  return WriteFileAtomically(path, out, error);
}

void WriteProblemLog(const std::string& logPath, const std::string& what, const std::vector<std::string>& problems) {
  if (logPath.empty() || problems.empty()) return;
  std::ofstream log(logPath, std::ios::binary | std::ios::trunc);
  log << what << "\r\n";
  for (const std::string& p : problems) log << p << "\r\n";
}

}  // namespace spread::files
