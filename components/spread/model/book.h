// The whole grid's state: its sheets, its settings, the text metrics it sizes with, and the
// events it raises.
//
// The sheets are numbered from 1; the active sheet is the one shown. What automation addresses
// (Row, Col, Sheet ...) is no part of the book: the member table keeps it.
//
// User operations (for the view, and for tests without one); they act on the active sheet. Each does what a user's action
// does to the grid and raises the events that action raises, through the EventSink:
// - setActiveCell(c, r): LeaveCell(col, row, c, r, Cancel) while another cell is active; a sink
//   that sets Cancel keeps the active cell and the call returns false. A running edit is
//   committed first (it may raise Change and EditMode).
// - clickCell(c, r): setActiveCell, then Click(c, r). doubleClickCell: the same with DblClick.
//   rightClickCell(c, r, x, y): RightClick(1, c, r, x, y), the active cell stays.
// - beginEdit(): EditMode(col, row, 1, False) for the active cell, when its type is edited by
//   typing (edit, date, time, number types, picture mask, combo box) and it is not locked in a
//   protected sheet. commitEdit(text): the text goes through the cell type's rules (refused:
//   false, *error says why, the edit goes on); when it changed the value Change(col, row) and
//   ChangeMade; then EditMode(col, row, 0, changed). cancelEdit(): EditMode(col, row, 0, False).
// - pressButton(c, r): a button or check box cell. A check box goes round its states (0, 1, and
//   2 when three-state), a two-state button toggles; then ButtonClicked(c, r, state) and Change.
//   A normal button keeps no state and raises ButtonClicked(c, r, 0).
// - chooseComboItem(c, r, index): the item becomes the value; ComboSelChange(c, r), Change(c, r).
// - spin(c, r, up): a cell with TypeSpin steps its value: a number by TypeSpinInc, a date by a
//   day, a time by a minute (a second when it shows seconds). Past a limit it stops there, or
//   with TypeSpinWrap goes round to the other limit; an empty cell starts at 0, 1 January 2000 or
//   the earliest time allowed (a number or date outside the limits: the nearest limit).
//   Change(c, r) when the value moved.
// - keyDown(key, shift): KeyDown(KeyCode, Shift); a sink that sets KeyCode to 0 swallows the key.
//   Otherwise the arrow keys, Tab (Shift+Tab), Home and End move the active cell (through
//   setActiveCell, so LeaveCell is raised), skipping hidden rows and columns. Returns the key as
//   the sink left it. keyPress(ch): KeyPress(KeyAscii); returns the character as the sink left it.
// - scrollTo(leftCol, topRow): TopLeftChange(oldLeft, oldTop, newLeft, newTop) when it moves;
//   TopRow, LeftCol and ShowCell scroll through it too.
// - setActiveSheet(n): SheetChanged(old, new).
// Events switched off with EventEnabled(dispid) = 0 are not raised.
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

// Virtual key codes the model's key handling knows.
enum Key : std::int16_t { kKeyTab = 9, kKeyEnd = 35, kKeyHome = 36, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40 };

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
  bool setActiveSheet(std::int32_t n);
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
  bool writeText(Sheet& sheet, const Block& block, std::string_view text, std::string* error) const;
  // The text a cell shows, and its value; header cells show their own text or the automatic one.
  std::string cellText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  std::string cellValueText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  std::string headerText(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  // Cell-level properties: changes what applies to the block (Sheet::changeStyles), after
  // checking the result on the block's first cell; false (and *error) when it breaks a rule of
  // ValidateStyle.
  bool changeStyle(Sheet& sheet, const Block& block, const std::function<void(Style&)>& change, std::string* error) const;

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

  // User operations (see the top of this header).
  bool setActiveCell(std::int32_t col, std::int32_t row);
  void clickCell(std::int32_t col, std::int32_t row);
  void doubleClickCell(std::int32_t col, std::int32_t row);
  void rightClickCell(std::int32_t col, std::int32_t row, std::int32_t x, std::int32_t y);
  bool beginEdit();
  bool commitEdit(std::string_view text, std::string* error);
  void cancelEdit();
  bool editing() const { return editing_; }
  bool pressButton(std::int32_t col, std::int32_t row);
  bool chooseComboItem(std::int32_t col, std::int32_t row, std::int32_t index);
  bool spin(std::int32_t col, std::int32_t row, bool up);
  std::int16_t keyDown(std::int16_t key, std::int16_t shift);
  std::int16_t keyPress(std::int16_t ch);
  void scrollTo(std::int32_t leftCol, std::int32_t topRow);

 private:
  template <class Event>
  Event fire(Event e) {
    BookEvent any(std::move(e));
    raise(any);
    return std::get<Event>(any);
  }
  bool userMayChange(std::int32_t col, std::int32_t row) const;
  void markChanged(std::int32_t col, std::int32_t row);
  void computeDefaults();
  double cellTextHeightPixels(const Sheet& sheet, std::int32_t col, std::int32_t row) const;
  double cellTextWidthPixels(const Sheet& sheet, std::int32_t col, std::int32_t row) const;

  std::vector<std::unique_ptr<Sheet>> sheets_;
  std::int32_t activeSheet_ = 1;
  std::shared_ptr<const TextMetrics> metrics_;
  EventSink* sink_ = nullptr;
  std::set<std::int32_t> disabledEvents_;
  bool editing_ = false;
};

// The rules a style must keep (a cell-level write that would break one is refused): a known cell
// type; TypeDateFormat 0 to 3; TypeHAlign and TypeVAlign 0 to 2; decimal places 0 to 14;
// TypeEditLen 0 to 32000; separators printable characters; each minimum not above its maximum.
// Returns the broken rule, or an empty text.
std::string ValidateStyle(const Style& style);

}  // namespace spread
