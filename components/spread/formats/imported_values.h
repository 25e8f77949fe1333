// What an imported cell becomes in the grid (workbook_import.h): its style and value. The
// import puts these into the sheet; a text export of an imported sheet makes them one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "components/spread/formats/imported_cells.h"
#include "components/spread/model/calendar.h"
#include "components/spread/model/cell_store.h"

namespace spread::files {

inline constexpr std::int32_t kImportTextLimit = 32000;
inline constexpr double kImportNumberLimit = 1e15;  // beyond this a number shows in a scientific cell

// The styles imported cells take, made once per import so cells alike share one.
class ImportStyles {
 public:
  StylePtr text(bool multiLine) {
    return make(multiLine ? multiText_ : text_, [&](Style& s) {
      s.cellType = std::int16_t(CellType::Edit);
      s.editLen = kImportTextLimit;
      s.editMultiLine = multiLine;
    });
  }
  StylePtr number(std::int16_t decimals) {
    return make(numbers_[size_t(decimals)], [&](Style& s) {
      s.cellType = std::int16_t(CellType::Number);
      s.numberDecPlaces = decimals;
      s.numberMin = -kImportNumberLimit;
      s.numberMax = kImportNumberLimit;
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

// Sets cell's style and value from in; false (with a problem, where naming sheetName) when the
// cell is dropped: the cell is then left as it was.
bool MakeImportedCell(Cell& cell, const ImportedCell& in, const std::string& sheetName, ImportStyles& styles,
                      std::vector<std::string>& problems);
// Whether the cell MakeImportedCell makes of in holds a value (not empty, not dropped).
bool ImportedCellHolds(const ImportedCell& in);

}  // namespace spread::files
