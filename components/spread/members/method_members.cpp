// The grid's methods: spans, selection, clearing and deleting, searching, the active cell and
// scrolling, column letters, Reset and Refresh, the Excel file test and LoadPicture.
#include <filesystem>
#include <fstream>

#include "components/spread/members/fields.h"
#include "components/spread/model/user_ops.h"
#include "platform/ascii.h"
#include "platform/system/resource.h"

namespace spread::members {

namespace {

using platform::S_OK;

// Reads the first n arguments as numbers.
template <size_t N>
HRESULT numbers(const Call& c, std::array<std::int32_t, N>& out) {
  for (size_t i = 0; i < N; ++i)
    if (const HRESULT hr = IntArg(c, i, out[i]); platform::FAILED(hr)) return hr;
  return S_OK;
}

// A block from (col, row, col2, row2) arguments: -1 as col or row means all; the corners may come
// in any order; refused when it leaves the sheet.
HRESULT blockOf(const Call& c, const Sheet& s, const std::array<std::int32_t, 4>& a, Block& b) {
  b = {std::min(a[0], a[2]), std::min(a[1], a[3]), std::max(a[0], a[2]), std::max(a[1], a[3])};
  if (a[0] == kAll || a[2] == kAll) b.col = b.col2 = kAll;
  if (a[1] == kAll || a[3] == kAll) b.row = b.row2 = kAll;
  if ((!b.allCols() && (b.col < 1 || b.col2 > s.maxCols())) || (!b.allRows() && (b.row < 1 || b.row2 > s.maxRows())))
    return c.refuse("the block is outside the sheet");
  return S_OK;
}

// Search flags of SearchCol and SearchRow.
enum SearchFlag : std::int32_t {
  kSearchPartial = 1,        // the cell's text begins with the text sought
  kSearchCaseSensitive = 2,  // letters compared with their case
  kSearchValue = 4,          // compares the cell's Value rather than its Text
};

bool matches(std::string_view cell, std::string_view sought, std::int32_t flags) {
  if (flags & kSearchPartial) cell = cell.substr(0, sought.size());
  return (flags & kSearchCaseSensitive) ? cell == sought : platform::ascii::equalsNoCase(cell, sought);
}

// SearchCol(col, rowStart, rowEnd, text, flags): the first row after rowStart up to rowEnd
// (-1: the last row) whose cell in col matches; -1 when none. SearchRow the same along a row.
HRESULT search(Call& c, Variant& r, bool alongColumn) {
  std::array<std::int32_t, 3> a{};
  std::int32_t flags;
  std::string text;
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = TextArg(c, 3, text); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = IntArg(c, 4, flags); platform::FAILED(hr)) return hr;
  const Sheet& s = c.book.sheet();
  const std::int32_t limit = alongColumn ? s.maxRows() : s.maxCols();
  const std::int32_t end = a[2] == kAll ? limit : std::min(a[2], limit);
  std::int32_t found = -1;
  for (std::int64_t i = std::int64_t(std::max(a[1], 0)) + 1; i <= end && found < 0; ++i) {
    const std::int32_t col = alongColumn ? a[0] : std::int32_t(i), row = alongColumn ? std::int32_t(i) : a[0];
    const std::string cell =
        (flags & kSearchValue) ? c.book.cellValueText(c.book.sheet(), col, row) : c.book.cellText(c.book.sheet(), col, row);
    if (matches(cell, text, flags)) found = std::int32_t(i);
  }
  SetInt(r, found);
  return S_OK;
}

}  // namespace

HRESULT callAddCellSpan(Call& c, Variant& r) {
  std::array<std::int32_t, 4> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  SetShort(r, c.book.sheet().addSpan({a[0], a[1], a[2], a[3]}) ? 1 : 0);
  return S_OK;
}

HRESULT callRemoveCellSpan(Call& c, Variant&) {
  std::array<std::int32_t, 2> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  c.book.sheet().removeSpan(a[0], a[1]);
  return S_OK;
}

HRESULT callSetSelection(Call& c, Variant&) {
  std::array<std::int32_t, 4> a{};
  Block b;
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = blockOf(c, c.book.activeSheet(), a, b); platform::FAILED(hr)) return hr;
  c.book.activeSheet().selection = {b};
  return S_OK;
}

// AddSelection adds a block when AllowMultiBlocks is on; otherwise it replaces the selection.
HRESULT callAddSelection(Call& c, Variant&) {
  std::array<std::int32_t, 4> a{};
  Block b;
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = blockOf(c, c.book.activeSheet(), a, b); platform::FAILED(hr)) return hr;
  auto& sel = c.book.activeSheet().selection;
  if (!c.book.settings.allowMultiBlocks) sel.clear();
  sel.push_back(b);
  return S_OK;
}

// ClearRange(col, row, col2, row2[, dataOnly]): without dataOnly the cells' own formatting,
// notes and formulas go too.
HRESULT callClearRange(Call& c, Variant&) {
  std::array<std::int32_t, 4> a{};
  Block b;
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (const HRESULT hr = blockOf(c, c.book.sheet(), a, b); platform::FAILED(hr)) return hr;
  bool dataOnly = false;
  if (c.has(4))
    if (const HRESULT hr = ToBool(c.args[4], dataOnly); platform::FAILED(hr)) return c.fail(hr, "argument 5 is not a boolean");
  c.book.sheet().clearRange(b, dataOnly);
  return S_OK;
}

HRESULT callDeleteRows(Call& c, Variant&) {
  std::array<std::int32_t, 2> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (a[0] < 1 || a[1] < 0 || a[0] > c.book.sheet().maxRows()) return c.refuse("the rows are outside the sheet");
  c.book.sheet().deleteRows(a[0], std::min(a[1], c.book.sheet().maxRows() - a[0] + 1));
  return S_OK;
}

HRESULT callDeleteCols(Call& c, Variant&) {
  std::array<std::int32_t, 2> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (a[0] < 1 || a[1] < 0 || a[0] > c.book.sheet().maxCols()) return c.refuse("the columns are outside the sheet");
  c.book.sheet().deleteCols(a[0], std::min(a[1], c.book.sheet().maxCols() - a[0] + 1));
  return S_OK;
}

HRESULT callSearchCol(Call& c, Variant& r) { return search(c, r, true); }
HRESULT callSearchRow(Call& c, Variant& r) { return search(c, r, false); }

// SetActiveCell(col, row): in the active sheet, as a user moving there (LeaveCell is raised; a
// sink may refuse).
HRESULT callSetActiveCell(Call& c, Variant&) {
  std::array<std::int32_t, 2> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  const Sheet& s = c.book.activeSheet();
  if (a[0] < 1 || a[1] < 1 || a[0] > s.maxCols() || a[1] > s.maxRows()) return c.refuse("the cell is outside the sheet");
  UserOps(c.book).setActiveCell(a[0], a[1]);
  return S_OK;
}

// ShowCell(col, row, position): scrolls so the cell shows at position (0 top left, 1 top
// centre, 2 top right, 3 centre left, 4 centre, 5 centre right, 6 bottom left, 7 bottom centre,
// 8 bottom right), counting VisibleRows and VisibleCols (1 when they are 0).
HRESULT callShowCell(Call& c, Variant&) {
  std::array<std::int32_t, 3> a{};
  if (const HRESULT hr = numbers(c, a); platform::FAILED(hr)) return hr;
  if (a[2] < 0 || a[2] > 8) return c.refuse("the position must be 0 to 8");
  const Sheet& s = c.book.activeSheet();
  if (a[0] < 1 || a[1] < 1 || a[0] > s.maxCols() || a[1] > s.maxRows()) return c.refuse("the cell is outside the sheet");
  const std::int32_t rows = std::max(c.book.settings.visibleRows, 1), cols = std::max(c.book.settings.visibleCols, 1);
  const std::int32_t across = a[2] % 3, down = a[2] / 3;
  const std::int32_t left = a[0] - (across == 0 ? 0 : across == 1 ? cols / 2 : cols - 1);
  const std::int32_t top = a[1] - (down == 0 ? 0 : down == 1 ? rows / 2 : rows - 1);
  UserOps(c.book).scrollTo(left, top);
  return S_OK;
}

// ColLetterToNumber("AB") = 28; a text that is no column letters gives 0. A number is taken as a
// column number and comes back as itself.
HRESULT callColLetterToNumber(Call& c, Variant& r) {
  std::string text;
  if (const HRESULT hr = TextArg(c, 0, text); platform::FAILED(hr)) return hr;
  std::int64_t n = 0;
  for (char ch : text) {
    const char up = platform::ascii::toUpper(ch);
    if (up < 'A' || up > 'Z' || n > kColLimit) {
      n = 0;
      break;
    }
    n = n * 26 + (up - 'A' + 1);
  }
  if (n == 0 && !text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() < 10) n = std::stoll(text);
  SetInt(r, n > kColLimit ? 0 : std::int32_t(n));
  return S_OK;
}

// ColNumberToLetter(28) = "AB"; empty for a number below 1.
HRESULT callColNumberToLetter(Call& c, Variant& r) {
  std::int32_t n;
  if (const HRESULT hr = IntArg(c, 0, n); platform::FAILED(hr)) return hr;
  std::string letters;
  for (std::int64_t v = n; v > 0; v = (v - 1) / 26) letters.insert(letters.begin(), char('A' + (v - 1) % 26));
  SetText(r, letters);
  return S_OK;
}

HRESULT callReset(Call& c, Variant&) {
  c.book.reset();
  return S_OK;
}

// The model keeps nothing to redraw; the view repaints from it.
HRESULT callRefresh(Call&, Variant&) { return S_OK; }

// IsExcelFile(file): whether the file is an Excel workbook as far as its first bytes tell: a
// compound file (.xls) or a zip container (.xlsx). -1 (True) or 0.
HRESULT callIsExcelFile(Call& c, Variant& r) {
  std::string file;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  std::ifstream in(file, std::ios::binary);
  char head[8] = {};
  const bool read = in && in.read(head, sizeof head);
  static constexpr char kCompound[8] = {'\xD0', '\xCF', '\x11', '\xE0', '\xA1', '\xB1', '\x1A', '\xE1'};
  const bool excel = read && (std::equal(head, head + 8, kCompound) || (head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4));
  SetShort(r, excel ? -1 : 0);
  return S_OK;
}

// Where a picture's file is read from: a bare file name missing from the working folder is looked
// for beside the program too, where a program keeps the pictures it ships with, so starting the
// program from another folder finds them. Any other name is taken as it stands.
std::string PictureFilePath(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path name(file);
  if (file.empty() || name.has_parent_path() || fs::is_regular_file(name, ec)) return file;
  char program[4096];
  if (platform::GetModuleFileNameA(nullptr, program, sizeof program) == 0) return file;
  const fs::path beside = fs::path(program).parent_path() / name;
  return fs::is_regular_file(beside, ec) ? beside.string() : file;
}

// LoadPicture(file[, kind]): a picture object holding the file's bytes; nothing (a null object)
// when the file cannot be read.
HRESULT callLoadPicture(Call& c, Variant& r) {
  std::string file;
  std::int32_t kind = 0;
  if (const HRESULT hr = TextArg(c, 0, file); platform::FAILED(hr)) return hr;
  if (c.has(1))
    if (const HRESULT hr = IntArg(c, 1, kind); platform::FAILED(hr)) return hr;
  std::shared_ptr<const Picture> picture = LoadPictureFile(PictureFilePath(file), kind);
  platform::VariantClear(r.get());
  r->vt = platform::VT_DISPATCH;
  r->pdispVal = picture ? MakePictureObject(std::move(picture)).release() : nullptr;
  return S_OK;
}

}  // namespace spread::members
