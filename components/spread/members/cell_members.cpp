// Members about the addressed cell: the address itself, its text and value, note and formula,
// the combo box list's current item and strings, the cell's picture, and edit mode.
#include "components/spread/members/fields.h"
#include "components/spread/model/user_ops.h"

namespace spread::members {

namespace {

using platform::S_OK;

// The first cell of the addressed block.
std::pair<std::int32_t, std::int32_t> firstCell(const AddressedBook& b) {
  const Block block = b.addressed();
  return {block.col, block.row};
}

HRESULT putAddress(Call& c, const VARIANT& v, void (AddressedBook::*set)(std::int32_t), std::int32_t limit, std::string_view what) {
  std::int32_t n;
  if (const HRESULT hr = ToInt(v, n); platform::FAILED(hr)) return c.fail(hr, "the value is not a number");
  if (n < kAll || n > limit) return c.refuse(std::string(what) + " must be -1 to " + std::to_string(limit));
  (c.book.*set)(n);
  return S_OK;
}

// Writes a text or value to the addressed block through the cells' type rules.
HRESULT writeCells(Call& c, const VARIANT& v) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  std::string text;
  if (v.vt == platform::VT_DATE) text = YearMonthDayText(DateValue{std::int32_t(v.date)});
  else if (const HRESULT hr = ToText(v, text); platform::FAILED(hr)) return c.fail(hr, "the value is not a text");
  std::string why;
  if (!c.book.writeText(c.book.sheet(), c.book.addressed(), text, &why)) return c.refuse(why);
  return S_OK;
}

// Sets a per-cell text (note, formula) on every cell of the addressed block.
HRESULT putCellString(Call& c, const VARIANT& v, CellTexts::Which field) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  std::string text;
  if (const HRESULT hr = ToText(v, text); platform::FAILED(hr)) return c.fail(hr, "the value is not a text");
  Sheet& s = c.book.sheet();
  const Block b = c.book.addressed();
  const std::int32_t firstRow = b.allRows() ? 1 : b.row, lastRow = b.allRows() ? s.maxRows() : b.row2;
  const std::int32_t firstCol = b.allCols() ? 1 : b.col, lastCol = b.allCols() ? s.maxCols() : b.col2;
  for (std::int32_t r = firstRow; r <= lastRow; ++r)
    for (std::int32_t col = firstCol; col <= lastCol; ++col) {
      s.cellForWrite(col, r).texts.set(field, text);
      s.dropIfEmpty(col, r);
    }
  return S_OK;
}

HRESULT getCellString(Call& c, Variant& r, CellTexts::Which field) {
  const auto [col, row] = firstCell(c.book);
  const Cell* cell = c.book.sheet().cell(col, row);
  SetText(r, cell ? cell->texts.get(field) : std::string());
  return S_OK;
}

const Style& addressedStyle(const AddressedBook& b) {
  const auto [col, row] = firstCell(b);
  return *b.sheet().styleAt(col, row);
}

}  // namespace

HRESULT getRow(Call& c, Variant& r) { return SetInt(r, c.book.address().row), S_OK; }
HRESULT putRow(Call& c, const VARIANT& v) { return putAddress(c, v, &AddressedBook::setRow, kRowLimit, "Row"); }
HRESULT getCol(Call& c, Variant& r) { return SetInt(r, c.book.address().col), S_OK; }
HRESULT putCol(Call& c, const VARIANT& v) { return putAddress(c, v, &AddressedBook::setCol, kColLimit, "Col"); }
HRESULT getRow2(Call& c, Variant& r) { return SetInt(r, c.book.address().row2), S_OK; }
HRESULT putRow2(Call& c, const VARIANT& v) { return putAddress(c, v, &AddressedBook::setRow2, kRowLimit, "Row2"); }
HRESULT getCol2(Call& c, Variant& r) { return SetInt(r, c.book.address().col2), S_OK; }
HRESULT putCol2(Call& c, const VARIANT& v) { return putAddress(c, v, &AddressedBook::setCol2, kColLimit, "Col2"); }

HRESULT getText(Call& c, Variant& r) {
  const auto [col, row] = firstCell(c.book);
  SetText(r, c.book.cellText(c.book.sheet(), col, row));
  return S_OK;
}
HRESULT putText(Call& c, const VARIANT& v) { return writeCells(c, v); }

HRESULT getValue(Call& c, Variant& r) {
  const auto [col, row] = firstCell(c.book);
  SetText(r, c.book.cellValueText(c.book.sheet(), col, row));
  return S_OK;
}
HRESULT putValue(Call& c, const VARIANT& v) { return writeCells(c, v); }

HRESULT getCellNote(Call& c, Variant& r) { return getCellString(c, r, CellTexts::kNote); }
HRESULT putCellNote(Call& c, const VARIANT& v) { return putCellString(c, v, CellTexts::kNote); }
HRESULT getFormula(Call& c, Variant& r) { return getCellString(c, r, CellTexts::kFormula); }
HRESULT putFormula(Call& c, const VARIANT& v) { return putCellString(c, v, CellTexts::kFormula); }

HRESULT getEditMode(Call& c, Variant& r) { return SetBool(r, c.book.editing()), S_OK; }
HRESULT putEditMode(Call& c, const VARIANT& v) {
  bool on;
  if (const HRESULT hr = ToBool(v, on); platform::FAILED(hr)) return c.fail(hr, "the value is not a boolean");
  if (!on) {
    UserOps(c.book).cancelEdit();
    return S_OK;
  }
  if (!UserOps(c.book).beginEdit()) return c.refuse("the active cell cannot be edited");
  return S_OK;
}

HRESULT getTypeComboBoxCount(Call& c, Variant& r) { return SetShort(r, std::int16_t(ComboItems(addressedStyle(c.book)).size())), S_OK; }

HRESULT getTypeComboBoxCurSel(Call& c, Variant& r) {
  const auto [col, row] = firstCell(c.book);
  const std::string current = c.book.cellValueText(c.book.sheet(), col, row);
  const std::vector<std::string> items = ComboItems(addressedStyle(c.book));
  const auto it = std::find(items.begin(), items.end(), current);
  SetShort(r, current.empty() || it == items.end() ? std::int16_t(-1) : std::int16_t(it - items.begin()));
  return S_OK;
}

HRESULT putTypeComboBoxCurSel(Call& c, const VARIANT& v) {
  std::int32_t index;
  if (const HRESULT hr = ToInt(v, index); platform::FAILED(hr)) return c.fail(hr, "the value is not a number");
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  const std::vector<std::string> items = ComboItems(addressedStyle(c.book));
  if (index < -1 || index >= std::int32_t(items.size())) return c.refuse("there is no item " + std::to_string(index));
  std::string why;
  if (!c.book.writeText(c.book.sheet(), c.book.addressed(), index < 0 ? std::string() : items[size_t(index)], &why)) return c.refuse(why);
  return S_OK;
}

// TypeComboBoxString reads the item at TypeComboBoxIndex (-1: the cell's current text) and
// writes it: the item is replaced, or added at the end when the index is -1 or past the end.
HRESULT getTypeComboBoxString(Call& c, Variant& r) {
  const std::int32_t index = c.book.settings.typeComboBoxIndex;
  const std::vector<std::string> items = ComboItems(addressedStyle(c.book));
  if (index < 0) return getText(c, r);
  SetText(r, size_t(index) < items.size() ? items[size_t(index)] : std::string());
  return S_OK;
}

HRESULT putTypeComboBoxString(Call& c, const VARIANT& v) {
  std::string text;
  if (const HRESULT hr = ToText(v, text); platform::FAILED(hr)) return c.fail(hr, "the value is not a text");
  if (text.find('\t') != std::string::npos) return c.refuse("an item cannot hold a tab");
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  std::vector<std::string> items = ComboItems(addressedStyle(c.book));
  const std::int32_t index = c.book.settings.typeComboBoxIndex;
  if (index >= 0 && size_t(index) < items.size()) items[size_t(index)] = text;
  else items.push_back(text);
  std::string list;
  for (size_t i = 0; i < items.size(); ++i) list += (i ? "\t" : "") + items[i];
  std::string why;
  if (!c.book.changeStyle(
          c.book.sheet(), c.book.addressed(), [&list](Style& s) { s.comboList = list; }, &why))
    return c.refuse(why);
  return S_OK;
}

// The cell picture: a picture object of this grid (LoadPicture's), or nothing to remove it.
HRESULT getTypePictPicture(Call& c, Variant& r) {
  const std::shared_ptr<const Picture>& picture = addressedStyle(c.book).picture;
  platform::VariantClear(r.get());
  r->vt = platform::VT_DISPATCH;
  r->pdispVal = picture ? MakePictureObject(picture).release() : nullptr;
  return S_OK;
}

HRESULT putTypePictPicture(Call& c, const VARIANT& v) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  platform::IDispatch* object = nullptr;
  if (v.vt == platform::VT_DISPATCH) object = v.pdispVal;
  else if (v.vt == (platform::VT_DISPATCH | platform::VT_BYREF)) object = v.byref ? *static_cast<platform::IDispatch**>(v.byref) : nullptr;
  else if (v.vt != platform::VT_EMPTY && v.vt != platform::VT_NULL)
    return c.fail(platform::DISP_E_TYPEMISMATCH, "the value is not a picture object");
  std::shared_ptr<const Picture> picture = object ? PictureOf(object) : nullptr;
  if (object && !picture) return c.refuse("the object is not a picture of this grid");
  std::string why;
  if (!c.book.changeStyle(
          c.book.sheet(), c.book.addressed(), [&picture](Style& s) { s.picture = picture; }, &why))
    return c.refuse(why);
  return S_OK;
}

}  // namespace spread::members
