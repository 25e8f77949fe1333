#include "components/spread/records/book_walker.h"

#include "components/spread/members/addressed_book.h"

namespace spread::records {
namespace {

bool IsDefault(const Style& s) {
  const Style& d = *DefaultStyle();
#define STYLE_FIELD(type, field, initial) \
  if (!(s.field == d.field)) return false;
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  return true;
}

// Whether (col, row) lies in the sheet, each at least `lowest` (kAll: a whole row or column too).
bool InSheet(const Sheet& s, std::int32_t col, std::int32_t row, std::int32_t lowest) {
  return col >= lowest && row >= lowest && col <= s.maxCols() && row <= s.maxRows();
}

}  // namespace

BookWalk::BookWalk(AddressedBook& book, bool dataOnly) : book_(book), addressed_(book.sheetIndex()), dataOnly_(dataOnly) {}

const BookSettings& BookWalk::settings() const { return book_.settings; }

BookRecord BookWalk::book() const {
  const Addressing& a = book_.address();
  return {addressed_, book_.activeSheetIndex(), a.row, a.col, a.row2, a.col2};
}

std::vector<SortRecord> BookWalk::sorts() const {
  std::vector<SortRecord> out;
  if (!dataOnly_)
    for (const auto& [col, indicator] : book_.sortIndicators) out.push_back({col, indicator});
  return out;
}

std::int32_t BookWalk::sheetCount() const { return book_.sheetCount(); }

void BookWalk::forEachStyle(const std::function<void(const StylePtr&)>& fn) {
  std::map<const Style*, bool> met;
  const auto meet = [&](const StylePtr& s) {
    if (s && met.emplace(s.get(), true).second) fn(s);
  };
  for (std::int32_t n = 1; n <= sheetCount(); ++n) {
    const Sheet& s = book_.sheetAt(n);
    meet(s.styleAt(kAll, kAll));
    for (std::int32_t r = 0; r <= s.maxRows(); ++r)
      if (const Line* l = s.rowLine(r)) meet(l->style);
    for (std::int32_t c = 0; c <= s.maxCols(); ++c)
      if (const Line* l = s.colLine(c)) meet(l->style);
    s.forEachCell(Block{kAll, kAll, kAll, kAll}, [&](std::int32_t, std::int32_t, const Cell& cell) { meet(cell.style); });
  }
}

SheetRecord BookWalk::sheet(std::int32_t n) {
  const Sheet& s = book_.sheetAt(n);
  return {s.name,
          s.visible,
          s.maxRows(),
          s.maxCols(),
          s.defaultRowHeight,
          s.defaultColWidth,
          s.activeCol,
          s.activeRow,
          s.topRow,
          s.leftCol,
          s.rowsFrozen,
          s.colsFrozen,
          dataOnly_ ? nullptr : s.styleAt(kAll, kAll)};
}

void BookWalk::selection(std::int32_t n, const std::function<void(SelectRecord&)>& fn) {
  for (const Block& b : book_.sheetAt(n).selection) {
    SelectRecord r{b.col, b.row, b.col2, b.row2};
    fn(r);
  }
}

void BookWalk::lines(std::int32_t n, Kind rowOrCol, const std::function<void(LineRecord&)>& fn) {
  if (dataOnly_) return;
  const Sheet& s = book_.sheetAt(n);
  const bool rows = rowOrCol == Kind::Row;
  for (std::int32_t i = 0; i <= (rows ? s.maxRows() : s.maxCols()); ++i) {
    const Line* l = rows ? s.rowLine(i) : s.colLine(i);
    if (!l || l->empty()) continue;
    LineRecord r{i, l->style, l->size, l->hidden, l->pageBreak, l->id};
    fn(r);
  }
}

void BookWalk::cells(std::int32_t n, const std::function<void(CellRecord&)>& fn) {
  book_.sheetAt(n).forEachCell(Block{kAll, kAll, kAll, kAll}, [&](std::int32_t c, std::int32_t row, const Cell& cell) {
    if (dataOnly_ && IsEmpty(cell.value)) return;
    CellRecord r{c,
                 row,
                 cell.value,
                 dataOnly_ ? nullptr : cell.style,
                 dataOnly_ ? std::string() : cell.texts.note(),
                 dataOnly_ ? std::string() : cell.texts.formula()};
    fn(r);
  });
}

void BookWalk::spans(std::int32_t n, const std::function<void(SpanRecord&)>& fn) {
  if (dataOnly_) return;
  for (const Span& span : book_.sheetAt(n).spans()) {
    SpanRecord r{span.col, span.row, span.cols, span.rows};
    fn(r);
  }
}

BookBuilder::BookBuilder(AddressedBook& book) : book_(book) {}

BookSettings& BookBuilder::settings() { return book_.settings; }

std::string BookBuilder::style(std::int32_t id, const Style& style) {
  if (std::string broken = ValidateStyle(style); !broken.empty()) return broken;
  styles_[id] = IsDefault(style) ? DefaultStyle() : std::make_shared<const Style>(style);
  return {};
}

bool BookBuilder::styleOf(std::int32_t id, StylePtr& style) const {
  style = nullptr;
  if (id == -1) return true;
  const auto it = styles_.find(id);
  if (it == styles_.end()) return false;
  style = it->second;
  return true;
}

std::string BookBuilder::add(const SortRecord& r) {
  book_.sortIndicators[r.col] = r.indicator;
  return {};
}

std::string BookBuilder::add(const SheetRecord& r) {
  if (sheets_ >= kSheetLimit) return "too many sheets";
  ++sheets_;
  if (!book_.setSheetCount(sheets_) || !book_.setSheetIndex(sheets_)) return "too many sheets";
  if (r.maxRows < 1 || r.maxRows > kRowLimit || r.maxCols < 1 || r.maxCols > kColLimit) return "bad sheet";
  Sheet& s = book_.sheet();
  s.name = r.name;
  s.visible = r.visible;
  s.setMaxRows(r.maxRows);
  s.setMaxCols(r.maxCols);
  s.defaultRowHeight = r.defaultRowHeight;
  s.defaultColWidth = r.defaultColWidth;
  if (std::string why = view(r); !why.empty()) return why;
  // A sheet starts from the default style; another one is put in its place by changing it whole,
  // and the sheet's copy then stands for that style wherever it is used.
  if (r.defaultStyle && r.defaultStyle != s.styleAt(kAll, kAll)) {
    s.changeStyles(
        Block{kAll, kAll, kAll, kAll}, [&](Style& st) { st = *r.defaultStyle; }, book_.formatContext());
    for (auto& [id, style] : styles_)
      if (style == r.defaultStyle) style = s.styleAt(kAll, kAll);
  }
  return {};
}

std::string BookBuilder::view(const SheetRecord& r) {
  if (sheets_ == 0) return "no sheet yet";
  Sheet& s = book_.sheet();
  if (!InSheet(s, r.activeCol, r.activeRow, 1) || !InSheet(s, r.leftCol, r.topRow, 1) || !InSheet(s, r.colsFrozen, r.rowsFrozen, 0))
    return "bad view";
  s.activeCol = r.activeCol, s.activeRow = r.activeRow, s.topRow = r.topRow, s.leftCol = r.leftCol;
  s.rowsFrozen = r.rowsFrozen, s.colsFrozen = r.colsFrozen;
  return {};
}

std::string BookBuilder::add(const SelectRecord& r) {
  if (sheets_ == 0) return "no sheet yet";
  const Sheet& s = book_.sheet();
  if (!InSheet(s, r.col, r.row, kAll) || !InSheet(s, r.col2, r.row2, kAll)) return "bad select";
  book_.sheet().selection.push_back(Block{r.col, r.row, r.col2, r.row2});
  return {};
}

std::string BookBuilder::add(Kind rowOrCol, const LineRecord& r) {
  if (sheets_ == 0) return "no sheet yet";
  Sheet& s = book_.sheet();
  const bool rows = rowOrCol == Kind::Row;
  if (r.index < 0 || r.index > (rows ? s.maxRows() : s.maxCols())) return "bad line";
  (rows ? s.rowLineForWrite(r.index) : s.colLineForWrite(r.index)) = Line{r.style, r.size, r.hidden, r.pageBreak, r.id};
  return {};
}

std::string BookBuilder::add(const CellRecord& r) {
  if (sheets_ == 0) return "no sheet yet";
  Sheet& s = book_.sheet();
  if (!InSheet(s, r.col, r.row, 0)) return "bad cell";
  if (const auto* t = std::get_if<TimeValue>(&r.value); t && (t->seconds < 0 || t->seconds >= 86400)) return "bad cell";
  Cell& cell = s.cellForWrite(r.col, r.row);
  cell = Cell{r.value, r.style, {}};
  cell.texts.setNote(r.note), cell.texts.setFormula(r.formula);
  return {};
}

std::string BookBuilder::add(const SpanRecord& r) {
  if (sheets_ == 0) return "no sheet yet";
  if (!book_.sheet().addSpan(Span{r.col, r.row, r.cols, r.rows})) return "bad span";
  return {};
}

std::string BookBuilder::add(const BookRecord& r) {
  address_ = r;
  return {};
}

std::string BookBuilder::finish() {
  if (sheets_ < 1) return "no sheet";
  const BookRecord& a = address_;
  // The addressed block may lie beyond the sheet (automation takes any row and column up to the
  // limits), not beyond the limits.
  const auto inLimits = [](std::int32_t col, std::int32_t row) { return col >= kAll && row >= kAll && col <= kColLimit && row <= kRowLimit; };
  if (!book_.setSheetIndex(a.sheet) || a.activeSheet < 1 || a.activeSheet > sheets_ || !inLimits(a.col, a.row) || !inLimits(a.col2, a.row2))
    return "bad book record";
  book_.restoreActiveSheet(a.activeSheet);
  book_.setRow(a.row), book_.setCol(a.col), book_.setRow2(a.row2), book_.setCol2(a.col2);
  return {};
}

bool ReadWhole(AddressedBook& book, const std::function<bool(BookBuilder&)>& read) {
  AddressedBook scratch;
  BookBuilder trial(scratch);
  if (!read(trial)) return false;
  book.reset();
  BookBuilder builder(book);
  return read(builder);
}

}  // namespace spread::records
