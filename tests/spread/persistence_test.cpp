// The grid in a storage: everything a book holds comes back from the stream it saves (shared
// styles still shared), a stream that is not a whole book is refused and leaves the grid as it
// was, records of a later format are passed over, loading raises no events, and the dirty flag
// follows changes and saves.
#include <gtest/gtest.h>

#include "components/spread/book_stream.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/model/user_ops.h"
#include "components/spread/registration.h"
#include "components/spread/spread_control.h"
#include "platform/com/com.h"
#include "platform/com/connection.h"
#include "platform/com/storage.h"
#include "tests/spread/spread_test.h"

namespace spread::testing {
namespace {

using namespace platform;

class PersistenceTest : public SpreadTest {
 protected:
  AddressedBook& bookOf(IDispatch* object) { return dynamic_cast<SpreadControl*>(object)->book(); }

  ComPtr<IStorage> newStorage() {
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStorage**>(storage.put())),
              S_OK);
    return storage;
  }
  ComPtr<IPersistStorage> persist(IDispatch* object) {
    ComPtr<IPersistStorage> p;
    EXPECT_EQ(object->QueryInterface(IID_IPersistStorage, p.put()), S_OK);
    return p;
  }
  ComPtr<IDispatch> newGrid() {
    ComPtr<IDispatch> made;
    EXPECT_EQ(CoCreateInstance(kSpreadClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, made.put()), S_OK);
    return made;
  }
  // A book with something of every kind it keeps.
  void fill(AddressedBook& b) {
    b.settings.appearanceStyle = 2;
    b.settings.allowCellOverflow = true;
    ASSERT_TRUE(b.setSheetCount(2));
    Sheet& first = b.sheet();
    first.name = "Data \"one\"\nline two";
    first.setMaxRows(13);
    first.setMaxCols(4);
    first.defaultColWidth = 10.5;
    auto shared = std::make_shared<Style>();
    shared->cellType = std::int16_t(CellType::Number);
    shared->numberMax = 0.1;
    shared->dateMin = ToDateValue({1999, 12, 31});
    auto picture = std::make_shared<Picture>();
    picture->fileName = "cover.jpg";
    picture->format = PictureFormat::Png;
    picture->width = 3;
    picture->height = 2;
    picture->bytes = {0x89, 'P', 'N', 'G', '\n', ' ', 0, 255};
    auto pictured = std::make_shared<Style>();
    pictured->cellType = std::int16_t(CellType::Picture);
    pictured->picture = picture;
    first.cellForWrite(2, 1) = Cell{1234.5, shared, {}};
    first.cellForWrite(2, 1).texts.setNote("a note");
    first.cellForWrite(2, 1).texts.setFormula("=A1*2");
    first.cellForWrite(2, 2) = Cell{-0.25, shared, {}};
    first.cellForWrite(1, 3) = Cell{std::string("Type in me"), nullptr, {}};
    first.cellForWrite(1, 4) = Cell{ToDateValue({1996, 12, 23}), nullptr, {}};
    first.cellForWrite(1, 5) = Cell{TimeValue{5000}, nullptr, {}};
    first.cellForWrite(2, 11) = Cell{CellValue{}, pictured, {}};
    first.cellForWrite(0, 2) = Cell{std::string("header"), nullptr, {}};
    first.rowLineForWrite(8).size = 35.0;
    first.rowLineForWrite(9).hidden = true;
    first.colLineForWrite(2).size = 25.0;
    first.colLineForWrite(2).id = "Amount";
    first.colLineForWrite(3).style = shared;
    ASSERT_TRUE(first.addSpan(Span{1, 6, 2, 2}));
    first.selection.push_back(Block{1, 1, 2, 3});
    first.activeCol = 2;
    first.activeRow = 7;
    ASSERT_TRUE(b.setSheetIndex(2));
    b.sheet().name = "Second";
    b.sheet().visible = false;
    b.sheet().cellForWrite(3, 3) = Cell{std::string("on two"), nullptr, {}};
    ASSERT_TRUE(UserOps(b).setActiveSheet(2));
    b.setRow(7);
    b.setCol(kAll);
  }
};

TEST_F(PersistenceTest, EverythingABookKeepsComesBack) {
  AddressedBook& saved = bookOf(grid.get());
  fill(saved);
  const ComPtr<IStorage> storage = newStorage();
  ASSERT_EQ(persist(grid.get())->Save(storage.get(), FALSE), S_OK);

  const ComPtr<IDispatch> other = newGrid();
  ASSERT_EQ(persist(other.get())->Load(storage.get()), S_OK);
  AddressedBook& loaded = bookOf(other.get());
  EXPECT_TRUE(WriteBook(loaded) == WriteBook(saved)) << WriteBook(loaded).substr(WriteBook(loaded).find("style 0"));
  // What the model sees, not only what the stream says.
  EXPECT_EQ(loaded.settings.appearanceStyle, 2);
  EXPECT_EQ(loaded.sheetCount(), 2);
  EXPECT_EQ(loaded.activeSheetIndex(), 2);
  EXPECT_EQ(loaded.sheet().name, "Second");
  EXPECT_FALSE(loaded.sheet().visible);
  EXPECT_EQ(loaded.address().row, 7);
  EXPECT_EQ(loaded.address().col, kAll);
  ASSERT_TRUE(loaded.setSheetIndex(1));
  const Sheet& first = loaded.sheet();
  EXPECT_EQ(first.name, "Data \"one\"\nline two");
  EXPECT_EQ(first.maxRows(), 13);
  EXPECT_EQ(first.maxCols(), 4);
  EXPECT_EQ(first.defaultColWidth, 10.5);
  ASSERT_NE(first.cell(2, 1), nullptr);
  EXPECT_EQ(first.cell(2, 1)->value, CellValue{1234.5});
  EXPECT_EQ(first.cell(2, 1)->texts.note(), "a note");
  EXPECT_EQ(first.cell(2, 1)->texts.formula(), "=A1*2");
  EXPECT_EQ(first.cell(2, 1)->style.get(), first.cell(2, 2)->style.get()) << "a shared style stays shared";
  EXPECT_EQ(first.cell(2, 1)->style.get(), first.colLine(3)->style.get());
  EXPECT_EQ(first.cell(2, 1)->style->numberMax, 0.1);
  EXPECT_EQ(first.cell(2, 1)->style->dateMin, ToDateValue({1999, 12, 31}));
  EXPECT_EQ(first.cell(1, 4)->value, CellValue{ToDateValue({1996, 12, 23})});
  EXPECT_EQ(first.cell(1, 5)->value, CellValue{TimeValue{5000}});
  EXPECT_EQ(first.cell(0, 2)->value, CellValue{std::string("header")});
  const auto& picture = first.cell(2, 11)->style->picture;
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->bytes, (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\n', ' ', 0, 255}));
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(first.rowHeight(8), 35.0);
  EXPECT_EQ(first.rowHeight(9), 0.0);  // hidden
  EXPECT_EQ(first.colWidth(2), 25.0);
  EXPECT_EQ(first.colLine(2)->id, "Amount");
  ASSERT_NE(first.spanAt(2, 7), nullptr);
  EXPECT_EQ(first.selection, (std::vector<Block>{Block{1, 1, 2, 3}}));
  EXPECT_EQ(first.activeRow, 7);
}

TEST_F(PersistenceTest, ANewGridSavesAndLoadsToTheSameState) {
  const std::string fresh = WriteBook(bookOf(grid.get()));
  const ComPtr<IStorage> storage = newStorage();
  ASSERT_EQ(persist(grid.get())->Save(storage.get(), TRUE), S_OK);
  const ComPtr<IDispatch> other = newGrid();
  fill(bookOf(other.get()));
  ASSERT_EQ(persist(other.get())->Load(storage.get()), S_OK);
  EXPECT_TRUE(WriteBook(bookOf(other.get())) == fresh) << "loading replaces what the grid held";
}

TEST_F(PersistenceTest, AStreamThatIsNoWholeBookIsRefusedAndChangesNothing) {
  AddressedBook source;
  fill(source);
  const std::string good = WriteBook(source);
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string s = good;
    const size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
  };
  const std::vector<std::string> bad = {
      "",
      "not a book",
      replaced("OVSpreadBook 1", "OVSpreadBook 2"),
      good.substr(0, good.size() / 2),
      good.substr(0, good.size() - 4),                          // no "end"
      good + "cell 1 1 e -1 0: 0:\n",                           // after the end
      replaced("cell 2 1", "cell 9 1"),                         // beyond MaxCols
      replaced("cell 2 1 n 1234.5 1", "cell 2 1 n 1234.5 77"),  // no such style
      replaced("setting appearanceStyle 2", "setting appearanceStyle two"),
      replaced("6:Amount", "70:Amount"),         // a text longer than what is left
      replaced("span 1 6 2 2", "span 1 6 9 9"),  // leaves the sheet
      replaced("book 2 2", "book 2 3"),          // no third sheet
  };
  AddressedBook& book = bookOf(grid.get());
  book.settings.appearanceStyle = 1;
  const std::string before = WriteBook(book);
  for (const std::string& bytes : bad) {
    EXPECT_FALSE(ReadBook(book, bytes)) << bytes.substr(0, 60);
    EXPECT_TRUE(WriteBook(book) == before) << "the book changed";
  }
  ASSERT_TRUE(ReadBook(book, good));
  EXPECT_TRUE(WriteBook(book) == good);
}

TEST_F(PersistenceTest, RecordsAndFieldsOfALaterFormatArePassedOver) {
  AddressedBook source;
  fill(source);
  std::string bytes = WriteBook(source);
  bytes.insert(bytes.find("sheet "), "future 1 2 5:a b\nc\nfield laterField 10:x\ny\nz\nw\nvv\n");
  bytes.insert(bytes.find("setting "), "setting laterSetting 3 4:four\n");
  AddressedBook& book = bookOf(grid.get());
  ASSERT_TRUE(ReadBook(book, bytes));
  EXPECT_TRUE(WriteBook(book) == WriteBook(source));
}

// A style whose fields all hold a new style's values (a later model's field, or one written at
// its default) is the default style: what is read then writes out and reads back unchanged.
TEST_F(PersistenceTest, AStyleLikeANewOneIsTheDefaultStyle) {
  AddressedBook source;
  fill(source);
  std::string bytes = WriteBook(source);
  const size_t at = bytes.find("sheet ");
  bytes.insert(at, "style 3\nfield cellType 1\nfield laterField 5\n");
  const std::string_view plain = "cell 1 3 s 10:Type in me -1";
  bytes.replace(bytes.find(plain), plain.size(), "cell 1 3 s 10:Type in me 3");
  AddressedBook& book = bookOf(grid.get());
  ASSERT_TRUE(ReadBook(book, bytes));
  ASSERT_TRUE(book.setSheetIndex(1));
  EXPECT_EQ(book.sheet().cell(1, 3)->style, DefaultStyle());
  const std::string written = WriteBook(book);
  AddressedBook again;
  ASSERT_TRUE(ReadBook(again, written));
  EXPECT_TRUE(WriteBook(again) == written);
}

TEST_F(PersistenceTest, LoadingNeedsTheStreamAndRaisesNoEvents) {
  const ComPtr<IStorage> empty = newStorage();
  AddressedBook& book = bookOf(grid.get());
  book.settings.appearanceStyle = 2;
  EXPECT_EQ(persist(grid.get())->Load(empty.get()), STG_E_FILENOTFOUND);
  EXPECT_EQ(book.settings.appearanceStyle, 2);

  AddressedBook source;
  fill(source);  // its active sheet is the second
  const ComPtr<IStorage> storage = newStorage();
  ComPtr<IStream> stream;
  ASSERT_EQ(storage->CreateStream(kBookStreamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                  reinterpret_cast<IStream**>(stream.put())),
            S_OK);
  const std::string bytes = WriteBook(source);
  ASSERT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), nullptr), S_OK);
  stream.reset();
  ASSERT_EQ(persist(grid.get())->Load(storage.get()), S_OK);
  EXPECT_EQ(log_.lines(), std::vector<std::string>{}) << "no SheetChanged";
  EXPECT_EQ(book.activeSheetIndex(), 2);
  // The grid still raises events afterwards.
  ASSERT_TRUE(UserOps(book).setActiveSheet(1));
  EXPECT_EQ(log_.lines(), std::vector<std::string>{"event SheetChanged(I2:2,I2:1)"});
}

TEST_F(PersistenceTest, TheDirtyFlagFollowsChangesAndSaves) {
  const ComPtr<IPersistStorage> p = persist(grid.get());
  CLSID clsid{};
  ASSERT_EQ(p->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, kSpreadClsid);
  const ComPtr<IStorage> storage = newStorage();
  ASSERT_EQ(p->InitNew(storage.get()), S_OK);
  EXPECT_EQ(p->IsDirty(), S_FALSE);
  get(u"MaxRows");
  EXPECT_EQ(p->IsDirty(), S_FALSE) << "a read changes nothing";
  ASSERT_EQ(put(u"MaxRows", {}, I4(30)), S_OK);
  EXPECT_EQ(p->IsDirty(), S_OK);
  ASSERT_EQ(p->Save(storage.get(), TRUE), S_OK);
  EXPECT_EQ(p->IsDirty(), S_FALSE);
  EXPECT_EQ(p->Save(nullptr, TRUE), E_POINTER);
  // A cell the user changed (the view drives the book, no member runs).
  AddressedBook& book = bookOf(grid.get());
  ASSERT_TRUE(UserOps(book).beginEdit());
  ASSERT_TRUE(UserOps(book).commitEdit("changed", nullptr));
  EXPECT_EQ(p->IsDirty(), S_OK);
}

}  // namespace
}  // namespace spread::testing
