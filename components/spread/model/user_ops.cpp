// The user operations of the book, the events they raise and the changes they tell.
#include "components/spread/model/user_ops.h"

#include <algorithm>

namespace spread {

bool IsTypedIn(CellType type) {
  switch (type) {
    case CellType::StaticText:
    case CellType::Button:
    case CellType::CheckBox:
    case CellType::Picture:
    case CellType::OwnerDrawn: return false;
    default: return true;
  }
}

namespace {}  // namespace

bool UserOps::userMayChange(std::int32_t c, std::int32_t r) const {
  const Sheet& s = book_.activeSheet();
  if (c < 1 || r < 1 || c > s.maxCols() || r > s.maxRows()) return false;
  return !(book_.settings.protect && s.styleAt(c, r)->lock);
}

void UserOps::markChanged(std::int32_t c, std::int32_t r) {
  book_.settings.changeMade = true;
  tell(Change::ofCell(c, r));
  book_.fire(events::Change{c, r});
}

bool UserOps::setActiveCell(std::int32_t c, std::int32_t r) {
  Sheet& s = book_.activeSheet();
  if (c < 1 || r < 1 || c > s.maxCols() || r > s.maxRows()) return false;
  if (book_.editing_)
    commitEdit(CellText(*s.styleAt(s.activeCol, s.activeRow),
                        s.cell(s.activeCol, s.activeRow) ? s.cell(s.activeCol, s.activeRow)->value : CellValue{}),
               nullptr);
  if (c == s.activeCol && r == s.activeRow) return true;
  if (book_.fire(events::LeaveCell{s.activeCol, s.activeRow, c, r, false}).cancel) return false;
  s.activeCol = c;
  s.activeRow = r;
  tell(Change::of(Change::kActiveCell));
  return true;
}

void UserOps::clickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) book_.fire(events::Click{c, r});
}

void UserOps::doubleClickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) book_.fire(events::DblClick{c, r});
}

void UserOps::rightClickCell(std::int32_t c, std::int32_t r, std::int32_t x, std::int32_t y) { book_.fire(events::RightClick{1, c, r, x, y}); }

bool UserOps::beginEdit() {
  const Sheet& s = book_.activeSheet();
  if (book_.editing_) return true;
  if (!IsTypedIn(s.styleAt(s.activeCol, s.activeRow)->type()) || !userMayChange(s.activeCol, s.activeRow)) return false;
  book_.editing_ = true;
  book_.fire(events::EditMode{s.activeCol, s.activeRow, 1, false});
  return true;
}

bool UserOps::commitEdit(std::string_view text, std::string* error) {
  if (!book_.editing_) return false;
  Sheet& s = book_.activeSheet();
  const std::int32_t c = s.activeCol, r = s.activeRow;
  Parsed p = ParseCellInput(*s.styleAt(c, r), text, book_.formatContext());
  if (!p.ok) {
    if (error) *error = p.error;
    return false;
  }
  book_.editing_ = false;
  const Cell* before = s.cell(c, r);
  const bool changed = before ? before->value != p.value : !IsEmpty(p.value);
  if (changed) {
    s.cellForWrite(c, r).value = std::move(p.value);
    markChanged(c, r);
  }
  book_.fire(events::EditMode{c, r, 0, changed});
  return true;
}

void UserOps::cancelEdit() {
  if (!book_.editing_) return;
  book_.editing_ = false;
  book_.fire(events::EditMode{book_.activeSheet().activeCol, book_.activeSheet().activeRow, 0, false});
}

bool UserOps::pressButton(std::int32_t c, std::int32_t r) {
  Sheet& s = book_.activeSheet();
  if (!userMayChange(c, r)) return false;
  const Style& style = *s.styleAt(c, r);
  const Cell* cell = s.cell(c, r);
  const double state = cell && std::holds_alternative<double>(cell->value) ? std::get<double>(cell->value) : 0.0;
  double next;
  if (style.type() == CellType::CheckBox) {
    const double states = style.checkType == std::int32_t(CheckType::ThreeState) ? 3 : 2;
    next = state + 1 >= states ? 0 : state + 1;
  } else if (style.type() == CellType::Button) {
    if (style.buttonType != std::int32_t(ButtonType::TwoState)) {
      book_.fire(events::ButtonClicked{c, r, 0});
      return true;
    }
    next = state == 0 ? 1 : 0;
  } else {
    return false;
  }
  s.cellForWrite(c, r).value = next;
  book_.fire(events::ButtonClicked{c, r, std::int16_t(next)});
  markChanged(c, r);
  return true;
}

bool UserOps::chooseComboItem(std::int32_t c, std::int32_t r, std::int32_t index) {
  Sheet& s = book_.activeSheet();
  const Style& style = *s.styleAt(c, r);
  if (style.type() != CellType::ComboBox || !userMayChange(c, r)) return false;
  const std::vector<std::string> items = ComboItems(style);
  if (index < 0 || size_t(index) >= items.size()) return false;
  s.cellForWrite(c, r).value = items[size_t(index)];
  book_.fire(events::ComboSelChange{c, r});
  markChanged(c, r);
  return true;
}

namespace {

// One step of a value between limits: stops at a limit, or wraps round to the other one.
template <class T>
T stepWithin(T value, T step, T min, T max, bool wrap) {
  const T next = value + step;
  if (next > max) return wrap && value >= max ? min : max;
  if (next < min) return wrap && value <= min ? max : min;
  return next;
}

std::pair<double, double> numberLimits(const Style& s) {
  switch (s.type()) {
    case CellType::Currency: return {s.currencyMin, s.currencyMax};
    case CellType::Percent: return {s.percentMin, s.percentMax};
    case CellType::Scientific: return {s.scientificMin, s.scientificMax};
    default: return {s.numberMin, s.numberMax};
  }
}

}  // namespace

bool UserOps::spin(std::int32_t c, std::int32_t r, bool up) {
  Sheet& s = book_.activeSheet();
  if (!userMayChange(c, r)) return false;
  const Style& style = *s.styleAt(c, r);
  if (!style.spin) return false;
  const Cell* cell = s.cell(c, r);
  const CellValue before = cell ? cell->value : CellValue{};
  CellValue after;
  switch (style.type()) {
    case CellType::Currency:
    case CellType::Number:
    case CellType::Percent:
    case CellType::Scientific: {
      const auto [min, max] = numberLimits(style);
      const double* held = std::get_if<double>(&before);
      const double start = held ? *held : std::clamp(0.0, min, max);
      const double step = held ? (up ? style.spinInc : -style.spinInc) : 0.0;
      after = CheckNumber(style, stepWithin(start, step, min, max, style.spinWrap)).value;
      break;
    }
    case CellType::Date: {
      const DateValue* held = std::get_if<DateValue>(&before);
      const std::int32_t start = held ? held->day : std::clamp(ToDateValue({2000, 1, 1}).day, style.dateMin.day, style.dateMax.day);
      after = DateValue{stepWithin(start, held ? (up ? 1 : -1) : 0, style.dateMin.day, style.dateMax.day, style.spinWrap)};
      break;
    }
    case CellType::Time: {
      const TimeValue* held = std::get_if<TimeValue>(&before);
      const std::int32_t unit = style.timeSeconds ? 1 : 60;
      const std::int32_t start = held ? held->seconds : style.timeMin.seconds;
      after = TimeValue{stepWithin(start, held ? (up ? unit : -unit) : 0, style.timeMin.seconds, style.timeMax.seconds, style.spinWrap)};
      break;
    }
    default: return false;
  }
  if (after == before) return true;
  s.cellForWrite(c, r).value = std::move(after);
  markChanged(c, r);
  return true;
}

std::int16_t UserOps::keyDown(std::int16_t key, std::int16_t shift, std::int32_t pageRows) {
  using namespace platform::keys;
  key = book_.fire(events::KeyDown{key, shift}).keyCode;
  Sheet& s = book_.activeSheet();
  const auto hiddenCol = [&](std::int32_t c) {
    const Line* l = s.colLine(c);
    return l && l->hidden;
  };
  const auto hiddenRow = [&](std::int32_t r) {
    const Line* l = s.rowLine(r);
    return l && l->hidden;
  };
  // The next shown column or row from `from` in steps of `step`; `from` itself when none.
  const auto next = [](std::int32_t from, std::int32_t step, std::int32_t max, auto hidden) {
    for (std::int32_t i = from + step; i >= 1 && i <= max; i += step)
      if (!hidden(i)) return i;
    return from;
  };
  const std::int32_t fromCol = s.activeCol, fromRow = s.activeRow;
  const bool shifted = (shift & kKeyShiftBit) != 0;
  std::int32_t c = fromCol, r = fromRow;
  bool extend = false;
  switch (key) {
    case VK_LEFT: c = next(c, -1, s.maxCols(), hiddenCol), extend = shifted; break;
    case VK_RIGHT: c = next(c, 1, s.maxCols(), hiddenCol), extend = shifted; break;
    case VK_UP: r = next(r, -1, s.maxRows(), hiddenRow), extend = shifted; break;
    case VK_DOWN: r = next(r, 1, s.maxRows(), hiddenRow), extend = shifted; break;
    case VK_HOME: c = next(0, 1, s.maxCols(), hiddenCol), extend = shifted; break;
    case VK_END: c = next(s.maxCols() + 1, -1, s.maxCols(), hiddenCol), extend = shifted; break;
    case VK_TAB: c = next(c, shifted ? -1 : 1, s.maxCols(), hiddenCol); break;
    case VK_PRIOR: r = std::max(1, r - std::max(pageRows, 1)); break;
    case VK_NEXT: r = std::min(s.maxRows(), r + std::max(pageRows, 1)); break;
    case VK_RETURN: moveBy(book_.settings.editEnterAction); break;
    case VK_F2: beginEdit(); return key;
    case VK_DELETE:
      // Empties a cell the person may type into, as an edit that left it empty would.
      if (IsTypedIn(s.styleAt(fromCol, fromRow)->type()) && beginEdit()) commitEdit({}, nullptr);
      return key;
    case VK_SPACE: {
      const CellType t = s.styleAt(fromCol, fromRow)->type();
      if (t == CellType::Button || t == CellType::CheckBox) pressButton(fromCol, fromRow);
      return key;
    }
    default: return key;
  }
  if ((c != fromCol || r != fromRow) && c >= 1 && r >= 1) setActiveCell(c, r);
  // Keys that moved nothing (a refused move, Shift alone) leave the selection be.
  if (s.activeCol == fromCol && s.activeRow == fromRow) return key;
  if (extend && (book_.anchorCol_ != s.activeCol || book_.anchorRow_ != s.activeRow)) {
    select({Block{std::min(book_.anchorCol_, s.activeCol), std::min(book_.anchorRow_, s.activeRow), std::max(book_.anchorCol_, s.activeCol),
                  std::max(book_.anchorRow_, s.activeRow)}});
  } else {
    collapseSelection();
  }
  return key;
}

void UserOps::moveBy(std::int32_t enterAction) {
  const Sheet& s = book_.activeSheet();
  std::int32_t c = s.activeCol, r = s.activeRow;
  switch (EnterAction(enterAction)) {
    case EnterAction::Up: r = std::max(1, r - 1); break;
    case EnterAction::Down: r = std::min(s.maxRows(), r + 1); break;
    case EnterAction::Left: c = std::max(1, c - 1); break;
    case EnterAction::Right: c = std::min(s.maxCols(), c + 1); break;
    case EnterAction::Next: keyDown(std::int16_t(platform::keys::VK_TAB), 0); return;
    case EnterAction::Previous: keyDown(std::int16_t(platform::keys::VK_TAB), kKeyShiftBit); return;
    case EnterAction::NextRow:
      c = 1;
      r = std::min(s.maxRows(), r + 1);
      break;
    default: return;
  }
  setActiveCell(c, r);
}

std::int16_t UserOps::keyUp(std::int16_t key, std::int16_t shift) { return book_.fire(events::KeyUp{key, shift}).keyCode; }

void UserOps::select(std::vector<Block> blocks) {
  Sheet& s = book_.activeSheet();
  if (blocks == s.selection) return;
  s.selection = std::move(blocks);
  tell(Change::of(Change::kSelection));
  const Block b = s.selection.empty() ? Block{s.activeCol, s.activeRow, s.activeCol, s.activeRow} : s.selection.back();
  book_.fire(events::SelChange{b.col, b.row, b.col2, b.row2, s.activeCol, s.activeRow});
}

void UserOps::enterMove() {
  moveBy(book_.settings.editEnterAction);
  collapseSelection();
}

void UserOps::collapseSelection() {
  anchor(book_.activeSheet().activeCol, book_.activeSheet().activeRow);
  select({});
}

void UserOps::anchor(std::int32_t col, std::int32_t row) {
  book_.anchorCol_ = col;
  book_.anchorRow_ = row;
}

void UserOps::resizeCol(std::int32_t col, double width) {
  Sheet& s = book_.activeSheet();
  if (col < 1 || col > s.maxCols() || width < 0) return;
  s.colLineForWrite(col).size = width;
  tell(Change::of(Change::kSizes));
  book_.fire(events::ColWidthChange{col, col});
}

void UserOps::resizeRow(std::int32_t row, double height) {
  Sheet& s = book_.activeSheet();
  if (row < 1 || row > s.maxRows() || height < 0) return;
  s.rowLineForWrite(row).size = height;
  tell(Change::of(Change::kSizes));
  book_.fire(events::RowHeightChange{row, row});
}

std::int16_t UserOps::keyPress(std::int16_t ch) { return book_.fire(events::KeyPress{ch}).keyAscii; }

void UserOps::scrollTo(std::int32_t leftCol, std::int32_t topRow) {
  Sheet& s = book_.activeSheet();
  leftCol = std::clamp(leftCol, 1, std::max(s.maxCols(), 1));
  topRow = std::clamp(topRow, 1, std::max(s.maxRows(), 1));
  if (leftCol == s.leftCol && topRow == s.topRow) return;
  const std::int32_t oldLeft = s.leftCol, oldTop = s.topRow;
  s.leftCol = leftCol;
  s.topRow = topRow;
  tell(Change::of(Change::kTopLeft));
  book_.fire(events::TopLeftChange{oldLeft, oldTop, leftCol, topRow});
}

bool UserOps::setActiveSheet(std::int32_t n) {
  if (n < 1 || n > book_.sheetCount()) return false;
  if (n == book_.activeSheet_) return true;
  const std::int32_t old = book_.activeSheet_;
  book_.activeSheet_ = n;
  tell(Change::of(Change::kSheet));
  book_.fire(events::SheetChanged{std::int16_t(old), std::int16_t(n)});
  return true;
}

}  // namespace spread
