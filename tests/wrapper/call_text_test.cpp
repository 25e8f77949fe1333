// The texts the wrapper hands to the bridge, seen before any grid is involved: clipping and
// quoting, the call text of each of the 35 method calls through its typed face (numbers, 16-bit
// numbers, texts with blanks and quotes), the call texts refused for arguments that do not match,
// and the read conversions of the bridge's answers.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <ostream>

#include "tests/wrapper/grid_test.h"
#include "wrapper/read_conversion.h"
#include "wrapper/spread_wrapper.h"

namespace kestrel::wrapper::testing {
namespace {

TEST(TextUtility, ClipCutsTrailingBlanksOnly) {
  EXPECT_EQ(TextUtility::Clip("abc   "), "abc");
  EXPECT_EQ(TextUtility::Clip("  a b "), "  a b");
  EXPECT_EQ(TextUtility::Clip("    "), "");
  EXPECT_EQ(TextUtility::Clip(""), "");
  EXPECT_EQ(TextUtility::Clip("tab\t"), "tab\t");
}

TEST(TextUtility, QuotedArgumentsDoubleInnerQuotes) {
  const auto quoted = [](std::string_view t) {
    std::string out;
    TextUtility::AppendQuoted(out, t);
    return out;
  };
  EXPECT_EQ(quoted("a.xls  "), R"("a.xls")");
  EXPECT_EQ(quoted(""), R"("")");
  EXPECT_EQ(quoted(R"(say "hi")"), R"("say ""hi""")");
  EXPECT_EQ(quoted(R"(x",1),Reset(")"), R"("x"",1),Reset(""")");
  EXPECT_EQ(quoted("\""), R"("""")");
}

struct ConversionCase {
  const char* text;
  double real;
  std::int32_t whole;
  std::uint32_t unsignedWhole;
};
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ReadConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ReadConversion, TextToRealLongAndUnsigned) {
  const ConversionCase& c = GetParam();
  EXPECT_EQ(RealOf(c.text), c.real);
  EXPECT_EQ(LongOf(c.text), c.whole);
  EXPECT_EQ(ULongOf(c.text), c.unsignedWhole);
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadConversion,
                         ::testing::Values(ConversionCase{"12", 12, 12, 12}, ConversionCase{"12.75", 12.75, 12, 12},
                                           ConversionCase{"-2.5", -2.5, -2, 4294967294u}, ConversionCase{"-1", -1, -1, 0xFFFFFFFFu},
                                           ConversionCase{"-2147483643", -2147483643.0, -2147483643, 0x80000005u},
                                           ConversionCase{"4294967295", 4294967295.0, std::numeric_limits<std::int32_t>::max(), 0xFFFFFFFFu},
                                           ConversionCase{"1E+300", 1e300, std::numeric_limits<std::int32_t>::max(), 0},
                                           ConversionCase{"  7  ", 7, 7, 7}, ConversionCase{"+3", 3, 3, 3}, ConversionCase{"", 0, 0, 0},
                                           ConversionCase{"abc", 0, 0, 0}, ConversionCase{"`140000", 0, 0, 0},
                                           ConversionCase{"25abc", 25, 25, 25}));

// A wrapper that counts as attached (COLE set) on no window: the bridge records the text and
// answers nothing, so every call text can be seen without a grid.
class CallTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    spread.COLE = kSpreadField;
    spread.UseBridge(bridge);
  }
  RecordingBridge bridge;
  SpreadWrapper spread;
};

struct CallCase {
  const char* operation;
  std::function<void(SpreadWrapper&)> call;
  std::vector<std::string> sent;
};
void PrintTo(const CallCase& c, std::ostream* os) { *os << c.operation; }

class MethodCallText : public CallTextTest, public ::testing::WithParamInterface<CallCase> {};

TEST_P(MethodCallText, SendsItsCallTextInItsMode) {
  GetParam().call(spread);
  EXPECT_EQ(bridge.sent, GetParam().sent);
}

using S = SpreadWrapper;
const char* const kFile = "C:\\data\\book \"one\", two.xls   ";
#define FILE_TEXT R"("C:\data\book ""one"", two.xls")"

INSTANTIATE_TEST_SUITE_P(
    AllThirtyFive, MethodCallText,
    ::testing::Values(
        CallCase{"AddCellSpan", [](S& s) { s.AddCellSpan(1, 2, 3, 4); }, {"call AddCellSpan(1,2,3,4)"}},
        CallCase{"AddSelection", [](S& s) { s.AddSelection(1, -2, 3, 4); }, {"method AddSelection(1,-2,3,4)"}},
        CallCase{"ClearRange", [](S& s) { s.ClearRange(1, 2, 3, 4, -1); }, {"method ClearRange(1,2,3,4,-1)"}},
        CallCase{"ColLetterToNumber", [](S& s) { s.ColLetterToNumber("AB  "); }, {R"(call ColLetterToNumber("AB"))"}},
        CallCase{"ColNumberToText", [](S& s) { s.ColNumberToText(28); }, {"call ColLetterToNumber(28)"}},
        CallCase{"DeleteCols", [](S& s) { s.DeleteCols(3, 2); }, {"method DeleteCols(3,2)"}},
        CallCase{"DeleteRows", [](S& s) { s.DeleteRows(2147483647, -2147483647 - 1); }, {"method DeleteRows(2147483647,-2147483648)"}},
        CallCase{"ExportExcelBook", [](S& s) { s.ExportExcelBook(kFile, "log.txt "); }, {"call ExportExcelBook(" FILE_TEXT R"(,"log.txt"))"}},
        CallCase{"ExportExcelBookEx", [](S& s) { s.ExportExcelBookEx(kFile, "", 3); }, {"call ExportExcelBookEx(" FILE_TEXT R"(,"",3))"}},
        CallCase{"ExportRangeToHTML",
                 [](S& s) { s.ExportRangeToHTML(1, 2, 3, 4, kFile, 1, "l"); },
                 {"call ExportRangeToHTML(1,2,3,4," FILE_TEXT R"(,1,"l"))"}},
        CallCase{"ExportRangeToTextFile",
                 [](S& s) { s.ExportRangeToTextFile(1, 2, 3, 4, kFile, "", "\t", "\r\n", 5, "l"); },
                 {"call ExportRangeToTextFile(1,2,3,4," FILE_TEXT ",\"\",\"\t\",\"\r\n\",5,\"l\")"}},
        CallCase{"ExportRangeToTextFileU",
                 [](S& s) { s.ExportRangeToTextFileU(1, 2, 3, 4, kFile, "a", "b", "c", 0, ""); },
                 {"call ExportRangeToTextFileU(1,2,3,4," FILE_TEXT R"(,"a","b","c",0,""))"}},
        CallCase{"ExportRangeToXML",
                 [](S& s) { s.ExportRangeToXML(1, 2, 3, 4, kFile, "root", "row", 2, "l"); },
                 {"call ExportRangeToXML(1,2,3,4," FILE_TEXT R"(,"root","row",2,"l"))"}},
        CallCase{"ExportToExcel", [](S& s) { s.ExportToExcel("out.xls   ", "Sheet1", ""); }, {R"(call ExportToExcel("out.xls","Sheet1",""))"}},
        CallCase{"ExportToExcelEx", [](S& s) { s.ExportToExcelEx(kFile, "S", "L", 1); }, {"call ExportToExcelEx(" FILE_TEXT R"(,"S","L",1))"}},
        CallCase{"ExportToHTML", [](S& s) { s.ExportToHTML(kFile, 0, "l"); }, {"call ExportToHTML(" FILE_TEXT R"(,0,"l"))"}},
        CallCase{"ExportToTextFile",
                 [](S& s) { s.ExportToTextFile(kFile, "", ",", "|", 7, "l"); },
                 {"call ExportToTextFile(" FILE_TEXT R"(,"",",","|",7,"l"))"}},
        CallCase{"ExportToTextFileU",
                 [](S& s) { s.ExportToTextFileU(kFile, "", ",", "|", 7, "l"); },
                 {"call ExportToTextFileU(" FILE_TEXT R"(,"",",","|",7,"l"))"}},
        CallCase{"ExportToXML", [](S& s) { s.ExportToXML(kFile, "r", "c", 1, "l"); }, {"call ExportToXML(" FILE_TEXT R"(,"r","c",1,"l"))"}},
        CallCase{"ImportExcelBook", [](S& s) { s.ImportExcelBook(kFile, "err2.log"); }, {"call ImportExcelBook(" FILE_TEXT R"(,"err2.log"))"}},
        CallCase{"ImportExcelBook without a log", [](S& s) { s.ImportExcelBook("a.xls"); }, {R"(call ImportExcelBook("a.xls",""))"}},
        CallCase{"IsExcelFile", [](S& s) { s.IsExcelFile(kFile); }, {"call IsExcelFile(" FILE_TEXT ")"}},
        CallCase{"LoadFromFile",
                 [](S& s) { s.LoadFromFile(kFile); },
                 {"call LoadFromFile(" FILE_TEXT ")", "typed MaxCols 6/4:500", "typed MaxRows 6/4:500"}},
        CallCase{"LoadTabFile",
                 [](S& s) { s.LoadTabFile("t.txt"); },
                 {R"(call LoadTabFile("t.txt"))", "typed MaxCols 6/4:500", "typed MaxRows 6/4:500"}},
        CallCase{"LoadTextFile",
                 [](S& s) { s.LoadTextFile(kFile, "", "\t", "\n", 0, "l"); },
                 {"call LoadTextFile(" FILE_TEXT ",\"\",\"\t\",\"\n\",0,\"l\")", "typed MaxCols 6/4:500", "typed MaxRows 6/4:500"}},
        CallCase{"PrintSheet", [](S& s) { s.PrintSheet(0); }, {"method PrintSheet(0)"}},
        CallCase{"Refresh", [](S& s) { s.Refresh(); }, {"method Refresh()"}}, CallCase{"Reset", [](S& s) { s.Reset(); }, {"method Reset()"}},
        CallCase{"SaveTabFile", [](S& s) { s.SaveTabFile(kFile); }, {"call SaveTabFile(" FILE_TEXT ")"}},
        CallCase{"SaveTabFileU", [](S& s) { s.SaveTabFileU(kFile); }, {"call SaveTabFileU(" FILE_TEXT ")"}},
        CallCase{"SaveToFile", [](S& s) { s.SaveToFile(kFile, 1); }, {"call SaveToFile(" FILE_TEXT ",1)"}},
        CallCase{"SearchCol", [](S& s) { s.SearchCol(2, 1, 13, "Item \"1\" ", 0); }, {R"(call SearchCol(2,1,13,"Item ""1""",0))"}},
        CallCase{"SearchRow", [](S& s) { s.SearchRow(1, -1, -1, "", 2); }, {R"(call SearchRow(1,-1,-1,"",2))"}},
        CallCase{"SetActiveCell", [](S& s) { s.SetActiveCell(3, 7); }, {"method SetActiveCell(3,7)"}},
        CallCase{"SetSelection", [](S& s) { s.SetSelection(1, 1, 2, 13); }, {"method SetSelection(1,1,2,13)"}},
        CallCase{"ShowCell", [](S& s) { s.ShowCell(2, 11, 0); }, {"method ShowCell(2,11,0)"}}));

TEST_F(CallTextTest, SixteenBitArgumentsKeepTheirLowBits) {
  spread.call(MethodId::ClearRange, {1, 2, 3, 4, 65537});
  spread.call(MethodId::ExportToExcelEx, {"a", "b", "c", -65535});
  EXPECT_EQ(bridge.sent, (std::vector<std::string>{"method ClearRange(1,2,3,4,1)", R"(call ExportToExcelEx("a","b","c",1))"}));
}

TEST_F(CallTextTest, ArgumentsThatDoNotMatchTheTableSendNothing) {
  EXPECT_EQ(spread.call(MethodId::SearchCol, {1, 2, 3, 4, 5}).number, -1);  // a number where the text belongs
  EXPECT_EQ(spread.call(MethodId::SetActiveCell, {3}).number, 0);           // one argument short
  EXPECT_EQ(spread.call(MethodId::IsExcelFile, {"a", "b"}).number, 0);      // one too many
  EXPECT_TRUE(bridge.sent.empty());
}

TEST_F(CallTextTest, GuardedCallsSendNothingBeforeInitAndAnswerTheirDefault) {
  spread.COLE = 0;
  EXPECT_EQ(spread.AddCellSpan(1, 1, 2, 2), 0);
  EXPECT_EQ(spread.ColLetterToNumber("A"), 0);
  EXPECT_EQ(spread.ColNumberToText(1), "");
  EXPECT_EQ(spread.SearchCol(1, 1, 2, "x", 0), -1);
  EXPECT_EQ(spread.SearchRow(1, 1, 2, "x", 0), -1);
  spread.AddSelection(1, 1, 2, 2), spread.ClearRange(1, 1, 2, 2, 0), spread.DeleteCols(1, 1), spread.DeleteRows(1, 1);
  spread.Refresh(), spread.Reset(), spread.SetActiveCell(3, 7), spread.SetSelection(1, 1, 2, 2), spread.ShowCell(1, 1, 0);
  EXPECT_TRUE(bridge.sent.empty());
  // The file calls have no guard: they reach the bridge, which has no window to send them to.
  EXPECT_EQ(spread.IsExcelFile("a.xls"), 0);
  spread.PrintSheet(0);
  EXPECT_EQ(spread.LoadTabFile("t.txt"), 0);
  EXPECT_EQ(bridge.sent, (std::vector<std::string>{R"(call IsExcelFile("a.xls"))", "method PrintSheet(0)", R"(call LoadTabFile("t.txt"))"}));
}

TEST_F(CallTextTest, TextAccessorWritesCutTrailingBlanksAndIndexedTextsCarryTheIndex) {
  spread.Text("Type in me   ");
  spread.FontName("   ");
  spread.ColWidth(2, 12.0);
  spread.RowHeight(-1);
  spread.TypeHAlign(std::int16_t(2));
  spread.TypeHAlign();
  EXPECT_EQ(bridge.sent, (std::vector<std::string>{"put Text = Type in me", "put FontName = ", "typed ColWidth(2) 9/8:12.000000",
                                                   "call RowHeight(-1)", "typed TypeHAlign 2/2:2", "call TypehAlign"}));
}

}  // namespace
}  // namespace kestrel::wrapper::testing
