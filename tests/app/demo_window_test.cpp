// The demo window on the headless backend, as the grid sees it: the sample sheet's writes in their
// order with the types the wrapper sends, and what each menu item and the Close button send (or
// do not send), read from the grid's call log.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/app_module.h"
#include "app/program_errors.h"
#include "app/sample_sheet.h"
#include "framework/ini/ini_store.h"
#include "framework/window/framework_codes.h"
#include "tests/app/demo_test.h"
#include "tests/support/sample_sheet.h"

namespace kestrel::testing {
namespace {

// A line ending in '*' matches any line that begins with the rest.
bool matches(const std::string& expected, const std::string& seen) {
  if (!expected.empty() && expected.back() == '*') return seen.rfind(expected.substr(0, expected.size() - 1), 0) == 0;
  return expected == seen;
}

// The value part of a line ("R8:11.5" of "get X -> R8:11.5").
std::string valueOf(const std::string& line) { return line.substr(line.rfind(' ') + 1); }

class DemoWindowTest : public DemoTest {
 protected:
  // The lines after the fill, with the grid's repaints left out.
  std::vector<std::string> afterFill() {
    std::vector<std::string> all = withoutRefresh(received());
    const auto end = std::ranges::find(all, std::string("put ScrollBars = I4:0"));
    return end == all.end() ? all : std::vector<std::string>(end + 1, all.end());
  }
};

TEST_F(DemoWindowTest, SetupFillsTheSampleSheetInOrderWithTheWrappersTypes) {
  runDemo("menu File > Exit\n");
  // Every line of the fill, in order: the sample sheet's table is what the program sends.
  static_assert(sample_sheet::kPictureName == kSamplePicture);
  const std::vector<std::string> expected = sample_sheet::CallLogLines();
  const std::vector<std::string> seen = withoutRefresh(received());
  ASSERT_GE(seen.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(matches(expected[i], seen[i])) << "line " << i + 1 << ": " << seen[i];
  // Row 11 takes the height the grid measured for it.
  const auto measured = std::ranges::find_if(seen, [](const std::string& l) { return l.rfind("get MaxTextRowHeight", 0) == 0; });
  ASSERT_NE(measured, seen.end());
  EXPECT_EQ(valueOf(*(measured + 1)), valueOf(*measured));
  EXPECT_TRUE(boxes.empty());
}

struct MenuCase {
  const char* name;
  const char* script;  // %XLS% and %JPG% stand for the sample workbook and picture
  std::vector<std::string> sent;
  std::string box;  // the message box's text, when one is shown
};
void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

std::string expand(std::string text) {
  for (const auto& [token, file] : {std::pair{"%XLS%", "sample.xls"}, std::pair{"%JPG%", "cover.jpg"}}) {
    for (auto at = text.find(token); at != std::string::npos; at = text.find(token)) text.replace(at, 5, dataFile(file).string());
  }
  return text;
}

// What every Load Excel Book ends with, a file loaded or not. The import's result is the grid's
// own, so its line is matched up to the arrow.
const std::vector<std::string> kAfterLoad = {"put VisibleCols = I4:8", "put VisibleRows = I4:25", "put AutoSize = I4:1"};
const std::vector<std::string> kPrint = {"put PrintType = I2:0",
                                         "put PrintAbortMsg = BSTR:\"Printing - Click Cancel to quit\"",
                                         "put PrintJobName = BSTR:\"Ostrevane Spread Control DEMO\"",
                                         "put PrintHeader = BSTR:\"/fb1H E A D E R/fb0\"",
                                         "put PrintFooter = BSTR:\"/fb1F O O T E R/fb0\"",
                                         "call PrintSheet(I4:0) -> EMPTY"};

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class DemoMenuTest : public DemoWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(DemoMenuTest, SendsExactlyWhatTheItemCallsFor) {
  const MenuCase& c = GetParam();
  runDemo(expand(c.script) + "menu File > Exit\n");
  const std::vector<std::string> seen = afterFill();
  ASSERT_EQ(seen.size(), c.sent.size()) << ::testing::PrintToString(seen);
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_TRUE(matches(c.sent[i], seen[i])) << seen[i];
  if (c.box.empty()) {
    EXPECT_TRUE(boxes.empty());
  } else {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, expand(c.box));
    EXPECT_EQ(boxes[0].caption, "");
  }
}

INSTANTIATE_TEST_SUITE_P(Items, DemoMenuTest,
                         ::testing::Values(MenuCase{"LoadAWorkbook", "answer file %XLS%\nmenu File > Load Excel Book\n",
                                                    concat({{expand("call IsExcelFile(BSTR:\"%XLS%\") -> I2:-1"),
                                                             expand("call ImportExcelBook(BSTR:\"%XLS%\",BSTR:\"err2.log\") -> *")},
                                                            kAfterLoad}),
                                                    ""},
                                           MenuCase{"LoadCancelled", "answer file cancel\nmenu File > Load Excel Book\n", kAfterLoad, ""},
                                           MenuCase{"LoadRefused", "answer file %JPG%\nanswer message OK\nmenu File > Load Excel Book\n",
                                                    concat({{expand("call IsExcelFile(BSTR:\"%JPG%\") -> I2:0")}, kAfterLoad}),
                                                    "Unable to open %JPG% file!"},
                                           MenuCase{"PrintTwice", "menu File > Print...\nmenu File > Print...\n", concat({kPrint, kPrint}), ""},
                                           MenuCase{"SaveAndExportSendNothing", "menu File > Save\nmenu File > Export\n", {}, ""},
                                           MenuCase{"Clear", "menu Edit > Clear\n", {"call Reset() -> EMPTY"}, ""},
                                           MenuCase{"InsertImageCancelled", "answer file cancel\nmenu Tools > Insert Image\n", {}, ""}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(DemoWindowTest, InsertImageGoesToTheActiveCellNotToRowEleven) {
  runDemo(expand("answer file %JPG%\nmenu Tools > Insert Image\n"), [](DemoProcedureState& s) { s.Spread.SetActiveCell(2, 4); });
  const std::vector<std::string> seen = from(afterFill(), "get ActiveRow");
  const std::vector<std::string> expected = {"get ActiveRow -> I4:4",
                                             "put Row = I4:4",
                                             "get ActiveCol -> I4:2",
                                             "put Col = I4:2",
                                             "put CellType = I2:9",
                                             expand("call LoadPicture(BSTR:\"%JPG%\",I4:0) -> DISPATCH:object"),
                                             "put TypePictPicture = DISPATCH:object"};
  EXPECT_EQ(seen, expected);
}

// A chosen file whose name is longer than the file name field is sent whole, never cut to a name
// of another file.
TEST_F(DemoWindowTest, ALongFileNameReachesTheGridWhole) {
  auto deep = workDir_;
  for (int i = 0; i < 6; ++i) deep /= "a-folder-with-a-rather-long-name-" + std::to_string(i);
  std::filesystem::create_directories(deep);
  const auto book = deep / "sample.xls", picture = deep / "cover.jpg";
  std::filesystem::copy_file(dataFile("sample.xls"), book);
  std::filesystem::copy_file(dataFile("cover.jpg"), picture);
  ASSERT_GT(book.string().size(), DemoProcedureState::kExcelFileNameSize);
  runDemo("answer file " + book.string() + "\nmenu File > Load Excel Book\nanswer file " + picture.string() + "\nmenu Tools > Insert Image\n");
  const std::vector<std::string> seen = afterFill();
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0], "call IsExcelFile(BSTR:\"" + book.string() + "\") -> I2:-1");
  EXPECT_TRUE(matches("call ImportExcelBook(BSTR:\"" + book.string() + "\",BSTR:\"err2.log\") -> *", seen[1])) << seen[1];
  EXPECT_NE(std::ranges::find(seen, "call LoadPicture(BSTR:\"" + picture.string() + "\",I4:0) -> DISPATCH:object"), seen.end())
      << ::testing::PrintToString(seen);
}

struct CloseCase {
  const char* name;
  const char* script;
};
void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }

class DemoCloseTest : public DemoWindowTest, public ::testing::WithParamInterface<CloseCase> {};

// Both ways out end the window, release the grid first and keep its place in section "Main".
TEST_P(DemoCloseTest, ClosesTheWindowAndSavesItsPlace) {
  const std::string outside = programErrors().CurrentProcedure();
  std::string during;
  runDemo(GetParam().script, [&](DemoProcedureState&) { during = programErrors().CurrentProcedure(); });
  EXPECT_EQ(during, "Main");
  EXPECT_EQ(threadGlobals().GlobalRequest, 0);
  std::ifstream ini(profile_.path() / "Kestrel24.INI");
  std::stringstream text;
  text << ini.rdbuf();
  EXPECT_NE(text.str().find("[Main]"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("Width="), std::string::npos) << text.str();
  EXPECT_EQ(programErrors().CurrentProcedure(), outside) << "Teardown left the procedure";
}

INSTANTIATE_TEST_SUITE_P(Ways, DemoCloseTest,
                         ::testing::Values(CloseCase{"ExitItem", "menu File > Exit\n"}, CloseCase{"CloseButton", "press Close\n"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(DemoWindowTest, TheNextRunOpensWhereTheLastOneClosed) {
  runDemo("move 140 80\nresize 700 520\nmenu File > Exit\n");
  tamsil::framework::WindowRecord first;
  programIniStore().LoadWindowRecord("Main", first);
  ASSERT_EQ(first.GOT, 1);
  runDemo("menu File > Exit\n");
  tamsil::framework::WindowRecord second;
  programIniStore().LoadWindowRecord("Main", second);
  EXPECT_EQ(std::tie(second.X, second.Y, second.W, second.H), std::tie(first.X, first.Y, first.W, first.H));
}

}  // namespace
}  // namespace kestrel::testing
