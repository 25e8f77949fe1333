// Members about sheets and their rows and columns: which sheet, its size, names, row heights,
// column widths, hidden and page-break flags, frozen lines, scrolling, the active cell, the
// selection, data extent, measured text sizes and event switches.
#include "components/spread/members/fields.h"
#include "components/spread/model/user_ops.h"

namespace spread::members {

namespace {

using platform::S_OK;

HRESULT numberArg(Call& c, const VARIANT& v, std::int32_t& n) {
  const HRESULT hr = ToInt(v, n);
  return platform::FAILED(hr) ? c.fail(hr, "the value is not a number") : hr;
}

// The row (column) an indexed or cell-level line property addresses: its index argument when
// given, else Row (Col).
HRESULT lineIndex(Call& c, bool rows, std::int32_t& index) {
  if (c.has(0)) {
    if (const HRESULT hr = IntArg(c, 0, index); platform::FAILED(hr)) return hr;
  } else {
    index = rows ? c.book.addressed().row : c.book.addressed().col;
  }
  if (!(rows ? IsRowOrAll(c.book, index) : IsColOrAll(c.book, index)))
    return c.refuse((rows ? "row " : "column ") + std::to_string(index) + " is outside the sheet");
  return S_OK;
}

// A flag of the addressed rows (columns); -1 writes every row (column) of the sheet.
HRESULT getLineFlag(Call& c, Variant& r, bool rows, bool Line::*flag) {
  std::int32_t i;
  if (const HRESULT hr = lineIndex(c, rows, i); platform::FAILED(hr)) return hr;
  const Line* l = rows ? c.book.sheet().rowLine(i) : c.book.sheet().colLine(i);
  SetBool(r, l && l->*flag);
  return S_OK;
}

HRESULT putLineFlag(Call& c, const VARIANT& v, bool rows, bool Line::*flag) {
  bool on;
  if (const HRESULT hr = ToBool(v, on); platform::FAILED(hr)) return c.fail(hr, "the value is not a boolean");
  const Block b = c.book.addressed();
  Sheet& s = c.book.sheet();
  std::int32_t first = rows ? b.row : b.col, last = rows ? b.row2 : b.col2;
  if (first == kAll) first = 1, last = rows ? s.maxRows() : s.maxCols();
  if (!(rows ? IsRowOrAll(c.book, last) : IsColOrAll(c.book, last)) || first < 0)
    return c.refuse((rows ? "Row" : "Col") + std::string(" is outside the sheet"));
  for (std::int32_t i = first; i <= last; ++i) (rows ? s.rowLineForWrite(i) : s.colLineForWrite(i)).*flag = on;
  s.dropEmptyLines();
  return S_OK;
}

// RowHeight(i) in points and ColWidth(i) in characters; -1 reads and writes the default.
HRESULT getLineSize(Call& c, Variant& r, bool rows) {
  std::int32_t i;
  if (const HRESULT hr = lineIndex(c, rows, i); platform::FAILED(hr)) return hr;
  const Sheet& s = c.book.sheet();
  if (i == kAll) SetDouble(r, rows ? s.defaultRowHeight : s.defaultColWidth);
  else SetDouble(r, rows ? s.rowHeight(i) : s.colWidth(i));
  return S_OK;
}

HRESULT putLineSize(Call& c, const VARIANT& v, bool rows) {
  std::int32_t i;
  if (const HRESULT hr = lineIndex(c, rows, i); platform::FAILED(hr)) return hr;
  double size;
  if (const HRESULT hr = ToDouble(v, size); platform::FAILED(hr)) return c.fail(hr, "the value is not a number");
  const double limit = rows ? 409.0 : 255.0;
  if (!(size >= 0 && size <= limit)) return c.refuse("the size must be 0 to " + PlainNumberText(limit));
  Sheet& s = c.book.sheet();
  if (i == kAll) (rows ? s.defaultRowHeight : s.defaultColWidth) = size;
  else (rows ? s.rowLineForWrite(i) : s.colLineForWrite(i)).size = size;
  return S_OK;
}

HRESULT getSelectionEdge(Call& c, Variant& r, std::int32_t Block::*edge) {
  const auto& sel = c.book.activeSheet().selection;
  SetInt(r, sel.empty() ? 0 : sel.back().*edge);
  return S_OK;
}

// MaxRows and MaxCols: 0 to the sheet's limit.
HRESULT putSize(Call& c, const VARIANT& v, bool rows) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  const std::int32_t limit = rows ? kRowLimit : kColLimit;
  if (n < 0 || n > limit) return c.refuse("must be 0 to " + std::to_string(limit));
  if (rows) c.book.sheet().setMaxRows(n);
  else c.book.sheet().setMaxCols(n);
  return S_OK;
}

HRESULT putFrozen(Call& c, const VARIANT& v, bool rows) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  Sheet& s = c.book.sheet();
  if (n < 0 || n > (rows ? s.maxRows() : s.maxCols())) return c.refuse("must be 0 to the sheet's size");
  (rows ? s.rowsFrozen : s.colsFrozen) = n;
  return S_OK;
}

}  // namespace

HRESULT getSheetCount(Call& c, Variant& r) { return SetShort(r, std::int16_t(c.book.sheetCount())), S_OK; }
HRESULT putSheetCount(Call& c, const VARIANT& v) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  if (!c.book.setSheetCount(n)) return c.refuse("must be 1 to " + std::to_string(kSheetLimit));
  return S_OK;
}

HRESULT getSheet(Call& c, Variant& r) { return SetShort(r, std::int16_t(c.book.sheetIndex())), S_OK; }
HRESULT putSheet(Call& c, const VARIANT& v) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  if (!c.book.setSheetIndex(n)) return c.refuse("there is no sheet " + std::to_string(n));
  return S_OK;
}

HRESULT getActiveSheet(Call& c, Variant& r) { return SetShort(r, std::int16_t(c.book.activeSheetIndex())), S_OK; }
HRESULT putActiveSheet(Call& c, const VARIANT& v) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  if (!UserOps(c.book).setActiveSheet(n)) return c.refuse("there is no sheet " + std::to_string(n));
  return S_OK;
}

HRESULT getSheetName(Call& c, Variant& r) { return SetText(r, c.book.sheet().name), S_OK; }
HRESULT putSheetName(Call& c, const VARIANT& v) {
  std::string name;
  if (const HRESULT hr = ToText(v, name); platform::FAILED(hr)) return c.fail(hr, "the value is not a text");
  c.book.sheet().name = name;
  return S_OK;
}

HRESULT getSheetVisible(Call& c, Variant& r) { return SetBool(r, c.book.sheet().visible), S_OK; }
HRESULT putSheetVisible(Call& c, const VARIANT& v) {
  bool on;
  if (const HRESULT hr = ToBool(v, on); platform::FAILED(hr)) return c.fail(hr, "the value is not a boolean");
  c.book.sheet().visible = on;
  return S_OK;
}

HRESULT getSheetSendingEvent(Call& c, Variant& r) { return SetInt(r, c.book.activeSheetIndex()), S_OK; }

HRESULT getMaxRows(Call& c, Variant& r) { return SetInt(r, c.book.sheet().maxRows()), S_OK; }
HRESULT putMaxRows(Call& c, const VARIANT& v) { return putSize(c, v, true); }
HRESULT getMaxCols(Call& c, Variant& r) { return SetInt(r, c.book.sheet().maxCols()), S_OK; }
HRESULT putMaxCols(Call& c, const VARIANT& v) { return putSize(c, v, false); }

HRESULT getRowHeight(Call& c, Variant& r) { return getLineSize(c, r, true); }
HRESULT putRowHeight(Call& c, const VARIANT& v) { return putLineSize(c, v, true); }
HRESULT getColWidth(Call& c, Variant& r) { return getLineSize(c, r, false); }
HRESULT putColWidth(Call& c, const VARIANT& v) { return putLineSize(c, v, false); }
HRESULT getRowHidden(Call& c, Variant& r) { return getLineFlag(c, r, true, &Line::hidden); }
HRESULT putRowHidden(Call& c, const VARIANT& v) { return putLineFlag(c, v, true, &Line::hidden); }
HRESULT getColHidden(Call& c, Variant& r) { return getLineFlag(c, r, false, &Line::hidden); }
HRESULT putColHidden(Call& c, const VARIANT& v) { return putLineFlag(c, v, false, &Line::hidden); }
HRESULT getRowPageBreak(Call& c, Variant& r) { return getLineFlag(c, r, true, &Line::pageBreak); }
HRESULT putRowPageBreak(Call& c, const VARIANT& v) { return putLineFlag(c, v, true, &Line::pageBreak); }
HRESULT getColPageBreak(Call& c, Variant& r) { return getLineFlag(c, r, false, &Line::pageBreak); }
HRESULT putColPageBreak(Call& c, const VARIANT& v) { return putLineFlag(c, v, false, &Line::pageBreak); }

HRESULT getColID(Call& c, Variant& r) {
  const Line* l = c.book.sheet().colLine(c.book.addressed().col);
  SetText(r, l ? l->id : std::string());
  return S_OK;
}
HRESULT putColID(Call& c, const VARIANT& v) {
  const std::int32_t col = c.book.addressed().col;
  if (col < 0 || !IsColOrAll(c.book, col)) return c.refuse("Col must name one column of the sheet");
  std::string id;
  if (const HRESULT hr = ToText(v, id); platform::FAILED(hr)) return c.fail(hr, "the value is not a text");
  c.book.sheet().colLineForWrite(col).id = id;
  c.book.sheet().dropEmptyLines();
  return S_OK;
}

// ColUserSortIndicator(col): the sort arrow a column header shows (0 none, 1 ascending, 2
// descending), kept for the view.
HRESULT getColUserSortIndicator(Call& c, Variant& r) {
  std::int32_t col;
  if (const HRESULT hr = IntArg(c, 0, col); platform::FAILED(hr)) return hr;
  const auto& map = c.book.sortIndicators;
  const auto it = map.find(col);
  SetInt(r, it == map.end() ? 0 : it->second);
  return S_OK;
}
HRESULT putColUserSortIndicator(Call& c, const VARIANT& v) {
  std::int32_t col, value;
  if (const HRESULT hr = IntArg(c, 0, col); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = numberArg(c, v, value); platform::FAILED(hr)) return hr;
  if (col < 1 || col > c.book.sheet().maxCols()) return c.refuse("column " + std::to_string(col) + " is outside the sheet");
  if (value < 0 || value > 2) return c.refuse("must be 0, 1 or 2");
  c.book.sortIndicators[col] = value;
  return S_OK;
}

HRESULT getRowsFrozen(Call& c, Variant& r) { return SetInt(r, c.book.sheet().rowsFrozen), S_OK; }
HRESULT putRowsFrozen(Call& c, const VARIANT& v) { return putFrozen(c, v, true); }
HRESULT getColsFrozen(Call& c, Variant& r) { return SetInt(r, c.book.sheet().colsFrozen), S_OK; }
HRESULT putColsFrozen(Call& c, const VARIANT& v) { return putFrozen(c, v, false); }

HRESULT getTopRow(Call& c, Variant& r) { return SetInt(r, c.book.activeSheet().topRow), S_OK; }
HRESULT putTopRow(Call& c, const VARIANT& v) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  UserOps(c.book).scrollTo(c.book.activeSheet().leftCol, n);
  return S_OK;
}
HRESULT getLeftCol(Call& c, Variant& r) { return SetInt(r, c.book.activeSheet().leftCol), S_OK; }
HRESULT putLeftCol(Call& c, const VARIANT& v) {
  std::int32_t n;
  if (const HRESULT hr = numberArg(c, v, n); platform::FAILED(hr)) return hr;
  UserOps(c.book).scrollTo(n, c.book.activeSheet().topRow);
  return S_OK;
}

HRESULT getActiveCol(Call& c, Variant& r) { return SetInt(r, c.book.activeSheet().activeCol), S_OK; }
HRESULT getActiveRow(Call& c, Variant& r) { return SetInt(r, c.book.activeSheet().activeRow), S_OK; }

HRESULT getSelBlockCol(Call& c, Variant& r) { return getSelectionEdge(c, r, &Block::col); }
HRESULT getSelBlockCol2(Call& c, Variant& r) { return getSelectionEdge(c, r, &Block::col2); }
HRESULT getSelBlockRow(Call& c, Variant& r) { return getSelectionEdge(c, r, &Block::row); }
HRESULT getSelBlockRow2(Call& c, Variant& r) { return getSelectionEdge(c, r, &Block::row2); }
HRESULT getSelectionCount(Call& c, Variant& r) { return SetInt(r, std::int32_t(c.book.activeSheet().selection.size())), S_OK; }
HRESULT getIsBlockSelected(Call& c, Variant& r) { return SetBool(r, !c.book.activeSheet().selection.empty()), S_OK; }

HRESULT getDataRowCnt(Call& c, Variant& r) { return SetInt(r, c.book.sheet().dataRowCount()), S_OK; }
HRESULT getDataColCnt(Call& c, Variant& r) { return SetInt(r, c.book.sheet().dataColCount()), S_OK; }
HRESULT getDataChanged(Call& c, Variant& r) { return SetBool(r, c.book.settings.changeMade), S_OK; }

// Without virtual mode every row is held: the "virtual" window is the whole sheet.
HRESULT getVirtualCurRowCount(Call& c, Variant& r) { return SetInt(r, c.book.sheet().maxRows()), S_OK; }
HRESULT getVirtualCurTop(Call&, Variant& r) { return SetInt(r, 1), S_OK; }
// The page view shows the sheet at its zoom, one page at a time.
HRESULT getPagePercentageActual(Call& c, Variant& r) { return SetShort(r, c.book.settings.pageViewPercentage), S_OK; }
HRESULT getPagesPerScreen(Call&, Variant& r) { return SetShort(r, 1), S_OK; }

HRESULT getMaxTextRowHeight(Call& c, Variant& r) {
  std::int32_t row;
  if (const HRESULT hr = lineIndex(c, true, row); platform::FAILED(hr)) return hr;
  if (row < 0) return c.refuse("measures one row, not all");
  SetDouble(r, c.book.maxTextRowHeight(c.book.sheet(), row));
  return S_OK;
}
HRESULT getMaxTextColWidth(Call& c, Variant& r) {
  std::int32_t col;
  if (const HRESULT hr = lineIndex(c, false, col); platform::FAILED(hr)) return hr;
  if (col < 0) return c.refuse("measures one column, not all");
  SetDouble(r, c.book.maxTextColWidth(c.book.sheet(), col));
  return S_OK;
}
HRESULT getMaxTextCellHeight(Call& c, Variant& r) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  SetDouble(r, c.book.maxTextCellHeight(c.book.sheet(), c.book.addressed().col, c.book.addressed().row));
  return S_OK;
}
HRESULT getMaxTextCellWidth(Call& c, Variant& r) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  SetDouble(r, c.book.maxTextCellWidth(c.book.sheet(), c.book.addressed().col, c.book.addressed().row));
  return S_OK;
}

// EventEnabled(dispid of an event): whether the grid raises it.
HRESULT getEventEnabled(Call& c, Variant& r) {
  std::int32_t id;
  if (const HRESULT hr = IntArg(c, 0, id); platform::FAILED(hr)) return hr;
  SetBool(r, c.book.eventEnabled(id));
  return S_OK;
}
HRESULT putEventEnabled(Call& c, const VARIANT& v) {
  std::int32_t id;
  bool on;
  if (const HRESULT hr = IntArg(c, 0, id); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = ToBool(v, on); platform::FAILED(hr)) return c.fail(hr, "the value is not a boolean");
  c.book.setEventEnabled(id, on);
  return S_OK;
}

}  // namespace spread::members
