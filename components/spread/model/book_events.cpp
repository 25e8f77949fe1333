// The user operations of the book and the events they raise.
#include <algorithm>

#include "components/spread/model/book.h"

namespace spread {

namespace {

// Types a user changes by typing into the cell.
bool typedIn(CellType t) {
  switch (t) {
    case CellType::StaticText:
    case CellType::Button:
    case CellType::CheckBox:
    case CellType::Picture:
    case CellType::OwnerDrawn: return false;
    default: return true;
  }
}

}  // namespace

bool Book::userMayChange(std::int32_t c, std::int32_t r) const {
  const Sheet& s = activeSheet();
  if (c < 1 || r < 1 || c > s.maxCols() || r > s.maxRows()) return false;
  return !(settings.protect && s.styleAt(c, r)->lock);
}

void Book::markChanged(std::int32_t c, std::int32_t r) {
  settings.changeMade = true;
  fire(events::Change{c, r});
}

bool Book::setActiveCell(std::int32_t c, std::int32_t r) {
  Sheet& s = activeSheet();
  if (c < 1 || r < 1 || c > s.maxCols() || r > s.maxRows()) return false;
  if (editing_)
    commitEdit(CellText(*s.styleAt(s.activeCol, s.activeRow),
                        s.cell(s.activeCol, s.activeRow) ? s.cell(s.activeCol, s.activeRow)->value : CellValue{}),
               nullptr);
  if (c == s.activeCol && r == s.activeRow) return true;
  if (fire(events::LeaveCell{s.activeCol, s.activeRow, c, r, false}).cancel) return false;
  s.activeCol = c;
  s.activeRow = r;
  return true;
}

void Book::clickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) fire(events::Click{c, r});
}

void Book::doubleClickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) fire(events::DblClick{c, r});
}

void Book::rightClickCell(std::int32_t c, std::int32_t r, std::int32_t x, std::int32_t y) { fire(events::RightClick{1, c, r, x, y}); }

bool Book::beginEdit() {
  const Sheet& s = activeSheet();
  if (editing_) return true;
  if (!typedIn(s.styleAt(s.activeCol, s.activeRow)->type()) || !userMayChange(s.activeCol, s.activeRow)) return false;
  editing_ = true;
  fire(events::EditMode{s.activeCol, s.activeRow, 1, false});
  return true;
}

bool Book::commitEdit(std::string_view text, std::string* error) {
  if (!editing_) return false;
  Sheet& s = activeSheet();
  const std::int32_t c = s.activeCol, r = s.activeRow;
  Parsed p = ParseCellInput(*s.styleAt(c, r), text, formatContext());
  if (!p.ok) {
    if (error) *error = p.error;
    return false;
  }
  editing_ = false;
  const Cell* before = s.cell(c, r);
  const bool changed = before ? before->value != p.value : !IsEmpty(p.value);
  if (changed) {
    s.cellForWrite(c, r).value = std::move(p.value);
    markChanged(c, r);
  }
  fire(events::EditMode{c, r, 0, changed});
  return true;
}

void Book::cancelEdit() {
  if (!editing_) return;
  editing_ = false;
  fire(events::EditMode{activeSheet().activeCol, activeSheet().activeRow, 0, false});
}

bool Book::pressButton(std::int32_t c, std::int32_t r) {
  Sheet& s = activeSheet();
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
      fire(events::ButtonClicked{c, r, 0});
      return true;
    }
    next = state == 0 ? 1 : 0;
  } else {
    return false;
  }
  s.cellForWrite(c, r).value = next;
  fire(events::ButtonClicked{c, r, std::int16_t(next)});
  markChanged(c, r);
  return true;
}

bool Book::chooseComboItem(std::int32_t c, std::int32_t r, std::int32_t index) {
  Sheet& s = activeSheet();
  const Style& style = *s.styleAt(c, r);
  if (style.type() != CellType::ComboBox || !userMayChange(c, r)) return false;
  const std::vector<std::string> items = ComboItems(style);
  if (index < 0 || size_t(index) >= items.size()) return false;
  s.cellForWrite(c, r).value = items[size_t(index)];
  fire(events::ComboSelChange{c, r});
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

bool Book::spin(std::int32_t c, std::int32_t r, bool up) {
  Sheet& s = activeSheet();
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

std::int16_t Book::keyDown(std::int16_t key, std::int16_t shift) {
  key = fire(events::KeyDown{key, shift}).keyCode;
  Sheet& s = activeSheet();
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
  std::int32_t c = s.activeCol, r = s.activeRow;
  switch (key) {
    case kKeyLeft: c = next(c, -1, s.maxCols(), hiddenCol); break;
    case kKeyRight: c = next(c, 1, s.maxCols(), hiddenCol); break;
    case kKeyUp: r = next(r, -1, s.maxRows(), hiddenRow); break;
    case kKeyDown: r = next(r, 1, s.maxRows(), hiddenRow); break;
    case kKeyTab: c = next(c, (shift & 1) ? -1 : 1, s.maxCols(), hiddenCol); break;
    case kKeyHome: c = next(0, 1, s.maxCols(), hiddenCol); break;
    case kKeyEnd: c = next(s.maxCols() + 1, -1, s.maxCols(), hiddenCol); break;
    default: return key;
  }
  if (c >= 1 && r >= 1) setActiveCell(c, r);
  return key;
}

std::int16_t Book::keyPress(std::int16_t ch) { return fire(events::KeyPress{ch}).keyAscii; }

void Book::scrollTo(std::int32_t leftCol, std::int32_t topRow) {
  Sheet& s = activeSheet();
  leftCol = std::clamp(leftCol, 1, std::max(s.maxCols(), 1));
  topRow = std::clamp(topRow, 1, std::max(s.maxRows(), 1));
  if (leftCol == s.leftCol && topRow == s.topRow) return;
  const std::int32_t oldLeft = s.leftCol, oldTop = s.topRow;
  s.leftCol = leftCol;
  s.topRow = topRow;
  fire(events::TopLeftChange{oldLeft, oldTop, leftCol, topRow});
}

bool Book::setActiveSheet(std::int32_t n) {
  if (n < 1 || n > sheetCount()) return false;
  if (n == activeSheet_) return true;
  const std::int32_t old = activeSheet_;
  activeSheet_ = n;
  fire(events::SheetChanged{std::int16_t(old), std::int16_t(n)});
  return true;
}

}  // namespace spread
