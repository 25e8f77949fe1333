// Workbooks written by other programs (xlwt for .xls, openpyxl for .xlsx, made at test time)
// read into the grid with every value and type; damaged files refused without harm.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "components/spread/formats/workbook_import.h"
#include "components/spread/members/addressed_book.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

constexpr std::int32_t kRows = 10'000;

class WorkbookImport : public ::testing::TestWithParam<const char*> {
 protected:
  std::string path() const { return SampleWorkbook(GetParam()); }
};

TEST_P(WorkbookImport, KeepsSheetsNamesAndSizes) {
  AddressedBook book;
  ASSERT_EQ(ImportWorkbook(book, path(), ""), ImportStatus::Ok);
  ASSERT_EQ(book.sheetCount(), 2);
  book.setSheetIndex(1);
  EXPECT_EQ(book.sheet().name, "Kinds");
  EXPECT_EQ(book.sheet().maxRows(), 3);
  book.setSheetIndex(2);
  EXPECT_EQ(book.sheet().name, "Rows");
  EXPECT_EQ(book.sheet().maxRows(), kRows);
  EXPECT_EQ(book.sheet().maxCols(), 3);
}

TEST_P(WorkbookImport, EachKindBecomesItsCellType) {
  AddressedBook book;
  ASSERT_EQ(ImportWorkbook(book, path(), ""), ImportStatus::Ok);
  book.setSheetIndex(1);
  const Sheet& s = book.sheet();
  struct Expect {
    std::int32_t col;
    CellType type;
    CellValue value;
  };
  const Expect table[] = {
      {1, CellType::Edit, std::string("Z\xFCrich text")},
      {2, CellType::Number, 3.25},
      {3, CellType::Number, -17.0},
      {4, CellType::Number, 1234567.125},
      {5, CellType::Date, ToDateValue({2024, 2, 29})},
      {6, CellType::Time, TimeValue{13 * 3600 + 45 * 60 + 30}},
  };
  for (const Expect& e : table) {
    SCOPED_TRACE(e.col);
    const Cell* c = s.cell(e.col, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(s.styleAt(e.col, 1)->type(), e.type);
    EXPECT_EQ(c->value, e.value);
  }
  EXPECT_EQ(book.cellText(book.sheet(), 4, 1), "1234567.125");
  EXPECT_EQ(book.cellText(book.sheet(), 5, 1), "02/29/2024");
  EXPECT_EQ(book.cellText(book.sheet(), 6, 1), "13:45:30");
  EXPECT_EQ(book.cellText(book.sheet(), 2, 3), "third row");
}

TEST_P(WorkbookImport, TenThousandRowsEveryValue) {
  AddressedBook book;
  ASSERT_EQ(ImportWorkbook(book, path(), ""), ImportStatus::Ok);
  book.setSheetIndex(2);
  const Sheet& s = book.sheet();
  for (std::int32_t n = 1; n <= kRows; ++n) {
    const Cell* a = s.cell(1, n);
    const Cell* b = s.cell(2, n);
    const Cell* c = s.cell(3, n);
    ASSERT_TRUE(a && b && c) << n;
    ASSERT_EQ(a->value, CellValue(double(n))) << n;
    ASSERT_EQ(b->value, CellValue(n * 1.5)) << n;
    ASSERT_EQ(c->value, CellValue("row " + std::to_string(n))) << n;
  }
}

TEST_P(WorkbookImport, TruncatedOrDamagedFilesAreRefusedAndLeaveTheGrid) {
  std::ifstream in(path(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const std::string cut = TempPath("cut");
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    std::string damaged = bytes.substr(0, random() % bytes.size());
    if (round % 2) {
      damaged = bytes;
      for (int k = 0; k < 20; ++k) damaged[random() % damaged.size()] = char(random());
    }
    std::ofstream(cut, std::ios::binary | std::ios::trunc) << damaged;
    AddressedBook book;
    book.sheet().name = "Untouched";
    const ImportStatus status = ImportWorkbook(book, cut, "");
    if (status != ImportStatus::Ok) {
      EXPECT_EQ(book.sheet().name, "Untouched");
    }
  }
}

TEST(WorkbookImportRefusal, ResultCodesAndLog) {
  const std::string text = TempPath("plain.txt"), log = TempPath("import.log");
  std::ofstream(text) << "just some text\n";
  std::filesystem::remove(log);
  AddressedBook book;
  EXPECT_EQ(ImportWorkbook(book, TempPath("missing.xls"), log), ImportStatus::CannotOpen);
  EXPECT_EQ(ImportWorkbook(book, text, log), ImportStatus::NotWorkbook);
  std::ifstream in(log);
  const std::string logged((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(logged.find("not an Excel workbook"), std::string::npos);
  EXPECT_EQ(DetectWorkbook(text), WorkbookFormat::None);
  EXPECT_EQ(DetectWorkbook(SampleWorkbook("xls")), WorkbookFormat::Xls);
  EXPECT_EQ(DetectWorkbook(SampleWorkbook("xlsx")), WorkbookFormat::Xlsx);
}

TEST(WorkbookImportXlsx, BooleansErrorsAndWidths) {
  AddressedBook book;
  ASSERT_EQ(ImportWorkbook(book, SampleWorkbook("xlsx"), ""), ImportStatus::Ok);
  book.setSheetIndex(1);
  const Sheet& s = book.sheet();
  EXPECT_EQ(s.styleAt(7, 1)->type(), CellType::CheckBox);
  EXPECT_EQ(s.cell(7, 1)->value, CellValue(1.0));
  EXPECT_EQ(s.styleAt(8, 1)->type(), CellType::StaticText);
  EXPECT_EQ(book.cellText(book.sheet(), 8, 1), "#DIV/0!");
  EXPECT_DOUBLE_EQ(s.colWidth(1), 20);
}

INSTANTIATE_TEST_SUITE_P(Formats, WorkbookImport, ::testing::Values("xls", "xlsx"));

}  // namespace
}  // namespace spread::files
