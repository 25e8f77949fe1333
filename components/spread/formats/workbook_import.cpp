#include "components/spread/formats/workbook_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>

#include "components/spread/formats/imported_values.h"
#include "components/spread/formats/text_codec.h"
#include "components/spread/members/addressed_book.h"

namespace spread::files {
namespace {

bool StartsWith(const std::string& path, const char* magic, size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string head(n, '\0');
  return in && in.read(head.data(), std::streamsize(n)) && std::memcmp(head.data(), magic, n) == 0;
}

void WriteLog(const std::string& logPath, const std::string& file, ImportStatus status, const std::vector<std::string>& problems) {
  if (logPath.empty() || (status == ImportStatus::Ok && problems.empty())) return;
  std::ofstream log(logPath, std::ios::binary | std::ios::trunc);
  log << file << ": " << ImportStatusText(status) << "\r\n";
  for (const std::string& p : problems) log << p << "\r\n";
}

}  // namespace

std::string_view ImportStatusText(ImportStatus s) {
  switch (s) {
    case ImportStatus::Ok: return "imported";
    case ImportStatus::CannotOpen: return "cannot open the file";
    case ImportStatus::NotWorkbook: return "not an Excel workbook";
    case ImportStatus::Damaged: return "the workbook is damaged";
    case ImportStatus::TooLarge: return "the workbook is too large";
  }
  return "unknown";
}

WorkbookFormat DetectWorkbook(const std::string& path) {
  if (StartsWith(path, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) return WorkbookFormat::Xls;
  if (StartsWith(path, "PK\x03\x04", 4)) return WorkbookFormat::Xlsx;
  return WorkbookFormat::None;
}

ImportStatus ReadWorkbook(const std::string& path, ImportedBook& out) {
  if (!std::ifstream(path, std::ios::binary)) return ImportStatus::CannotOpen;
  switch (DetectWorkbook(path)) {
    case WorkbookFormat::Xls: return ReadXls(path, out);
    case WorkbookFormat::Xlsx: return ReadXlsx(path, out);
    case WorkbookFormat::None: break;
  }
  return ImportStatus::NotWorkbook;
}

void ApplyImport(AddressedBook& book, ImportedBook& imported) {
  std::vector<std::string>& problems = imported.problems;
  book.reset();
  const auto count = std::int32_t(std::min<size_t>(imported.sheets.size(), size_t(kSheetLimit)));
  if (size_t(count) < imported.sheets.size()) problems.push_back("sheets after the " + std::to_string(kSheetLimit) + "th dropped");
  book.setSheetCount(std::max(count, 1));
  ImportStyles styles;
  for (std::int32_t i = 0; i < count; ++i) {
    ImportedSheet& in = imported.sheets[size_t(i)];
    book.setSheetIndex(i + 1);
    Sheet& sheet = book.sheet();
    if (!in.name.empty()) sheet.name = Utf8ToAnsi(in.name);
    sheet.setMaxRows(std::clamp(in.rows, 1, kRowLimit));
    sheet.setMaxCols(std::clamp(in.cols, 1, kColLimit));
    for (const auto& [col, width] : in.colWidths)
      if (col <= sheet.maxCols()) sheet.colLineForWrite(col).size = std::clamp(width, 0.0, 255.0);
    in.cells.drain([&](const ImportedCell& c) {
      if (c.row > sheet.maxRows() || c.col > sheet.maxCols()) return;
      if (!MakeImportedCell(sheet.cellForWrite(c.col, c.row), c, sheet.name, styles, problems)) sheet.dropIfEmpty(c.col, c.row);
    });
  }
  book.setSheetIndex(1);
}

ImportStatus ImportWorkbook(AddressedBook& book, const std::string& path, const std::string& logPath) {
  ImportedBook imported;
  const ImportStatus status = ReadWorkbook(path, imported);
  if (status == ImportStatus::Ok) ApplyImport(book, imported);
  WriteLog(logPath, path, status, imported.problems);
  return status;
}

}  // namespace spread::files
