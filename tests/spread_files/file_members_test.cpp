// The file members as the demo and scripts call them through the member table, and the
// clipboard texts of the selection.
#include <gtest/gtest.h>

#include "components/spread/clipboard/clipboard_text.h"
#include "components/spread/formats/atomic_write.h"
#include "tests/spread/spread_test_support.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

using namespace spread::test;

std::int32_t CallNumber(AddressedBook& book, std::string_view name, Args args) {
  platform::Variant r;
  std::string error;
  EXPECT_EQ(CallMethod(book, name, std::move(args), &r, &error), platform::S_OK) << name << ": " << error;
  return std::int32_t(NumberOf(r));
}

TEST(FileMembers, TheDemoLoadsAnExcelBook) {
  AddressedBook book;
  const std::string xlsx = SampleWorkbook("xlsx"), log = TempPath("err2.log"), text = TempPath("notes.txt");
  EXPECT_EQ(CallNumber(book, "IsExcelFile", {Str(xlsx)}), -1);
  EXPECT_EQ(CallNumber(book, "ImportExcelBook", {Str(xlsx), Str(log)}), 1);
  EXPECT_EQ(GetText(book, "SheetName"), "Kinds");
  ASSERT_TRUE(WriteFileAtomically(text, "plain text", nullptr));
  EXPECT_EQ(CallNumber(book, "IsExcelFile", {Str(text)}), 0);
  EXPECT_EQ(CallNumber(book, "ImportExcelBook", {Str(text), Str(log)}), -2);
  std::string logged;
  EXPECT_TRUE(ReadWholeFile(log, logged));
  EXPECT_NE(logged.find("not an Excel workbook"), std::string::npos);
  EXPECT_EQ(CallNumber(book, "ImportExcelBook", {Str(TempPath("none.xls"))}), -1);
}

TEST(FileMembers, ExportsAndTheOwnFileAnswerTrueOrFalse) {
  AddressedBook book;
  ASSERT_TRUE(book.writeText(book.sheet(), Block{1, 1, 1, 1}, "one", nullptr));
  ASSERT_TRUE(book.writeText(book.sheet(), Block{2, 1, 2, 1}, "two", nullptr));
  const std::string csv = TempPath("m.csv"), grid = TempPath("m.kgrid");
  EXPECT_EQ(CallNumber(book, "ExportToTextFile", {Str(csv), Str(""), Str(";"), Str("\n"), I4(0), Str("")}), -1);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(csv, bytes));
  EXPECT_EQ(bytes, "one;two\n");
  EXPECT_EQ(CallNumber(book, "ExportRangeToTextFile", {I4(2), I4(1), I4(2), I4(1), Str(csv), Str("'"), Str(","), Str("\n"), I4(0), Str("")}),
            -1);
  ASSERT_TRUE(ReadWholeFile(csv, bytes));
  EXPECT_EQ(bytes, "'two'\n");
  EXPECT_EQ(CallNumber(book, "SaveToFile", {Str(grid), I2(0)}), -1);
  AddressedBook back;
  EXPECT_EQ(CallNumber(back, "LoadFromFile", {Str(grid)}), -1);
  EXPECT_EQ(back.cellText(back.sheet(), 2, 1), "two");
  EXPECT_EQ(CallNumber(back, "LoadFromFile", {Str(csv)}), 0);
  EXPECT_EQ(CallNumber(book, "ExportToExcel", {Str(TempPath("no/dir/x.xlsx")), Str("S"), Str(TempPath("x.log"))}), 0);
  std::string logged;
  EXPECT_TRUE(ReadWholeFile(TempPath("x.log"), logged));
  EXPECT_EQ(CallNumber(book, "ExportToHTML", {Str(TempPath("m.html")), I2(0), Str("")}), -1);
  EXPECT_EQ(CallNumber(book, "SaveTabFileU", {Str(TempPath("m.tab"))}), -1);
  EXPECT_EQ(CallNumber(back, "LoadTabFile", {Str(TempPath("m.tab"))}), -1);
  EXPECT_EQ(back.cellText(back.sheet(), 1, 1), "one");
}

TEST(ClipboardText, SelectionTextQuotingAndRefusedPastes) {
  AddressedBook book;
  ASSERT_TRUE(book.writeText(book.sheet(), Block{1, 1, 1, 1}, "a\tb", nullptr));
  ASSERT_TRUE(book.writeText(book.sheet(), Block{2, 1, 2, 1}, "plain", nullptr));
  book.activeSheet().selection = {Block{1, 1, 2, 1}};
  EXPECT_EQ(SelectionText(book), "\"a\tb\"\tplain\r\n");
  EXPECT_NE(SelectionHtml(book).find("<td>a\tb</td>"), std::string::npos);
  book.setRow(3), book.setRow2(3);
  book.setCol(2), book.setCol2(2);
  ASSERT_TRUE(book.changeStyle(
      book.sheet(), book.addressed(), [](Style& s) { s.cellType = std::int16_t(CellType::Number); }, nullptr));
  book.activeSheet().selection.clear();
  book.activeSheet().activeCol = 1;
  book.activeSheet().activeRow = 3;
  EXPECT_EQ(PasteText(book, "x\tnot a number\r\ny\t12\r\n"), 1);
  EXPECT_EQ(book.cellText(book.sheet(), 1, 3), "x");
  EXPECT_EQ(book.cellText(book.sheet(), 2, 3), "");
  EXPECT_EQ(book.cellText(book.sheet(), 2, 4), "12");
  book.activeSheet().selection = {Block{1, 3, 2, 4}};
  EXPECT_TRUE(ClearSelection(book));
  EXPECT_EQ(book.cellText(book.sheet(), 1, 4), "");
}

}  // namespace
}  // namespace spread::files
