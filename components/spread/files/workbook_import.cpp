#include "components/spread/files/workbook_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>

#include "components/spread/files/text_codec.h"
#include "components/spread/model/book.h"
#include "components/spread/model/calendar.h"
#include "components/spread/model/number_chars.h"

namespace spread::files {
namespace {

constexpr std::int32_t kTextLimit = 32000;
constexpr double kNumberLimit = 1e15;  // beyond this a number shows in a scientific cell

// The decimals a number needs to show as written (at most 14).
std::int16_t DecimalsOf(double v) { return std::int16_t(std::min(GeneralDecimals(v), 14)); }

// The styles imported cells take, made once per import so cells alike share one.
class ImportStyles {
 public:
  StylePtr text(bool multiLine) {
    return make(multiLine ? multiText_ : text_, [&](Style& s) {
      s.cellType = std::int16_t(CellType::Edit);
      s.editLen = kTextLimit;
      s.editMultiLine = multiLine;
    });
  }
  StylePtr number(std::int16_t decimals) {
    return make(numbers_[size_t(decimals)], [&](Style& s) {
      s.cellType = std::int16_t(CellType::Number);
      s.numberDecPlaces = decimals;
      s.numberMin = -kNumberLimit;
      s.numberMax = kNumberLimit;
    });
  }
  StylePtr scientific() {
    return make(scientific_, [](Style& s) {
      s.cellType = std::int16_t(CellType::Scientific);
      s.scientificDecPlaces = 6;
    });
  }
  StylePtr date() {
    return make(date_, [](Style& s) {
      s.cellType = std::int16_t(CellType::Date);
      s.dateCentury = true;
      s.dateMin = ToDateValue({kFirstYear, 1, 1});
      s.dateMax = ToDateValue({kLastYear, 12, 31});
    });
  }
  StylePtr time() {
    return make(time_, [](Style& s) {
      s.cellType = std::int16_t(CellType::Time);
      s.time24Hour = true;
      s.timeSeconds = true;
    });
  }
  StylePtr check() {
    return make(check_, [](Style& s) { s.cellType = std::int16_t(CellType::CheckBox); });
  }
  StylePtr error() {
    return make(error_, [](Style& s) { s.cellType = std::int16_t(CellType::StaticText); });
  }

 private:
  template <class F>
  static StylePtr make(StylePtr& slot, F f) {
    if (!slot) {
      auto s = std::make_shared<Style>(*DefaultStyle());
      f(*s);
      slot = std::move(s);
    }
    return slot;
  }
  StylePtr text_, multiText_, scientific_, date_, time_, check_, error_;
  std::array<StylePtr, 15> numbers_;  // by decimals, 0 to 14
};

// Puts one imported cell into the sheet; false (with a problem) when it does not fit.
void PutCell(Sheet& sheet, const ImportedCell& in, ImportStyles& styles, std::vector<std::string>& problems) {
  // Where the cell is, for a problem: made only when there is one.
  const auto where = [&] { return sheet.name + " row " + std::to_string(in.row) + " column " + std::to_string(in.col); };
  Cell& cell = sheet.cellForWrite(in.col, in.row);
  switch (in.kind) {
    case ImportedKind::Text: {
      std::string text = Utf8ToAnsi(in.text);
      if (text.size() > size_t(kTextLimit)) {
        problems.push_back(where() + ": text cut to " + std::to_string(kTextLimit) + " characters");
        text.resize(size_t(kTextLimit));
      }
      cell.style = styles.text(text.find('\n') != std::string::npos);
      cell.value = std::move(text);
      break;
    }
    case ImportedKind::Number:
      cell.style = std::isfinite(in.number) && std::fabs(in.number) < kNumberLimit ? styles.number(DecimalsOf(in.number)) : styles.scientific();
      cell.value = in.number;
      break;
    case ImportedKind::DateTime: problems.push_back(where() + ": time of day dropped from a date"); [[fallthrough]];
    case ImportedKind::Date: {
      const double day = std::floor(in.number);
      const DateValue lo = ToDateValue({kFirstYear, 1, 1}), hi = ToDateValue({kLastYear, 12, 31});
      if (!(day >= lo.day && day <= hi.day)) {
        problems.push_back(where() + ": date out of range");
        sheet.dropIfEmpty(in.col, in.row);
        return;
      }
      cell.style = styles.date();
      cell.value = DateValue{std::int32_t(day)};
      break;
    }
    case ImportedKind::Time: {
      const double frac = in.number - std::floor(in.number);
      cell.style = styles.time();
      cell.value = TimeValue{std::min(std::int32_t(std::lround(frac * 86400)), 86399)};
      break;
    }
    case ImportedKind::Boolean:
      cell.style = styles.check();
      cell.value = in.number != 0 ? 1.0 : 0.0;
      break;
    case ImportedKind::Error:
      cell.style = styles.error();
      cell.value = Utf8ToAnsi(in.text);
      break;
  }
}

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

void ApplyImport(Book& book, ImportedBook& imported) {
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
      if (c.row <= sheet.maxRows() && c.col <= sheet.maxCols()) PutCell(sheet, c, styles, problems);
    });
  }
  book.setSheetIndex(1);
}

ImportStatus ImportWorkbook(Book& book, const std::string& path, const std::string& logPath) {
  ImportedBook imported;
  const ImportStatus status = ReadWorkbook(path, imported);
  if (status == ImportStatus::Ok) ApplyImport(book, imported);
  WriteLog(logPath, path, status, imported.problems);
  return status;
}

}  // namespace spread::files
