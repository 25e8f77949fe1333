// Both whole-book formats carry every field of every record the walker describes: a book whose
// records hold each field off its default crosses the stream and the grid file, in both orders,
// and comes back with the same records. A field added to a record fails here until the sample
// sets it, and then shows that both formats carry it.
#include <gtest/gtest.h>

#include <variant>

#include "components/spread/book_stream.h"
#include "components/spread/formats/grid_file.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/records/book_walker.h"
#include "tests/spread_files/sample_sheet.h"
#include "tests/spread_files/workbooks.h"

namespace spread::records {
namespace {

// The records of one kind, as the walker reads them from a book.
template <class Fn>
void ForEachRecord(AddressedBook& book, Kind kind, Fn&& fn) {
  BookWalk walk(book, false);
  const auto each = [&](auto& r) { fn(r); };
  switch (kind) {
    case Kind::Book: return fn(walk.book());
    case Kind::Sort:
      for (SortRecord r : walk.sorts()) fn(r);
      return;
    default: break;
  }
  for (std::int32_t n = 1; n <= walk.sheetCount(); ++n) {
    if (kind == Kind::Sheet) fn(walk.sheet(n));
    if (kind == Kind::Select) walk.selection(n, each);
    if (kind == Kind::Row || kind == Kind::Col) walk.lines(n, kind, each);
    if (kind == Kind::Cell) walk.cells(n, each);
    if (kind == Kind::Span) walk.spans(n, each);
  }
}

// A field's value as text; pictures by their contents (each book holds its own copies).
template <class T>
std::string Text(const T& v) {
  return ::testing::PrintToString(v);
}
std::string Text(const std::shared_ptr<const Picture>& p) { return p ? p->fileName + ":" + std::to_string(p->bytes.size()) : "none"; }
std::string Text(const StylePtr& s) {
  if (!s) return "none";
  std::string out;
#define STYLE_FIELD(type, field, initial) out += #field "=" + Text(s->field) + " ";
#include "components/spread/model/style_list.inc"
#undef STYLE_FIELD
  return out;
}

std::string Shown(const FieldRef& ref) {
  return std::visit([](auto* p) { return Text(*p); }, ref);
}

std::vector<std::string> Shown(AddressedBook& book, Kind kind) {
  std::vector<std::string> out;
  ForEachRecord(book, kind, [&](auto r) {
    std::string line;
    for (const Field& f : r.fields()) line += std::string(f.name) + "=" + Shown(f.ref) + " ";
    out.push_back(line);
  });
  return out;
}

class BookRecords : public ::testing::TestWithParam<Kind> {
 protected:
  void SetUp() override {
    files::FillSampleSheet(book, files::TempPath("records.png"));
    book.sortIndicators[2] = 1;
    Sheet& s = book.sheet();
    s.cellForWrite(1, 2).texts.setNote("a note");
    s.cellForWrite(2, 4).texts.setFormula("A1*2");
    ASSERT_TRUE(s.addSpan(Span{1, 12, 2, 2}));
    s.rowLineForWrite(5).hidden = true;
    s.colLineForWrite(2).pageBreak = true;
    s.colLineForWrite(2).id = "Amount";
    s.colLineForWrite(1).hidden = true;
    s.rowLineForWrite(6) = Line{s.styleAt(2, 6), 20, false, true, "row id"};
    s.activeCol = 2, s.activeRow = 3, s.topRow = 2, s.leftCol = 2, s.rowsFrozen = 1, s.colsFrozen = 1;
    s.selection.push_back(Block{2, 2, 2, 3});
    ASSERT_TRUE(book.setSheetCount(2));
    ASSERT_TRUE(book.setSheetIndex(2));
    book.sheet().visible = false;
    ASSERT_TRUE(book.restoreActiveSheet(2));
    book.setRow(3), book.setCol(4), book.setRow2(5), book.setCol2(kAll);
  }
  AddressedBook book;
};

TEST_P(BookRecords, EveryFieldCrossesBothFormats) {
  const Kind kind = GetParam();
  // The sample holds every field of the kind off its default somewhere.
  std::vector<bool> set;
  ForEachRecord(book, kind, [&](auto r) {
    decltype(r) fresh{};
    const auto fields = r.fields(), defaults = fresh.fields();
    set.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) set[i] = set[i] || Shown(fields[i].ref) != Shown(defaults[i].ref);
  });
  ASSERT_FALSE(set.empty()) << "the sample has no record of the kind";
  WithRecordOf(kind, [&](auto r) {
    for (size_t i = 0; i < set.size(); ++i) EXPECT_TRUE(set[i]) << "the sample leaves " << r.fields()[i].name << " at its default";
  });

  const std::vector<std::string> before = Shown(book, kind);
  AddressedBook viaStream, thenGrid, viaGrid, thenStream;
  std::string error;
  ASSERT_TRUE(ReadBook(viaStream, WriteBook(book)));
  ASSERT_TRUE(files::ReadGridFileText(thenGrid, files::GridFileText(viaStream, false), &error)) << error;
  EXPECT_EQ(Shown(thenGrid, kind), before) << "stream, then grid file";
  ASSERT_TRUE(files::ReadGridFileText(viaGrid, files::GridFileText(book, false), &error)) << error;
  ASSERT_TRUE(ReadBook(thenStream, WriteBook(viaGrid)));
  EXPECT_EQ(Shown(thenStream, kind), before) << "grid file, then stream";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BookRecords, ::testing::ValuesIn(kKinds));

}  // namespace
}  // namespace spread::records
