#include "components/spread/model/book.h"

#include <algorithm>
#include <cstdio>

namespace spread {

namespace {

std::unique_ptr<Sheet> newSheet(std::int32_t number) {
  auto s = std::make_unique<Sheet>();
  s->name = "Sheet" + std::to_string(number);
  return s;
}

// Column letters as headers show them: 1 "A", 26 "Z", 27 "AA".
std::string columnLetters(std::int64_t n) {
  std::string letters;
  for (; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
  return letters;
}

}  // namespace

Book::Book() : metrics_(std::make_shared<FixedMetrics>()) { reset(); }

void Book::reset() {
  settings = BookSettings{};
  sortIndicators.clear();
  sheets_.clear();
  sheets_.push_back(newSheet(1));
  activeSheet_ = 1;
  editing_ = false;
  computeDefaults();
}

void Book::computeDefaults() {
  const Style& base = *DefaultStyle();
  const double height = (metrics_->lineHeight(fontOf(base)) + 2 * kCellMarginY) / metrics_->pixelsPerPoint();
  for (auto& s : sheets_) s->defaultRowHeight = height;
}

void Book::setMetrics(std::shared_ptr<const TextMetrics> metrics) {
  metrics_ = metrics ? std::move(metrics) : std::make_shared<FixedMetrics>();
  computeDefaults();
}

bool Book::setSheetCount(std::int32_t n) {
  if (n < 1 || n > kSheetLimit) return false;
  while (sheetCount() < n) {
    sheets_.push_back(newSheet(sheetCount() + 1));
    sheets_.back()->defaultRowHeight = sheets_.front()->defaultRowHeight;
  }
  sheets_.resize(size_t(n));
  activeSheet_ = std::min(activeSheet_, n);
  return true;
}

bool Book::restoreActiveSheet(std::int32_t n) {
  if (n < 1 || n > sheetCount()) return false;
  activeSheet_ = n;
  return true;
}

bool Book::writeText(Sheet& s, const Block& b, std::string_view text, std::string* error) const {
  const std::int32_t firstRow = b.allRows() ? 1 : b.row, lastRow = b.allRows() ? s.maxRows() : b.row2;
  const std::int32_t firstCol = b.allCols() ? 1 : b.col, lastCol = b.allCols() ? s.maxCols() : b.col2;
  if (firstRow < 0 || firstCol < 0 || lastRow > s.maxRows() || lastCol > s.maxCols()) {
    if (error)
      *error = "the cell is outside the sheet (MaxRows " + std::to_string(s.maxRows()) + ", MaxCols " + std::to_string(s.maxCols()) + ")";
    return false;
  }
  if (text.empty()) {
    s.forEachCell(b, [](std::int32_t, std::int32_t, Cell& cell) { cell.value = {}; });
    return true;
  }
  // Every cell is checked before any is written, so a refusal leaves the block as it was.
  std::vector<std::pair<std::pair<std::int32_t, std::int32_t>, CellValue>> values;
  const FormatContext context = formatContext();
  for (std::int32_t r = firstRow; r <= lastRow; ++r)
    for (std::int32_t c = firstCol; c <= lastCol; ++c) {
      if (r == 0 || c == 0) {
        values.push_back({{c, r}, std::string(text)});
        continue;
      }
      Parsed p = ParseCellInput(*s.styleAt(c, r), text, context);
      if (!p.ok) {
        if (error) *error = p.error;
        return false;
      }
      values.emplace_back(std::pair{c, r}, std::move(p.value));
    }
  for (auto& [where, value] : values) s.cellForWrite(where.first, where.second).value = std::move(value);
  return true;
}

std::string Book::headerText(const Sheet& s, std::int32_t c, std::int32_t r) const {
  if (const Cell* cell = s.cell(c, r); cell && !IsEmpty(cell->value)) return CellText(*s.styleAt(c, r), cell->value);
  if (r == 0 && c == 0) return {};
  const bool columnHeader = r == 0;
  const std::int32_t mode = columnHeader ? settings.colHeadersAutoText : settings.rowHeadersAutoText;
  const std::int64_t n = std::int64_t(columnHeader ? c : r) - 1 + (columnHeader ? settings.startingColNumber : settings.startingRowNumber);
  switch (mode) {
    case 1: return columnLetters(n);
    case 2: return std::to_string(n);
    default: return {};
  }
}

std::string Book::cellText(const Sheet& s, std::int32_t c, std::int32_t r) const {
  if (c < 0 || r < 0) return {};
  if (c == 0 || r == 0) return headerText(s, c, r);
  const Cell* cell = s.cell(c, r);
  return CellText(*s.styleAt(c, r), cell ? cell->value : CellValue{});
}

std::string Book::cellValueText(const Sheet& s, std::int32_t c, std::int32_t r) const {
  if (c < 0 || r < 0) return {};
  if (c == 0 || r == 0) return headerText(s, c, r);
  const Cell* cell = s.cell(c, r);
  return CellValueText(*s.styleAt(c, r), cell ? cell->value : CellValue{});
}

bool Book::changeStyle(Sheet& s, const Block& b, const std::function<void(Style&)>& change, std::string* error) const {
  Style probe = *s.styleAt(b.col, b.row);
  change(probe);
  if (std::string broken = ValidateStyle(probe); !broken.empty()) {
    if (error) *error = broken;
    return false;
  }
  s.changeStyles(b, change, formatContext());
  return true;
}

std::string ValidateStyle(const Style& s) {
  const auto places = [](std::int16_t n) { return n >= 0 && n <= 14; };
  const auto printable = [](std::int32_t ch) { return ch >= 32 && ch <= 126; };
  if (!IsCellType(s.cellType)) return "CellType " + std::to_string(s.cellType) + " is not a cell type";
  if (s.dateFormat < 0 || s.dateFormat > 3) return "TypeDateFormat must be 0 to 3";
  if (s.hAlign < 0 || s.hAlign > 2) return "TypeHAlign must be 0 to 2";
  if (s.vAlign < 0 || s.vAlign > 2) return "TypeVAlign must be 0 to 2";
  if (!places(s.currencyDecPlaces) || !places(s.numberDecPlaces) || !places(s.percentDecPlaces) || !places(s.scientificDecPlaces))
    return "decimal places must be 0 to 14";
  if (s.editLen < 0 || s.editLen > 32000) return "TypeEditLen must be 0 to 32000";
  if (!printable(s.dateSeparator) || !printable(s.timeSeparator)) return "a separator must be a printable character";
  if (s.dateMin > s.dateMax) return "TypeDateMin is after TypeDateMax";
  if (s.timeMin > s.timeMax) return "TypeTimeMin is after TypeTimeMax";
  if (s.currencyMin > s.currencyMax) return "TypeCurrencyMin is above TypeCurrencyMax";
  if (s.numberMin > s.numberMax) return "TypeNumberMin is above TypeNumberMax";
  if (s.percentMin > s.percentMax) return "TypePercentMin is above TypePercentMax";
  if (s.scientificMin > s.scientificMax) return "TypeScientificMin is above TypeScientificMax";
  if (s.fontSize < 1 || s.fontSize > 1638) return "FontSize must be 1 to 1638";
  return {};
}

void Book::setEventEnabled(std::int32_t event, bool enabled) {
  if (enabled) disabledEvents_.erase(event);
  else disabledEvents_.insert(event);
}

void Book::raise(BookEvent& e) {
  if (sink_ && eventEnabled(EventNumber(KindOf(e)))) sink_->fire(e);
}

}  // namespace spread
