// The grid's own file: a saved sheet loads back with every property; a damaged file is refused
// and leaves the grid as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/formats/grid_file.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/model/user_ops.h"
#include "tests/spread_files/sample_sheet.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

class GridFile : public ::testing::Test {
 protected:
  void SetUp() override {
    FillSampleSheet(book, TempPath("cell.png"));
    Sheet& s = book.sheet();
    s.cellForWrite(1, 2).texts.setNote("a note with blanks % and\nline");
    s.cellForWrite(2, 4).texts.setFormula("A1*2");
    ASSERT_TRUE(s.addSpan(Span{1, 12, 2, 2}));
    s.rowLineForWrite(5).hidden = true;
    s.colLineForWrite(2).pageBreak = true;
    s.rowsFrozen = 1;
    s.selection.push_back(Block{1, 2, 2, 3});
    book.setSheetCount(2);
    book.setSheetIndex(2);
    book.sheet().name = "Second sheet";
    ASSERT_TRUE(book.writeText(book.sheet(), Block{3, 3, 3, 3}, "on sheet two", nullptr));
    UserOps(book).setActiveSheet(2);
    book.setSheetIndex(1);
    book.settings.gridColor = 0x123456;
    book.settings.printAbortMsg = "Printing - Click Cancel to quit";
  }
  AddressedBook book;
};

TEST_F(GridFile, RoundTripKeepsEveryProperty) {
  const std::string path = TempPath("sample.grid");
  std::string error;
  ASSERT_TRUE(SaveGridFile(book, path, false, &error)) << error;
  AddressedBook back;
  ASSERT_TRUE(LoadGridFile(back, path, &error)) << error;
  // The file written from what was loaded is the same file: nothing was lost or changed.
  EXPECT_EQ(GridFileText(back, false), GridFileText(book, false));
  EXPECT_EQ(back.sheetCount(), 2);
  EXPECT_EQ(back.activeSheetIndex(), 2);
  EXPECT_EQ(back.settings.gridColor, 0x123456u);
  for (std::int32_t r = 1; r <= 13; ++r)
    for (std::int32_t c = 1; c <= 2; ++c) EXPECT_EQ(back.cellText(back.sheet(), c, r), book.cellText(book.sheet(), c, r)) << c << "," << r;
  const Sheet& s = back.sheet();
  EXPECT_EQ(s.styleAt(2, 6)->picMask, "(999) 999-9999");
  EXPECT_EQ(s.cell(1, 2)->texts.note(), "a note with blanks % and\nline");
  EXPECT_EQ(s.cell(2, 4)->texts.formula(), "A1*2");
  ASSERT_NE(s.spanAt(2, 13), nullptr);
  EXPECT_EQ(s.rowHeight(5), 0);
  EXPECT_DOUBLE_EQ(s.colWidth(2), 25);
  ASSERT_NE(s.styleAt(2, 11)->picture, nullptr);
  EXPECT_EQ(s.styleAt(2, 11)->picture->width, 16);
  EXPECT_EQ(s.styleAt(2, 11)->picture->bytes, book.sheet().styleAt(2, 11)->picture->bytes);
}

TEST_F(GridFile, DataOnlyKeepsValuesWithoutStyles) {
  AddressedBook back;
  ASSERT_TRUE(ReadGridFileText(back, GridFileText(book, true), nullptr));
  EXPECT_EQ(back.cellValueText(back.sheet(), 2, 4), "1234");
  EXPECT_EQ(back.sheet().styleAt(2, 4)->type(), CellType::Edit);
}

TEST_F(GridFile, DamagedFilesAreRefusedAndLeaveTheGrid) {
  const std::string text = GridFileText(book, false);
  const std::string damaged[] = {
      "",
      "not a grid file\n",
      text.substr(0, text.size() / 2),                                          // cut short: no end line
      text.substr(0, text.rfind("end")),                                        // the end line missing
      std::string(text).insert(text.find('\n') + 1, "cell 1 1 99 t =x = =\n"),  // cell before a sheet, unknown style
      std::string(text).replace(text.find("sheet "), 6, "sheet =x 1 -5 2 12 9 -1 "),
      std::string(text).insert(text.rfind("end"), "span 1 1 1 1\n"),              // a one-cell span
      std::string(text).insert(text.rfind("end"), "cell 1 99999 -1 t =x = =\n"),  // outside the sheet
      text + "more\n",
  };
  for (const std::string& d : damaged) {
    AddressedBook target;
    target.sheet().name = "Untouched";
    std::string error;
    EXPECT_FALSE(ReadGridFileText(target, d, &error)) << d.substr(0, 60);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(target.sheet().name, "Untouched");
  }
}

TEST_F(GridFile, SavesAtomicallyAndReportsFailure) {
  const std::string path = TempPath("atomic.grid");
  std::ofstream(path) << "old contents";
  std::string error;
  EXPECT_FALSE(SaveGridFile(book, TempPath("no/such/dir/x.grid"), false, &error));
  EXPECT_FALSE(error.empty());
  ASSERT_TRUE(SaveGridFile(book, path, false, &error));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_TRUE(bytes.starts_with("KESTREL-GRID 1\n"));
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  AddressedBook back;
  EXPECT_FALSE(LoadGridFile(back, TempPath("missing.grid"), &error));
}

}  // namespace
}  // namespace spread::files
