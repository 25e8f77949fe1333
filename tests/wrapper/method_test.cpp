// The method calls as the grid receives them, in its call log: a performed call, guarded calls
// before Init, a file name holding a double quote and a comma arriving whole as one argument, and
// the file calls (exports, imports, loads, saves) on real files in a folder of the test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/window/control_access.h"
#include "runtime/window/property_names.h"
#include "tests/wrapper/grid_test.h"

namespace kestrel::wrapper::testing {
namespace {

namespace win = tamsil::window;
using Lines = std::vector<std::string>;

// The text as the call log writes a BSTR.
std::string logged(const std::string& text) {
  std::string quoted;
  TextUtility::AppendQuoted(quoted, text);
  return "BSTR:" + quoted;
}

TEST_F(GridTest, SetActiveCellSendsBothNumbers) {
  attach();
  spread.MaxCols(4), spread.MaxRows(13);
  log_.mark();
  spread.SetActiveCell(3, 7);
  EXPECT_EQ(spread.ActiveCol(), 3);
  EXPECT_EQ(spread.ActiveRow(), 7);
  // Moving the active cell raises the grid's LeaveCell event before the call returns.
  EXPECT_EQ(received(), (Lines{"event LeaveCell(I4:1,I4:1,I4:3,I4:7,BYREF|BOOL:0)", "call SetActiveCell(I4:3,I4:7) -> EMPTY",
                               "get ActiveCol -> I4:3", "get ActiveRow -> I4:7"}));
}

TEST_F(GridTest, RefreshAndResetBeforeInitSendNothing) {
  spread.Refresh();
  spread.Reset();
  EXPECT_TRUE(bridge_.sent.empty());
  attach();
  spread.Refresh();
  spread.Reset();
  EXPECT_EQ(received(), (Lines{"call Refresh() -> EMPTY", "call Reset() -> EMPTY"}));
}

TEST_F(GridTest, ColumnLettersAndTheirNumbers) {
  attach();
  EXPECT_EQ(spread.ColLetterToNumber("AB  "), 28);
  spread.ColNumberToText(28);
  const Lines got = received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], R"(call ColLetterToNumber(BSTR:"AB") -> I4:28)");
  EXPECT_TRUE(got[1].starts_with("call ColLetterToNumber(I4:28)")) << got[1];
}

TEST_F(GridTest, AFileNameWithAQuoteAndACommaArrivesAsOneArgument) {
  const std::string file = (profile_.path() / R"(we"ird, name.xls)").string();
  std::ofstream(file, std::ios::binary) << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 rest of a workbook";
  attach();
  EXPECT_EQ(spread.IsExcelFile(file + "  "), -1) << "the grid opened the file by its whole name";
  EXPECT_EQ(received(), (Lines{"call IsExcelFile(" + logged(file) + ") -> I2:-1"}));
}

class FileCallTest : public GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    attach();
  }
  // A file of the test's own folder, as the wrapper is given it and as the grid logs it. The
  // grid's file methods answer True (-1) when the file was written or read whole.
  std::string file(const std::string& name) const { return (profile_.path() / name).string(); }
};

TEST_F(FileCallTest, ExportToExcelCutsTrailingBlanksAndSendsAnEmptyThirdText) {
  spread.Col(1), spread.Row(1), spread.Text("x");
  log_.mark();
  const std::string out = file("out.xlsx");
  EXPECT_EQ(spread.ExportToExcel(out + "   ", "Sheet1", ""), -1);
  EXPECT_EQ(received(), (Lines{"call ExportToExcel(" + logged(out) + R"(,BSTR:"Sheet1",BSTR:"") -> I2:-1)"}));
  EXPECT_TRUE(std::filesystem::exists(out));
}

TEST_F(FileCallTest, ImportExcelBookWithoutALogSendsAnEmptySecondText) {
  const std::string book = file("book.xlsx");
  spread.Col(1), spread.Row(1), spread.Text("x");
  ASSERT_EQ(spread.ExportToExcel(book, "Sheet1", ""), -1);
  log_.mark();
  const std::string errors = file("err2.log");
  EXPECT_EQ(spread.ImportExcelBook(book), 1);
  EXPECT_EQ(spread.ImportExcelBook(book, errors), 1);
  EXPECT_EQ(received(), (Lines{"call ImportExcelBook(" + logged(book) + R"(,BSTR:"") -> I4:1)",
                               "call ImportExcelBook(" + logged(book) + "," + logged(errors) + ") -> I4:1"}));
}

TEST_F(FileCallTest, LoadsAreFollowedByFiveHundredColumnsAndRows) {
  const std::string tab = file("sheet.txt"), text = file("a.txt"), own = file("a.ss8"), log = file("load.log");
  std::ofstream(tab) << "a\tb\nc\td\n";
  std::ofstream(text) << "a,b\nc,d\n";
  spread.Col(1), spread.Row(1), spread.Text("x");
  ASSERT_EQ(spread.SaveToFile(own, 0), -1);
  log_.mark();
  EXPECT_EQ(spread.LoadTabFile(tab), -1);
  EXPECT_EQ(spread.MaxCols(), 500);
  EXPECT_EQ(spread.MaxRows(), 500);
  const Lines after{"put MaxCols = I4:500", "put MaxRows = I4:500"};
  Lines want{"call LoadTabFile(" + logged(tab) + ") -> I2:-1", after[0], after[1], "get MaxCols -> I4:500", "get MaxRows -> I4:500"};
  EXPECT_EQ(received(), want);
  log_.mark();
  spread.LoadFromFile(own);
  spread.LoadTextFile(text, "", ",", "|", 0, log);
  EXPECT_EQ(received(), (Lines{"call LoadFromFile(" + logged(own) + ") -> I2:-1", after[0], after[1],
                               "call LoadTextFile(" + logged(text) + R"(,BSTR:"",BSTR:",",BSTR:"|",I4:0,)" + logged(log) + ") -> I2:-1",
                               after[0], after[1]}));
}

TEST_F(FileCallTest, AQuoteInAFileNameCannotStartAnotherCall) {
  const std::string name = file(R"(x"),Reset(",1.txt)");
  spread.Col(1), spread.Row(1), spread.Text("kept");
  log_.mark();
  EXPECT_EQ(spread.SaveTabFile(name), -1);
  EXPECT_EQ(spread.SaveToFile(name, 0), -1);
  EXPECT_EQ(received(), (Lines{"call SaveTabFile(" + logged(name) + ") -> I2:-1", "call SaveToFile(" + logged(name) + ",I4:0) -> I2:-1"}));
  EXPECT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(spread.Text(), "kept") << "no Reset reached the grid";
}

}  // namespace
}  // namespace kestrel::wrapper::testing
