// What a user does to a book: the operations a view hands a person's keys and mouse to (and
// automation that acts as a user would). They act on the active sheet. Each does what the user's
// action does to the grid, raises the events that action raises through the book's EventSink,
// and tells the book's change notice what it changed (change_notice.h), which is how a view
// learns it. A UserOps is a handle over a book; the state it keeps is the book's.
//
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
// - keyDown(key, shift, pageRows): KeyDown(KeyCode, Shift); a sink that sets KeyCode to 0
//   swallows the key. Otherwise the arrow keys, Tab (Shift+Tab), Home and End move the active
//   cell (through setActiveCell, so LeaveCell is raised), skipping hidden rows and columns; Page
//   Up and Page Down move it by pageRows (the rows a screen shows, the view's to say); Enter
//   moves as EditEnterAction says (0 stays, 1 up, 2 down, 3 left, 4 right, 5 next cell, 6
//   previous cell, 8 first cell of the next row); F2 begins an edit; Delete empties a typed-in
//   cell as an edit would; Space presses a button or check box cell. Shift with an arrow, Home
//   or End widens the selection from where it was anchored (SelChange); a move without Shift
//   drops the selection and anchors it at the new active cell. Returns the key as the sink left
//   it. keyUp(key, shift): KeyUp(KeyCode, Shift). keyPress(ch): KeyPress(KeyAscii); returns the
//   character as the sink left it.
// - select(blocks): the person selected these blocks (a drag, a header click); SelChange when the
//   selection is not what it was. anchor(c, r) marks where a Shift move widens from.
// - resizeCol(col, width), resizeRow(row, height): the person dragged a line's border; the size
//   (characters, points) is kept and ColWidthChange(col, col) or RowHeightChange(row, row) raised.
// - scrollTo(leftCol, topRow): TopLeftChange(oldLeft, oldTop, newLeft, newTop) when it moves;
//   TopRow, LeftCol and ShowCell scroll through it too.
// - setActiveSheet(n): SheetChanged(old, new).
// Events switched off with EventEnabled(dispid) = 0 are not raised.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/spread/model/book.h"
#include "platform/keys.h"

namespace spread {

// The Shift argument of KeyDown and KeyUp: bits for Shift, Ctrl and Alt.
enum KeyShift : std::int16_t { kKeyShiftBit = 1, kKeyCtrlBit = 2, kKeyAltBit = 4 };
// EditEnterAction values: where Enter moves the active cell.
enum class EnterAction : std::int32_t { None = 0, Up, Down, Left, Right, Next, Previous, Same, NextRow };

// Types a user changes by typing into the cell (an edit opens on them).
bool IsTypedIn(CellType type);

class UserOps {
 public:
  explicit UserOps(Book& book) : book_(book) {}

  bool setActiveCell(std::int32_t col, std::int32_t row);
  void clickCell(std::int32_t col, std::int32_t row);
  void doubleClickCell(std::int32_t col, std::int32_t row);
  void rightClickCell(std::int32_t col, std::int32_t row, std::int32_t x, std::int32_t y);
  bool beginEdit();
  bool commitEdit(std::string_view text, std::string* error);
  void cancelEdit();
  bool pressButton(std::int32_t col, std::int32_t row);
  bool chooseComboItem(std::int32_t col, std::int32_t row, std::int32_t index);
  bool spin(std::int32_t col, std::int32_t row, bool up);
  std::int16_t keyDown(std::int16_t key, std::int16_t shift, std::int32_t pageRows = 1);
  std::int16_t keyUp(std::int16_t key, std::int16_t shift);
  std::int16_t keyPress(std::int16_t ch);
  void scrollTo(std::int32_t leftCol, std::int32_t topRow);
  bool setActiveSheet(std::int32_t n);
  // Enter in an editor: the active cell moves as EditEnterAction says, the selection goes.
  void enterMove();
  void select(std::vector<Block> blocks);
  // No selection but the active cell, which anchors the next Shift move.
  void collapseSelection();
  void anchor(std::int32_t col, std::int32_t row);
  void resizeCol(std::int32_t col, double width);
  void resizeRow(std::int32_t row, double height);

 private:
  bool userMayChange(std::int32_t col, std::int32_t row) const;
  void markChanged(std::int32_t col, std::int32_t row);
  void moveBy(std::int32_t enterAction);
  void tell(const Change& change) { book_.changes.notify(change); }

  Book& book_;
};

}  // namespace spread
