#include "components/spread/formats/imported_values.h"

#include <algorithm>
#include <cmath>

#include "components/spread/formats/text_codec.h"
#include "components/spread/model/number_chars.h"

namespace spread::files {
namespace {

// The decimals a number needs to show as written (at most 14).
std::int16_t DecimalsOf(double v) { return std::int16_t(std::min(GeneralDecimals(v), 14)); }

// Whether a day number is a date a date cell takes.
bool InDateRange(double day) {
  static const DateValue lo = ToDateValue({kFirstYear, 1, 1}), hi = ToDateValue({kLastYear, 12, 31});
  return day >= lo.day && day <= hi.day;
}

}  // namespace

bool MakeImportedCell(Cell& cell, const ImportedCell& in, const std::string& sheetName, ImportStyles& styles,
                      std::vector<std::string>& problems) {
  // Where the cell is, for a problem: made only when there is one.
  const auto where = [&] { return sheetName + " row " + std::to_string(in.row) + " column " + std::to_string(in.col); };
  switch (in.kind) {
    case ImportedKind::Text: {
      std::string text = Utf8ToAnsi(in.text);
      if (text.size() > size_t(kImportTextLimit)) {
        problems.push_back(where() + ": text cut to " + std::to_string(kImportTextLimit) + " characters");
        text.resize(size_t(kImportTextLimit));
      }
      cell.style = styles.text(text.find('\n') != std::string::npos);
      cell.value = std::move(text);
      break;
    }
    case ImportedKind::Number:
      cell.style =
          std::isfinite(in.number) && std::fabs(in.number) < kImportNumberLimit ? styles.number(DecimalsOf(in.number)) : styles.scientific();
      cell.value = in.number;
      break;
    case ImportedKind::DateTime: problems.push_back(where() + ": time of day dropped from a date"); [[fallthrough]];
    case ImportedKind::Date: {
      const double day = std::floor(in.number);
      if (!InDateRange(day)) {
        problems.push_back(where() + ": date out of range");
        return false;
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
  return true;
}

bool ImportedCellHolds(const ImportedCell& in) {
  switch (in.kind) {
    case ImportedKind::Text:
    case ImportedKind::Error:
      // An ASCII text stays as it is; any other is converted to be sure.
      return !in.text.empty() &&
             (std::all_of(in.text.begin(), in.text.end(), [](char c) { return (c & 0x80) == 0; }) || !Utf8ToAnsi(in.text).empty());
    case ImportedKind::Date:
    case ImportedKind::DateTime: return InDateRange(std::floor(in.number));
    case ImportedKind::Number:
    case ImportedKind::Time:
    case ImportedKind::Boolean: return true;
  }
  return true;
}

}  // namespace spread::files
