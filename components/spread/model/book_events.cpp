// The user operations of the book and the events they raise.
#include <algorithm>

#include "components/spread/model/book.h"

namespace spread {

namespace {

constexpr auto i4 = platform::VariantOfI4;
constexpr auto i2 = platform::VariantOfI2;
constexpr auto boolean = platform::VariantOfBool;
constexpr auto byRef = platform::VariantOfRef;

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
  fire(SpreadEvent::Change, {i4(c), i4(r)});
}

bool Book::setActiveCell(std::int32_t c, std::int32_t r) {
  Sheet& s = activeSheet();
  if (c < 1 || r < 1 || c > s.maxCols() || r > s.maxRows()) return false;
  // The cell's own text parses back to its value; were it refused, the edit would stay open.
  if (editing_)
    (void)commitEdit(CellText(*s.styleAt(s.activeCol, s.activeRow),
                              s.cell(s.activeCol, s.activeRow) ? s.cell(s.activeCol, s.activeRow)->value : CellValue{}),
                     nullptr);
  if (c == s.activeCol && r == s.activeRow) return true;
  platform::VARIANT_BOOL cancel = platform::VARIANT_FALSE;
  fire(SpreadEvent::LeaveCell, {i4(s.activeCol), i4(s.activeRow), i4(c), i4(r), byRef(platform::VT_BOOL, &cancel)});
  if (cancel != platform::VARIANT_FALSE) return false;
  s.activeCol = c;
  s.activeRow = r;
  return true;
}

void Book::clickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) fire(SpreadEvent::Click, {i4(c), i4(r)});
}

void Book::doubleClickCell(std::int32_t c, std::int32_t r) {
  if (setActiveCell(c, r)) fire(SpreadEvent::DblClick, {i4(c), i4(r)});
}

void Book::rightClickCell(std::int32_t c, std::int32_t r, std::int32_t x, std::int32_t y) {
  fire(SpreadEvent::RightClick, {i2(1), i4(c), i4(r), i4(x), i4(y)});
}

bool Book::beginEdit() {
  const Sheet& s = activeSheet();
  if (editing_) return true;
  if (!typedIn(s.styleAt(s.activeCol, s.activeRow)->type()) || !userMayChange(s.activeCol, s.activeRow)) return false;
  editing_ = true;
  fire(SpreadEvent::EditMode, {i4(s.activeCol), i4(s.activeRow), i2(1), boolean(false)});
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
  fire(SpreadEvent::EditMode, {i4(c), i4(r), i2(0), boolean(changed)});
  return true;
}

void Book::cancelEdit() {
  if (!editing_) return;
  editing_ = false;
  fire(SpreadEvent::EditMode, {i4(activeSheet().activeCol), i4(activeSheet().activeRow), i2(0), boolean(false)});
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
      fire(SpreadEvent::ButtonClicked, {i4(c), i4(r), i2(0)});
      return true;
    }
    next = state == 0 ? 1 : 0;
  } else {
    return false;
  }
  s.cellForWrite(c, r).value = next;
  fire(SpreadEvent::ButtonClicked, {i4(c), i4(r), i2(std::int16_t(next))});
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
  fire(SpreadEvent::ComboSelChange, {i4(c), i4(r)});
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
  fire(SpreadEvent::KeyDown, {byRef(platform::VT_I2, &key), i2(shift)});
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

std::int16_t Book::keyPress(std::int16_t ch) {
  fire(SpreadEvent::KeyPress, {byRef(platform::VT_I2, &ch)});
  return ch;
}

void Book::scrollTo(std::int32_t leftCol, std::int32_t topRow) {
  Sheet& s = activeSheet();
  leftCol = std::clamp(leftCol, 1, std::max(s.maxCols(), 1));
  topRow = std::clamp(topRow, 1, std::max(s.maxRows(), 1));
  if (leftCol == s.leftCol && topRow == s.topRow) return;
  const std::int32_t oldLeft = s.leftCol, oldTop = s.topRow;
  s.leftCol = leftCol;
  s.topRow = topRow;
  fire(SpreadEvent::TopLeftChange, {i4(oldLeft), i4(oldTop), i4(leftCol), i4(topRow)});
}

bool Book::setActiveSheet(std::int32_t n) {
  if (n < 1 || n > sheetCount()) return false;
  if (n == activeSheet_) return true;
  const std::int32_t old = activeSheet_;
  activeSheet_ = n;
  fire(SpreadEvent::SheetChanged, {i2(std::int16_t(old)), i2(std::int16_t(n))});
  return true;
}

}  // namespace spread
