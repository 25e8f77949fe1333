// The method calls as the grid receives them, in its call log: a performed call, guarded calls
// before Init, a file name holding a double quote and a comma arriving whole as one argument, and
// the file calls the grid does not carry out yet (exports, imports, loads, saves), seen through a
// stand-in that passes everything else on to a real grid and logs those calls as the grid would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/window/control_access.h"
#include "runtime/window/property_names.h"
#include "tests/grid/file_member_stand_in.h"
#include "tests/grid/grid_test.h"

namespace kestrel::grid::testing {
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
    ASSERT_EQ(platform::RegisterComponentClass({kStandInClsid, kStandInProgId, "Grid stand-in", "Apartment", false, &factory_}, &cookie_),
              platform::S_OK);
    attach();
    ASSERT_EQ(win::PropertyPut(w, kSpreadField, 0, win::Selector{std::uint32_t(win::prop::Create)}, kStandInProgId), win::PropertyStatus::Ok);
    forget();
  }
  void TearDown() override {
    GridTest::TearDown();
    platform::CoRevokeClassObject(cookie_);
  }
  StandInFactory factory_;
  platform::DWORD cookie_ = 0;
};

TEST_F(FileCallTest, ExportToExcelCutsTrailingBlanksAndSendsAnEmptyThirdText) {
  EXPECT_EQ(spread.ExportToExcel("out.xls   ", "Sheet1", ""), 1);
  EXPECT_EQ(received(), (Lines{R"(call ExportToExcel(BSTR:"out.xls",BSTR:"Sheet1",BSTR:"") -> I2:1)"}));
}

TEST_F(FileCallTest, ImportExcelBookWithoutALogSendsAnEmptySecondText) {
  EXPECT_EQ(spread.ImportExcelBook("book.xls"), 1);
  EXPECT_EQ(spread.ImportExcelBook("book.xls", "err2.log"), 1);
  EXPECT_EQ(received(), (Lines{R"(call ImportExcelBook(BSTR:"book.xls",BSTR:"") -> I4:1)",
                               R"(call ImportExcelBook(BSTR:"book.xls",BSTR:"err2.log") -> I4:1)"}));
}

TEST_F(FileCallTest, LoadsAreFollowedByFiveHundredColumnsAndRows) {
  EXPECT_EQ(spread.LoadTabFile("sheet.txt"), 1);
  EXPECT_EQ(spread.MaxCols(), 500);
  EXPECT_EQ(spread.MaxRows(), 500);
  const Lines after{"put MaxCols = I4:500", "put MaxRows = I4:500"};
  Lines want{R"(call LoadTabFile(BSTR:"sheet.txt") -> I2:1)", after[0], after[1], "get MaxCols -> I4:500", "get MaxRows -> I4:500"};
  EXPECT_EQ(received(), want);
  log_.mark();
  spread.LoadFromFile("a.ss8");
  spread.LoadTextFile("a.txt", "", ",", "|", 0, "load.log");
  EXPECT_EQ(received(),
            (Lines{R"(call LoadFromFile(BSTR:"a.ss8") -> I2:1)", after[0], after[1],
                   R"(call LoadTextFile(BSTR:"a.txt",BSTR:"",BSTR:",",BSTR:"|",I4:0,BSTR:"load.log") -> I2:1)", after[0], after[1]}));
}

TEST_F(FileCallTest, AQuoteInAFileNameCannotStartAnotherCall) {
  const std::string name = R"(x"),Reset(",1.txt)";
  EXPECT_EQ(spread.SaveTabFile(name), 1);
  EXPECT_EQ(spread.SaveToFile(name, 0), 1);
  EXPECT_EQ(received(), (Lines{"call SaveTabFile(" + logged(name) + ") -> I2:1", "call SaveToFile(" + logged(name) + ",I4:0) -> I2:1"}));
}

}  // namespace
}  // namespace kestrel::grid::testing
