// The wrapper on the demo window's grid, seen in the grid's call log (the texts, types and order
// the grid received) and in what the wrapper handed to the bridge: Init and Kill, the grid
// missing, accessors before Init, typed writes and reads of every value type, text writes, the
// Stop box before a CharValue write, every accessor of the table reaching the grid, and
// NewCellPicture with its checked COM steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/com/com.h"
#include "platform/com/hresult.h"
#include "platform/com/ole.h"
#include "runtime/ole/object_references.h"
#include "runtime/window/properties.h"
#include "runtime/window/property_names.h"
#include "tests/wrapper/accessor_calls.h"
#include "tests/wrapper/grid_test.h"

namespace kestrel::wrapper::testing {
namespace {

namespace win = tamsil::window;
using Lines = std::vector<std::string>;

TEST_F(GridTest, InitCreatesTheGridAndMakesItsCompanions) {
  spread.Init(w, kSpreadField);
  ASSERT_EQ(bridge_.sent.size(), 2u);
  EXPECT_EQ(bridge_.sent[0], "put Create = OVSpreadADO.ovSpread.6");
  EXPECT_EQ(bridge_.sent[1], "call Object");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(spread.W, &w);
  EXPECT_EQ(spread.COLE, kSpreadField);
  ASSERT_TRUE(spread.STRCL);
  ASSERT_TRUE(spread.STDCOMCL);
  EXPECT_TRUE(spread.STDCOMCL->DEBUG);
  EXPECT_EQ(win::PropertyCall(w, kSpreadField, 0, win::Selector{std::uint32_t(win::prop::ProgID)}).text, "OVSpreadADO.ovSpread.6");
  // The object read to test the creation is not kept in the bridge's table.
  EXPECT_EQ(tamsil::ole::liveReferenceCount(), 0u);
}

TEST_F(GridTest, KillHandsTheObjectTextBackThroughReleaseBeforeDeactivate) {
  attach();
  const int openAttached = platform::CoInitializeCount();
  spread.Kill();
  ASSERT_EQ(bridge_.sent.size(), 3u);
  EXPECT_EQ(bridge_.sent[0], "call Object");
  ASSERT_TRUE(bridge_.sent[1].starts_with("typed Release 19/64:`")) << bridge_.sent[1];
  EXPECT_GT(bridge_.sent[1].size(), std::string("typed Release 19/64:`").size());
  EXPECT_EQ(bridge_.sent[2], "method Deactivate");
  // The reference Object handed out came back: the bridge's table holds nothing of the grid.
  EXPECT_EQ(tamsil::ole::liveReferenceCount(), 0u);
  EXPECT_FALSE(spread.STRCL);
  EXPECT_TRUE(spread.STDCOMCL);
  EXPECT_EQ(spread.COLE, kSpreadField);
  // Init's opening is closed; the checker's stays until the wrapper goes.
  EXPECT_EQ(platform::CoInitializeCount(), openAttached - 1);
  bridge_.sent.clear();
  spread.Kill();
  EXPECT_TRUE(bridge_.sent.empty()) << "a second Kill sends nothing";
  EXPECT_EQ(platform::CoInitializeCount(), openAttached - 1);
}

TEST_F(GridTest, KillWithoutInitDoesNothing) {
  const int openBefore = platform::CoInitializeCount();
  spread.Kill();
  EXPECT_TRUE(bridge_.sent.empty());
  EXPECT_TRUE(received().empty());
  EXPECT_EQ(platform::CoInitializeCount(), openBefore);
}

class MissingGridTest : public GridTest {
 protected:
  void SetUp() override {
    registerGrid_ = false;
    GridTest::SetUp();
  }
};

TEST_F(MissingGridTest, InitSaysSoOnceAndTheWindowStaysUsable) {
  spread.Init(w, kSpreadField);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "OstrevaneSpread control not found! Check your OstrevaneSpread installation");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].buttons, win::BtnOk);
  EXPECT_EQ(spread.COLE, kSpreadField);
  EXPECT_FALSE(spread.STRCL);
  EXPECT_FALSE(spread.STDCOMCL);
  // Accessors and calls still go to the bridge, which has no object to give them to.
  EXPECT_EQ(spread.MaxRows(), 0);
  spread.SetActiveCell(3, 7);
  spread.NewCellPicture("cover.jpg");
  EXPECT_TRUE(received().empty());
  // The window is still there and answers.
  ASSERT_EQ(win::SetProperty(w, 0, win::prop::Text, "Still here"), win::PropertyStatus::Ok);
  EXPECT_EQ(win::GetProperty(w, 0, win::prop::Text).text, "Still here");
  spread.Kill();
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(GridTest, BeforeInitAccessorsAnswerTheirDefaultsAndSendNothing) {
  EXPECT_EQ(spread.BackColor(), -1);
  EXPECT_EQ(spread.FontName(), "");
  EXPECT_EQ(spread.Formula(), "");
  EXPECT_EQ(spread.CellNote(), "-1");
  EXPECT_EQ(spread.Col(), 0);
  EXPECT_EQ(spread.TypeHAlign(), -1);
  EXPECT_EQ(spread.ColWidth(2), 0.0);
  EXPECT_EQ(spread.Text(), "0");
  EXPECT_EQ(spread.CharValue(), "0");
  EXPECT_EQ(spread.GridColor(), 0u);
  spread.ColWidth(2, 12.0);
  spread.Text("x");
  spread.CharValue("x");
  spread.NewCellPicture("cover.jpg");
  EXPECT_TRUE(bridge_.sent.empty());
  EXPECT_EQ(stops, 0);
  // The four without the test go to the bridge anyway.
  EXPECT_EQ(spread.VisibleRows(), 0);
  spread.VisibleCols(2);
  EXPECT_EQ(spread.UserColAction(), 0);
  EXPECT_EQ(spread.Value(), "");
  EXPECT_EQ(bridge_.sent, (Lines{"call VisibleRows", "typed VisibleCols 6/4:2", "call UserColAction", "call Value"}));
  EXPECT_TRUE(received().empty());
}

TEST_F(GridTest, EveryTestedAccessorSendsNothingBeforeInit) {
  for (std::size_t i = 0; i < Accessors().size(); ++i) {
    const Accessor& a = Accessors()[i];
    if (a.attachment == Attachment::Untested) continue;
    const std::string answer = kAccessorCalls[i].read(spread);
    const char* want = a.fallback == Default::MinusOne ? "-1" : a.fallback == Default::Empty ? "" : "0";
    EXPECT_EQ(answer, want) << a.name;
    if (kAccessorCalls[i].write) kAccessorCalls[i].write(spread);
  }
  EXPECT_TRUE(bridge_.sent.empty());
  EXPECT_EQ(stops, 0);
}

TEST_F(GridTest, ColWidthIsWrittenAsARealAndReadBackAsOne) {
  attach();
  spread.ColWidth(2, 12.0);
  EXPECT_EQ(spread.ColWidth(2), 12.0);
  spread.ColWidth(2, 25.5);
  EXPECT_EQ(spread.ColWidth(2), 25.5);
  EXPECT_EQ(received(), (Lines{"put ColWidth(I4:2) = R8:12", "get ColWidth(I4:2) -> R8:12", "put ColWidth(I4:2) = R8:25.5",
                               "get ColWidth(I4:2) -> R8:25.5"}));
}

TEST_F(GridTest, EachScalarTypeTravelsWithItsTypeAndReadsBack) {
  attach();
  spread.MaxCols(4);
  spread.MaxRows(13);
  spread.Col(2), spread.Row(3);
  spread.BlockMode(1);
  spread.CellType(std::int16_t(13));
  spread.GridColor(0x80000005u);
  spread.TypeNumberMax(9999.25);
  spread.MaxTextColWidth(7);
  EXPECT_EQ(spread.MaxRows(), 13);
  EXPECT_EQ(spread.CellType(), 13);
  EXPECT_EQ(spread.GridColor(), 0x80000005u);
  EXPECT_EQ(spread.TypeNumberMax(), 9999.25);
  EXPECT_EQ(spread.BlockMode(), 255) << "a true flag comes back as -1, of which a byte keeps the low bits";
  const Lines got = received();
  ASSERT_GE(got.size(), 8u);
  EXPECT_EQ(Lines(got.begin(), got.begin() + 8),
            (Lines{"put MaxCols = I4:4", "put MaxRows = I4:13", "put Col = I4:2", "put Row = I4:3", "put BlockMode = UI1:1",
                   "put CellType = I2:13", "put GridColor = UI4:2147483653", "put TypeNumberMax = R8:9999.25"}));
  // MaxTextColWidth goes as a long; the grid takes it as read-only and refuses the write, so it
  // is seen only where the wrapper hands it over. Its read is a real.
  EXPECT_NE(std::find(bridge_.sent.begin(), bridge_.sent.end(), "typed MaxTextColWidth 6/4:7"), bridge_.sent.end());
  log_.mark();
  spread.MaxTextColWidth();
  ASSERT_EQ(received().size(), 1u);
  EXPECT_TRUE(received()[0].starts_with("get MaxTextColWidth -> R8:")) << received()[0];
}

TEST_F(GridTest, TextWritesLoseTrailingBlanksAndTypeHAlignIsReadAsTypehAlign) {
  attach();
  spread.Col(2), spread.Row(2);
  spread.Text("Type in me   ");
  EXPECT_EQ(spread.Text(), "Type in me");
  spread.CellNote(R"(say "hi"  )");
  EXPECT_EQ(spread.CellNote(), R"(say "hi")");
  spread.TypeHAlign(std::int16_t(2));
  EXPECT_EQ(spread.TypeHAlign(), 2);
  EXPECT_EQ(received(), (Lines{"put Col = I4:2", "put Row = I4:2", R"(put Text = BSTR:"Type in me")", R"(get Text -> BSTR:"Type in me")",
                               R"(put CellNote = BSTR:"say ""hi""")", R"(get CellNote -> BSTR:"say ""hi""")", "put TypeHAlign = I2:2",
                               "get TypeHAlign -> I2:2"}));
  EXPECT_EQ(bridge_.sent.back(), "call TypehAlign");
}

TEST_F(GridTest, CharValueShowsTheValueInTheStopBoxThenWritesItAsATypedText) {
  attach();
  spread.Col(1), spread.Row(1);
  spread.CharValue("Hello  ");
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(bridge_.sent.back(), "typed Value 19/512:Hello  ");
  EXPECT_EQ(spread.CharValue(), "Hello  ");
  EXPECT_EQ(spread.CellString(), "Hello  ");
  const Lines got = received();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[2], R"(put Value = BSTR:"Hello  ")");
}

TEST_F(GridTest, EveryAccessorReachesTheGridUnderItsPropertyText) {
  attach();
  for (std::size_t i = 0; i < Accessors().size(); ++i) {
    const Accessor& a = Accessors()[i];
    log_.mark();
    kAccessorCalls[i].read(spread);
    const Lines got = received();
    // The grid names the member as it spells it; TypehAlign arrives as TypeHAlign.
    const std::string head = "get " + std::string(a.property) + (a.indexed() ? "(I4:2)" : "") + " -> ";
    ASSERT_EQ(got.size(), 1u) << a.name;
    EXPECT_TRUE(got[0].starts_with(head)) << a.name << ": " << got[0];
  }
}

TEST_F(GridTest, NewCellPictureWritesTheLoadedPictureIntoTheCell) {
  const std::filesystem::path file = profile_.path() / "cover \"big\", small.jpg";
  std::ofstream(file, std::ios::binary) << "\xFF\xD8\xFF\xE0 picture bytes";
  attach();
  spread.Col(2), spread.Row(11);
  log_.mark();
  spread.NewCellPicture(file.string() + "   ");
  std::string quoted;
  TextUtility::AppendQuoted(quoted, file.string());
  const std::string logged = "BSTR:\"" + quoted.substr(1, quoted.size() - 2) + "\"";
  EXPECT_EQ(received(), (Lines{"put CellType = I2:9", "call LoadPicture(" + logged + ",I4:0) -> DISPATCH:object",
                               "put TypePictPicture = DISPATCH:object"}));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(spread.STDCOMCL->LASTHR, platform::S_OK);
  // Nothing the wrapper took is left in the bridge's table.
  EXPECT_EQ(tamsil::ole::liveReferenceCount(), 0u);
  log_.mark();
  spread.NewCellPicture(file.string(), 3);
  EXPECT_EQ(received()[1], "call LoadPicture(" + logged + ",I4:3) -> DISPATCH:object");
}

TEST_F(GridTest, NewCellPictureWithABlankNameSendsNothing) {
  attach();
  spread.NewCellPicture("");
  spread.NewCellPicture("    ");
  EXPECT_TRUE(bridge_.sent.empty());
  EXPECT_TRUE(received().empty());
}

TEST_F(GridTest, NewCellPictureStopsQuietlyWhenTheFileGivesNoPicture) {
  attach();
  spread.NewCellPicture((profile_.path() / "missing.jpg").string());
  const Lines got = received();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], "put CellType = I2:9");
  EXPECT_TRUE(got[1].ends_with("-> DISPATCH:nothing")) << got[1];
  EXPECT_TRUE(boxes.empty());
}

TEST_F(GridTest, NewCellPictureShowsAFailedPutUnderItsLabel) {
  const std::filesystem::path file = profile_.path() / "p.bmp";
  std::ofstream(file, std::ios::binary) << "BM picture";
  attach();
  spread.MaxCols(2);
  spread.Col(5);  // outside the sheet: the grid refuses the cell's picture
  boxes.clear();
  spread.NewCellPicture(file.string());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "TypePicPicture Property");
  EXPECT_EQ(boxes[0].icon, win::MessageIcon::Information);
  EXPECT_EQ(boxes[0].buttons, win::BtnOk);
  EXPECT_EQ(boxes[0].text, TextUtility::Clip(spread.STDCOMCL->ERRORSTR));
  EXPECT_LT(spread.STDCOMCL->LASTHR, 0);
}

TEST_F(GridTest, CheckResultKeepsTheResultAndShowsFailuresOnlyWhenDebugging) {
  ComResultChecker checker(true);
  EXPECT_EQ(checker.CheckResult(platform::S_FALSE, "Step"), 0);
  EXPECT_EQ(checker.LASTHR, platform::S_FALSE);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(checker.CheckResult(platform::E_NOINTERFACE, "QueryInterface  "), 3);
  EXPECT_EQ(checker.LASTHR, platform::E_NOINTERFACE);
  EXPECT_EQ(checker.ERRORSTR, platform::SystemMessageText(platform::DWORD(platform::E_NOINTERFACE)));
  ASSERT_FALSE(checker.ERRORSTR.empty());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "QueryInterface");
  EXPECT_EQ(boxes[0].icon, win::MessageIcon::Information);
  // A code the system has no text for.
  EXPECT_EQ(checker.CheckResult(platform::HRESULT(0x8FFF1234u), "Other"), 3);
  EXPECT_EQ(checker.ERRORSTR, "Unknown/Undefined Error");
  EXPECT_EQ(boxes.back().text, "Unknown/Undefined Error");
  ComResultChecker quiet(false);
  EXPECT_EQ(quiet.CheckResult(platform::E_NOINTERFACE, "QueryInterface"), 3);
  EXPECT_EQ(boxes.size(), 2u);
}

}  // namespace
}  // namespace kestrel::wrapper::testing
