// The events a book raises, as plain structs: one per event, its arguments as named fields in
// the order the event delivers them (Cells are (col, row) as the grid numbers them). A field the
// receiver may change (KeyDown's and KeyUp's keyCode, KeyPress's keyAscii, LeaveCell's cancel) is
// read back by the book after the event is delivered. `fields()` ties the fields in order, for a
// receiver that hands them on generically (the COM face turns them into dispatch arguments).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <variant>

namespace spread {

namespace events {

#define CELL_FIELDS(a, b) \
  auto fields() { return std::tie(a, b); }

struct Click {
  std::int32_t col, row;
  CELL_FIELDS(col, row)
};
struct DblClick {
  std::int32_t col, row;
  CELL_FIELDS(col, row)
};
struct Change {
  std::int32_t col, row;
  CELL_FIELDS(col, row)
};
struct ButtonClicked {
  std::int32_t col, row;
  std::int16_t buttonDown;  // the button's state after the press (0 for a normal button)
  auto fields() { return std::tie(col, row, buttonDown); }
};
struct ComboSelChange {
  std::int32_t col, row;
  CELL_FIELDS(col, row)
};
struct EditMode {
  std::int32_t col, row;
  std::int16_t mode;  // 1 the edit begins, 0 it ends
  bool changeMade;
  auto fields() { return std::tie(col, row, mode, changeMade); }
};
struct KeyDown {
  std::int16_t keyCode;  // the receiver sets 0 to swallow the key
  std::int16_t shift;    // KeyShift bits
  auto fields() { return std::tie(keyCode, shift); }
};
struct KeyPress {
  std::int16_t keyAscii;  // the receiver may change or (0) swallow the character
  auto fields() { return std::tie(keyAscii); }
};
struct KeyUp {
  std::int16_t keyCode;
  std::int16_t shift;
  auto fields() { return std::tie(keyCode, shift); }
};
struct LeaveCell {
  std::int32_t col, row, newCol, newRow;
  bool cancel;  // the receiver sets it to keep the active cell
  auto fields() { return std::tie(col, row, newCol, newRow, cancel); }
};
struct TopLeftChange {
  std::int32_t oldLeft, oldTop, newLeft, newTop;
  auto fields() { return std::tie(oldLeft, oldTop, newLeft, newTop); }
};
struct RightClick {
  std::int16_t clickType;  // 1: the button went down
  std::int32_t col, row, x, y;
  auto fields() { return std::tie(clickType, col, row, x, y); }
};
struct SelChange {
  std::int32_t blockCol, blockRow, blockCol2, blockRow2, curCol, curRow;
  auto fields() { return std::tie(blockCol, blockRow, blockCol2, blockRow2, curCol, curRow); }
};
struct ColWidthChange {
  std::int32_t col1, col2;
  CELL_FIELDS(col1, col2)
};
struct RowHeightChange {
  std::int32_t row1, row2;
  CELL_FIELDS(row1, row2)
};
struct SheetChanged {
  std::int16_t oldSheet, newSheet;
  CELL_FIELDS(oldSheet, newSheet)
};

#undef CELL_FIELDS

}  // namespace events

enum class SpreadEvent : std::uint8_t {
#define X(name, number) name,
#include "components/spread/model/event_list.inc"
#undef X
};

// One event with its arguments; the alternative's index is its SpreadEvent.
using BookEvent = std::variant<events::Click, events::DblClick, events::Change, events::ButtonClicked, events::ComboSelChange, events::EditMode,
                               events::KeyDown, events::KeyPress, events::KeyUp, events::LeaveCell, events::TopLeftChange, events::RightClick,
                               events::SelChange, events::ColWidthChange, events::RowHeightChange, events::SheetChanged>;
#define X(name, number) static_assert(std::is_same_v<std::variant_alternative_t<std::size_t(SpreadEvent::name), BookEvent>, events::name>);
#include "components/spread/model/event_list.inc"
#undef X

inline SpreadEvent KindOf(const BookEvent& e) { return SpreadEvent(e.index()); }

inline constexpr std::string_view kEventNames[] = {
#define X(name, number) #name,
#include "components/spread/model/event_list.inc"
#undef X
};
inline constexpr std::int32_t kEventNumbers[] = {
#define X(name, number) number,
#include "components/spread/model/event_list.inc"
#undef X
};

inline constexpr std::string_view EventName(SpreadEvent e) { return kEventNames[std::size_t(e)]; }
// The event's fixed number: EventEnabled names events by it, and dispatch delivers it as the member.
inline constexpr std::int32_t EventNumber(SpreadEvent e) { return kEventNumbers[std::size_t(e)]; }

// Receives the events of a Book (Book::setEventSink), on the thread that drove the book. The
// fields a receiver may change are read back once fire returns.
struct EventSink {
  virtual ~EventSink() = default;
  virtual void fire(BookEvent& e) = 0;
};

}  // namespace spread
