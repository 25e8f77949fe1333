// The whole grid's state: its sheets, its settings, the text metrics it sizes with, and the
// events it raises.
//
// The sheets are numbered from 1; the active sheet is the one shown. What automation addresses
// (Row, Col, Sheet ...) is no part of the book: the member table keeps it.
//
// What a user does to the book (and the events it raises) is in user_ops.h.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/model/change_notice.h"
#include "components/spread/model/events.h"
#include "components/spread/model/metrics.h"
#include "components/spread/model/sheet.h"

namespace spread {

struct BookSettings {
#define BOOK_FIELD(type, field, initial) type field = initial;
#include "components/spread/model/settings_list.inc"
#undef BOOK_FIELD
};

inline constexpr std::int32_t kSheetLimit = 256;

class Book {
 public:
  Book();
  // Back to a new grid: one sheet, every setting, style and size at its default. The event
  // sink, the metrics and the switched-off events stay.
  void reset();

  BookSettings settings;

  // Sheets, numbered from 1.
  std::int32_t sheetCount() const { return std::int32_t(sheets_.size()); }
  // 1 to kSheetLimit; sheets added are empty and named "Sheet<n>"; removed ones are the last.
  bool setSheetCount(std::int32_t n);
  std::int32_t activeSheetIndex() const { return activeSheet_; }
  // The active sheet as a load restores it: no event, nothing told (the loader tells the whole
  // book changed). A user's choice of sheet is UserOps::setActiveSheet.
  bool restoreActiveSheet(std::int32_t n);
  Sheet& activeSheet() { return *sheets_[size_t(activeSheet_ - 1)]; }
  // Any sheet, 1 to sheetCount.
  Sheet& sheetAt(std::int32_t n) { return *sheets_[size_t(n - 1)]; }
  const Sheet& sheetAt(std::int32_t n) const { return *sheets_[size_t(n - 1)]; }
  const Sheet& activeSheet() const { return *sheets_[size_t(activeSheet_ - 1)]; }

  // ColUserSortIndicator by column (0 none, 1 ascending, 2 descending), for the view.
  std::map<std::int32_t, std::int32_t> sortIndicators;

  FormatContext formatContext() const { return {settings.twoDigitYearMa}; }
  // Texts and sizes of one of this book's sheets, under the book's settings and metrics.
  // Writes text to every cell of the block (within the sheet) through each cell's type rules.
  // When any cell refuses it, nothing is written, *error says why and the result is false.
  // Header cells (row 0, column 0) take any text.
  [[nodiscard]] bool writeText(Sheet& sheet, const Block& block, std::string_view text, std::string* error) const;
  // The text a cell shows, and its value; header cells show their own text or the automatic one.
  std::string cellText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  std::string cellValueText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  std::string headerText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  // Cell-level properties: changes what applies to the block (Sheet::changeStyles), after
  // checking the result on the block's first cell; false (and *error) when it breaks a rule of
  // ValidateStyle.
  [[nodiscard]] bool changeStyle(Sheet& sheet, const Block& block, const std::function<void(Style&)>& change, std::string* error) const;

  // Metrics and the sizes measured with them.
  void setMetrics(std::shared_ptr<const TextMetrics> metrics);
  const TextMetrics& metrics() const { return *metrics_; }
  TextFont fontOf(const Style& style) const;
  double charWidthPixels(const Sheet& sheet) const;                     // one unit of column width
  double maxTextRowHeight(const Sheet& sheet, std::int32_t row) const;  // points
  double maxTextColWidth(const Sheet& sheet, std::int32_t col) const;   // characters; 0 when the column is empty
  double maxTextCellHeight(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  double maxTextCellWidth(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  // The text a cell draws: a button's or check box's caption, stars for a password.
  std::string shownText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;

  // Told of every change automation makes (change_notice.h).
  ChangeNotice changes;

  // Events.
  void setEventSink(EventSink* sink) { sink_ = sink; }
  // Events by their number (EventNumber); switched-off ones are not raised.
  void setEventEnabled(std::int32_t event, bool enabled);
  bool eventEnabled(std::int32_t event) const { return !disabledEvents_.contains(event); }
  // Hands the event to the sink unless it is switched off; the sink may change the fields the
  // event lets it change.
  void raise(BookEvent& e);

  // Whether a user's edit of the active cell is under way (UserOps::beginEdit).
  bool editing() const { return editing_; }

 private:
  friend class UserOps;
  template <class Event>
  Event fire(Event e) {
    BookEvent any(std::move(e));
    raise(any);
    return std::get<Event>(any);
  }
  void computeDefaults();
  double cellTextHeightPixels(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  double cellTextWidthPixels(const Sheet& sheet, std::int32_t col, std::int32_t row) const;

  std::vector<std::unique_ptr<Sheet>> sheets_;
  std::int32_t activeSheet_ = 1;
  std::shared_ptr<const TextMetrics> metrics_;
  EventSink* sink_ = nullptr;
  std::set<std::int32_t> disabledEvents_;
  bool editing_ = false;
  // Where a selection widened with Shift starts (UserOps::keyDown), on the active sheet.
  std::int32_t anchorCol_ = 1, anchorRow_ = 1;
};

// The rules a style must keep (a cell-level write that would break one is refused): a known cell
// type; TypeDateFormat 0 to 3; TypeHAlign and TypeVAlign 0 to 2; decimal places 0 to 14;
// TypeEditLen 0 to 32000; separators printable characters; each minimum not above its maximum.
// Returns the broken rule, or an empty text.
std::string ValidateStyle(const Style& style);

}  // namespace spread
