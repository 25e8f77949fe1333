// Reading workbooks made by other programs into the grid: .xls (binary, read with FreeXL) and
// .xlsx (a zip of XML parts, read with libgsf and libxml2). A reader fills an ImportedBook, a
// neutral picture of the sheets; only a workbook read whole is put into the grid, so a damaged
// file leaves the grid as it was.
//
// What a cell becomes in the grid: a text an edit cell (up to 32,000 characters; longer texts are
// cut and logged), a number a number cell showing the decimals it needs (a scientific cell past
// 1e15), a date a date cell, a time of day a time cell (24 hours, with seconds), a date with a
// time of day a date cell (the time is logged as dropped), a boolean a check box, a cell error
// ("#DIV/0!") a static text cell. Each sheet is sized to its data. FreeXL gives the booleans and
// cell errors of an .xls file as plain numbers, so there they become number cells.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "components/spread/formats/imported_cells.h"

namespace spread {
class AddressedBook;
}

namespace spread::files {

struct ImportedSheet {
  std::string name;  // UTF-8
  std::int32_t rows = 0, cols = 0;
  ImportedCells cells;
  std::map<std::int32_t, double> colWidths;  // characters
};

struct ImportedBook {
  std::vector<ImportedSheet> sheets;
  std::vector<std::string> problems;  // what could not be read, one line each
};

// Results of ImportExcelBook: positive is success.
enum class ImportStatus : std::int32_t { Ok = 1, CannotOpen = -1, NotWorkbook = -2, Damaged = -3, TooLarge = -4 };
std::string_view ImportStatusText(ImportStatus s);

enum class WorkbookFormat : std::uint8_t { None, Xls, Xlsx };
// From the first bytes: a compound file (.xls) or a zip holding xl/workbook.xml (.xlsx).
WorkbookFormat DetectWorkbook(const std::string& path);

// The largest sheet a reader accepts; a workbook claiming more is refused as too large.
inline constexpr std::int32_t kImportRowLimit = 1'048'576, kImportColLimit = 16'384;

ImportStatus ReadXls(const std::string& path, ImportedBook& out);
ImportStatus ReadXlsx(const std::string& path, ImportedBook& out);
ImportStatus ReadWorkbook(const std::string& path, ImportedBook& out);

// Replaces the grid's sheets with the imported ones (the rest of the grid is reset), using up
// their cells as it goes; what did not fit is added to imported.problems.
void ApplyImport(AddressedBook& book, ImportedBook& imported);

// Reads and applies; the problems (and a refusal) are written to logPath unless it is empty.
ImportStatus ImportWorkbook(AddressedBook& book, const std::string& path, const std::string& logPath);

}  // namespace spread::files
