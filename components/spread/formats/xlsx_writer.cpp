// .xlsx export through libxlsxwriter (exports.h). The workbook is written to a temporary file
// and renamed over the target once libxlsxwriter has closed it without error.
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/formats/exports.h"
#include "components/spread/formats/text_codec.h"
#include "components/spread/members/addressed_book.h"

namespace spread::files {
namespace {

constexpr std::int32_t kXlsxRows = 1'048'576, kXlsxCols = 16'384;

std::string Decimals(std::int16_t places) { return places > 0 ? "." + std::string(size_t(places), '0') : ""; }

// The number format that shows a value of this style as the grid does; empty for General.
std::string NumberFormat(const Style& s) {
  switch (s.type()) {
    case CellType::Number: return (s.numberShowSep ? "#,##0" : "0") + Decimals(s.numberDecPlaces);
    case CellType::Currency:
      return (s.currencyShowSymbol ? "\"" + AnsiToUtf8(s.currencySymbol) + "\"" : std::string()) + (s.currencyShowSep ? "#,##0" : "0") +
             Decimals(s.currencyDecPlaces);
    case CellType::Percent: return "0" + Decimals(s.percentDecPlaces) + "%";
    case CellType::Scientific: return "0" + Decimals(s.scientificDecPlaces) + "E+00";
    case CellType::Date: {
      const std::string sep(1, char(s.dateSeparator));
      switch (DateFormat(s.dateFormat)) {
        case DateFormat::DayMonthNameYear: return "dd" + sep + "mmm" + sep + "yyyy";
        case DateFormat::DayMonthYear: return "dd" + sep + "mm" + sep + "yyyy";
        case DateFormat::MonthDayYear: return "mm" + sep + "dd" + sep + "yyyy";
        case DateFormat::YearMonthDay: return "yyyy" + sep + "mm" + sep + "dd";
      }
      return "yyyy-mm-dd";
    }
    case CellType::Time: {
      const std::string sep(1, char(s.timeSeparator));
      return (s.time24Hour ? "hh" : "h") + sep + "mm" + (s.timeSeconds ? sep + "ss" : "") + (s.time24Hour ? "" : " AM/PM");
    }
    default: return {};
  }
}

// A sheet name Excel takes: at most 31 characters, none of []:*?/\, unique in the workbook.
std::string SheetName(std::string name, std::int32_t index, std::set<std::string>& used) {
  for (char& c : name)
    if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) c = '_';
  if (name.empty() || name.starts_with('\'')) name = "Sheet" + std::to_string(index);
  name = AnsiToUtf8(name.substr(0, 31));
  std::string unique = name;
  for (int n = 2; used.contains(unique); ++n) unique = name.substr(0, 27) + " (" + std::to_string(n) + ")";
  used.insert(unique);
  return unique;
}

class Writer {
 public:
  explicit Writer(lxw_workbook* wb) : wb_(wb) {}

  lxw_format* format(const std::string& numFormat) {
    if (numFormat.empty()) return nullptr;
    auto [it, added] = formats_.try_emplace(numFormat, nullptr);
    if (added) {
      it->second = workbook_add_format(wb_);
      format_set_num_format(it->second, numFormat.c_str());
    }
    return it->second;
  }

  lxw_error sheet(const AddressedBook& book, lxw_worksheet* ws, std::int32_t flags) {
    const Sheet& s = book.sheet();
    const std::int32_t rows = std::max(s.dataRowCount(), 0), cols = std::max(s.dataColCount(), 0);
    const std::int32_t shift = flags & kExportColHeaders ? 1 : 0;
    if (rows + shift > kXlsxRows || cols > kXlsxCols) return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
    for (std::int32_t c = 1; c <= cols; ++c) {
      const Line* line = s.colLine(c);
      if (!line || (line->size < 0 && !line->hidden)) continue;
      lxw_row_col_options options{};
      options.hidden = line->hidden;
      worksheet_set_column_opt(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), line->size < 0 ? s.defaultColWidth : line->size, nullptr, &options);
    }
    if (shift)
      for (std::int32_t c = 1; c <= cols; ++c)
        worksheet_write_string(ws, 0, lxw_col_t(c - 1), AnsiToUtf8(book.headerText(book.sheet(), c, 0)).c_str(), nullptr);
    lxw_error failed = LXW_NO_ERROR;
    s.forEachCell(Block{1, 1, cols, rows}, [&](std::int32_t c, std::int32_t r, const Cell& cell) {
      if (failed != LXW_NO_ERROR || IsEmpty(cell.value)) return;
      const Style& style = *s.styleAt(c, r);
      const auto row = lxw_row_t(r - 1 + shift);
      const auto col = lxw_col_t(c - 1);
      lxw_format* f = format(NumberFormat(style));
      if (const auto* text = std::get_if<std::string>(&cell.value)) {
        failed = worksheet_write_string(ws, row, col, AnsiToUtf8(flags & kExportValues ? *text : book.cellText(book.sheet(), c, r)).c_str(),
                                        nullptr);
      } else if (const auto* number = std::get_if<double>(&cell.value)) {
        if (style.type() == CellType::CheckBox) failed = worksheet_write_boolean(ws, row, col, *number != 0, nullptr);
        else failed = worksheet_write_number(ws, row, col, style.type() == CellType::Percent ? *number / 100 : *number, f);
      } else if (const auto* date = std::get_if<DateValue>(&cell.value)) {
        failed = worksheet_write_number(ws, row, col, date->day, f ? f : format("yyyy-mm-dd"));
      } else if (const auto* time = std::get_if<TimeValue>(&cell.value)) {
        failed = worksheet_write_number(ws, row, col, time->seconds / 86400.0, f ? f : format("hh:mm:ss"));
      }
    });
    return failed;
  }

 private:
  lxw_workbook* wb_;
  std::map<std::string, lxw_format*> formats_;
};

}  // namespace

bool ExportXlsx(AddressedBook& book, const std::string& path, std::int32_t sheet, const std::string& sheetName, std::int32_t flags,
                std::string* error) {
  if (sheet < 0 || sheet > book.sheetCount()) {
    if (error) *error = "no sheet " + std::to_string(sheet);
    return false;
  }
  const std::string tmp = TempPathBeside(path);
  lxw_workbook* wb = workbook_new(tmp.c_str());
  if (!wb) {
    if (error) *error = "cannot create " + path;
    return false;
  }
  Writer writer(wb);
  std::set<std::string> used;
  const std::int32_t kept = book.sheetIndex();
  lxw_error failed = LXW_NO_ERROR;
  for (std::int32_t i = sheet ? sheet : 1; i <= (sheet ? sheet : book.sheetCount()) && failed == LXW_NO_ERROR; ++i) {
    book.setSheetIndex(i);
    const std::string name = SheetName(sheet && !sheetName.empty() ? sheetName : book.sheet().name, i, used);
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.c_str());
    failed = ws ? writer.sheet(book, ws, flags) : LXW_ERROR_SHEETNAME_ALREADY_USED;
  }
  book.setSheetIndex(kept);
  const lxw_error closed = workbook_close(wb);
  if (failed == LXW_NO_ERROR) failed = closed;
  if (failed != LXW_NO_ERROR) {
    std::remove(tmp.c_str());
    if (error) *error = std::string("cannot write the workbook: ") + lxw_strerror(failed);
    return false;
  }
  return CommitTempFile(tmp, path, error);
}

}  // namespace spread::files
