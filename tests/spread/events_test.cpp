// The user operations of the book and the events they raise, without a view.
#include <algorithm>
#include <set>

#include "tests/spread/spread_test_support.h"

namespace spread::test {
namespace {

using platform::S_OK;

class GridEvents : public ::testing::Test {
 protected:
  void SetUp() override { book.setEventSink(&sink); }
  void put(std::string_view name, platform::VARIANT v) { ASSERT_EQ(Put(book, name, {v}), S_OK) << name; }
  void typeAt(std::int32_t row, std::int32_t col, std::int16_t type) {
    At(book, row, col);
    put("CellType", I2(type));
  }
  AddressedBook book;
  RecordingSink sink;
};

TEST_F(GridEvents, ClickingACellLeavesTheOldOneThenClicks) {
  UserOps(book).clickCell(3, 2);
  UserOps(book).clickCell(3, 2);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"LeaveCell 1 1 3 2 0", "Click 3 2", "Click 3 2"}));
  EXPECT_EQ(GetNumber(book, "ActiveCol"), 3);
  EXPECT_EQ(GetNumber(book, "ActiveRow"), 2);
}

TEST_F(GridEvents, ASinkThatCancelsLeaveCellKeepsTheActiveCell) {
  sink.onFire = [](SpreadEvent e, std::span<const platform::VARIANT> args) {
    if (e == SpreadEvent::LeaveCell) *static_cast<platform::VARIANT_BOOL*>(args[4].byref) = platform::VARIANT_TRUE;
  };
  UserOps(book).clickCell(2, 2);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"LeaveCell 1 1 2 2 0"})) << "no Click when the move was refused";
  EXPECT_EQ(book.activeSheet().activeCol, 1);
}

TEST_F(GridEvents, EditingRaisesEditModeAndChangeOnlyWhenTheValueChanged) {
  typeAt(1, 1, 13);
  ASSERT_TRUE(UserOps(book).beginEdit());
  std::string error;
  EXPECT_FALSE(UserOps(book).commitEdit("abc", &error)) << "refused input keeps the edit going";
  EXPECT_TRUE(book.editing());
  EXPECT_FALSE(error.empty());
  ASSERT_TRUE(UserOps(book).commitEdit("12", &error));
  ASSERT_TRUE(UserOps(book).beginEdit());
  ASSERT_TRUE(UserOps(book).commitEdit("12.00", &error));
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"EditMode 1 1 1 0", "Change 1 1", "EditMode 1 1 0 -1", "EditMode 1 1 1 0", "EditMode 1 1 0 0"}));
  EXPECT_EQ(GetNumber(book, "ChangeMade"), -1);
  At(book, 1, 1);
  EXPECT_EQ(GetText(book, "Text"), "12.00");
}

TEST_F(GridEvents, StaticAndLockedCellsCannotBeEdited) {
  typeAt(1, 1, 5);
  EXPECT_FALSE(UserOps(book).beginEdit());
  typeAt(1, 1, 1);
  put("Lock", I2(1));
  EXPECT_FALSE(UserOps(book).beginEdit()) << "locked in a protected sheet";
  put("Protect", I2(0));
  EXPECT_TRUE(UserOps(book).beginEdit());
  EXPECT_EQ(Put(book, "EditMode", {I2(0)}), S_OK);
  EXPECT_FALSE(book.editing());
}

TEST_F(GridEvents, ButtonsAndCheckBoxesGoRoundTheirStates) {
  typeAt(1, 1, 10);
  typeAt(2, 1, 10);
  put("TypeCheckType", I4(1));
  typeAt(3, 1, 7);
  typeAt(4, 1, 7);
  put("TypeButtonType", I4(1));
  for (int i = 0; i < 3; ++i) UserOps(book).pressButton(1, 2);
  UserOps(book).pressButton(1, 1);
  UserOps(book).pressButton(1, 1);
  UserOps(book).pressButton(1, 3);
  UserOps(book).pressButton(1, 4);
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"ButtonClicked 1 2 1", "Change 1 2", "ButtonClicked 1 2 2", "Change 1 2", "ButtonClicked 1 2 0",
                                      "Change 1 2", "ButtonClicked 1 1 1", "Change 1 1", "ButtonClicked 1 1 0", "Change 1 1",
                                      "ButtonClicked 1 3 0", "ButtonClicked 1 4 1", "Change 1 4"}));
  At(book, 4, 1);
  EXPECT_EQ(GetText(book, "Value"), "1");
  EXPECT_FALSE(UserOps(book).pressButton(1, 5)) << "an edit cell is no button";
}

TEST_F(GridEvents, ChoosingAComboItem) {
  typeAt(2, 2, 8);
  put("TypeComboBoxList", Str("Red\tGreen\tBlue"));
  EXPECT_TRUE(UserOps(book).chooseComboItem(2, 2, 1));
  EXPECT_FALSE(UserOps(book).chooseComboItem(2, 2, 3));
  EXPECT_EQ(sink.events, (std::vector<std::string>{"ComboSelChange 2 2", "Change 2 2"}));
  At(book, 2, 2);
  EXPECT_EQ(GetText(book, "Text"), "Green");
  EXPECT_EQ(GetNumber(book, "TypeComboBoxCurSel"), 1);
  put("TypeComboBoxCurSel", I2(2));
  EXPECT_EQ(GetText(book, "Text"), "Blue");
  put("TypeComboBoxIndex", I2(-1));
  put("TypeComboBoxString", Str("Black"));
  EXPECT_EQ(GetNumber(book, "TypeComboBoxCount"), 4);
  put("TypeComboBoxIndex", I2(0));
  EXPECT_EQ(GetText(book, "TypeComboBoxString"), "Red");
}

TEST_F(GridEvents, KeysMoveTheActiveCellPastHiddenColumnsUnlessSwallowed) {
  At(book, 1, 2);
  put("ColHidden", I2(1));
  EXPECT_EQ(UserOps(book).keyDown(std::int16_t(platform::keys::VK_RIGHT), 0), std::int16_t(platform::keys::VK_RIGHT));
  EXPECT_EQ(book.activeSheet().activeCol, 3);
  UserOps(book).keyDown(std::int16_t(platform::keys::VK_LEFT), 0);
  EXPECT_EQ(book.activeSheet().activeCol, 1);
  UserOps(book).keyDown(std::int16_t(platform::keys::VK_UP), 0);
  EXPECT_EQ(book.activeSheet().activeRow, 1) << "nothing above row 1";
  sink.onFire = [](SpreadEvent e, std::span<const platform::VARIANT> args) {
    if (e == SpreadEvent::KeyDown || e == SpreadEvent::KeyPress) *static_cast<std::int16_t*>(args[0].byref) = 0;
  };
  EXPECT_EQ(UserOps(book).keyDown(std::int16_t(platform::keys::VK_DOWN), 0), 0);
  EXPECT_EQ(book.activeSheet().activeRow, 1) << "a swallowed key does nothing";
  EXPECT_EQ(UserOps(book).keyPress('a'), 0);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"KeyDown 39 0", "LeaveCell 1 1 3 1 0", "KeyDown 37 0", "LeaveCell 3 1 1 1 0", "KeyDown 38 0",
                                                   "KeyDown 40 0", "KeyPress 97"}));
}

// The keys the view only hands on: Shift widens the selection from its anchor (SelChange), a plain
// move drops it; Page Down moves by the rows the view says a screen holds; Delete empties a
// typed-in cell as an edit; a key let go is heard.
TEST_F(GridEvents, KeysMoveSelectPageAndEmptyThroughTheBook) {
  ASSERT_TRUE(book.writeText(book.activeSheet(), Block{1, 1, 1, 1}, "x", nullptr));
  UserOps ops(book);
  ops.keyDown(std::int16_t(platform::keys::VK_DOWN), kKeyShiftBit);
  ops.keyDown(std::int16_t(platform::keys::VK_RIGHT), kKeyShiftBit);
  EXPECT_EQ(book.activeSheet().selection, (std::vector<Block>{Block{1, 1, 2, 2}}));
  ops.keyDown(std::int16_t(platform::keys::VK_NEXT), 0, 10);
  EXPECT_EQ(book.activeSheet().activeRow, 12);
  EXPECT_TRUE(book.activeSheet().selection.empty());
  ASSERT_TRUE(ops.setActiveCell(1, 1));
  ops.keyDown(std::int16_t(platform::keys::VK_DELETE), 0);
  EXPECT_EQ(book.cellText(book.activeSheet(), 1, 1), "");
  ops.keyUp(std::int16_t(platform::keys::VK_DELETE), 0);
  const std::vector<std::string> expected = {"KeyDown 40 1",         "LeaveCell 1 1 1 2 0",  "SelChange 1 1 1 2 1 2",
                                             "KeyDown 39 1",         "LeaveCell 1 2 2 2 0",  "SelChange 1 1 2 2 2 2",
                                             "KeyDown 34 0",         "LeaveCell 2 2 2 12 0", "SelChange 2 12 2 12 2 12",
                                             "LeaveCell 2 12 1 1 0", "KeyDown 46 0",         "EditMode 1 1 1 0",
                                             "Change 1 1",           "EditMode 1 1 0 -1",    "KeyUp 46 0"};
  EXPECT_EQ(sink.events, expected);
}

TEST_F(GridEvents, ScrollingRaisesTopLeftChangeOnce) {
  put("TopRow", I4(10));
  put("TopRow", I4(10));
  put("VisibleRows", I4(5));
  put("VisibleCols", I4(3));
  ASSERT_EQ(CallMethod(book, "ShowCell", {I4(6), I4(20), I4(4)}), S_OK);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"TopLeftChange 1 1 1 10", "TopLeftChange 1 10 5 18"}));
  UserOps(book).rightClickCell(2, 3, 40, 50);
  EXPECT_EQ(sink.events.back(), "RightClick 1 2 3 40 50");
}

TEST_F(GridEvents, SwitchedOffEventsAreNotRaised) {
  ASSERT_EQ(Put(book, "EventEnabled", {I4(EventDispid(SpreadEvent::Click)), I2(0)}), S_OK);
  EXPECT_EQ(GetNumber(book, "EventEnabled", {I4(EventDispid(SpreadEvent::Click))}), 0);
  UserOps(book).clickCell(2, 1);
  EXPECT_EQ(sink.events, (std::vector<std::string>{"LeaveCell 1 1 2 1 0"}));
  ASSERT_EQ(CallMethod(book, "Reset", {}), S_OK);
  UserOps(book).clickCell(3, 1);
  EXPECT_EQ(sink.events.back(), "LeaveCell 1 1 3 1 0") << "Reset keeps the switches";
}

TEST_F(GridEvents, SetActiveCellAndSheetChange) {
  ASSERT_EQ(CallMethod(book, "SetActiveCell", {I4(2), I4(4)}), S_OK);
  put("SheetCount", I2(2));
  put("ActiveSheet", I2(2));
  EXPECT_EQ(sink.events, (std::vector<std::string>{"LeaveCell 1 1 2 4 0", "SheetChanged 1 2"}));
}

TEST_F(GridEvents, SpinningStepsWithinTheLimitsOrWrapsRound) {
  typeAt(1, 1, 13);
  put("TypeNumberMin", R8(0));
  put("TypeNumberMax", R8(10));
  put("TypeSpinInc", R8(4));
  EXPECT_FALSE(UserOps(book).spin(1, 1, true)) << "no spin buttons";
  put("TypeSpin", I2(1));
  std::vector<std::string> seen;
  const auto spinAndRead = [&](bool up) {
    EXPECT_TRUE(UserOps(book).spin(1, 1, up));
    At(book, 1, 1);
    seen.push_back(GetText(book, "Value"));
  };
  for (bool up : {true, true, true, true, true}) spinAndRead(up);
  put("TypeSpinWrap", I2(1));
  spinAndRead(true);
  spinAndRead(false);
  EXPECT_EQ(seen, (std::vector<std::string>{"0", "4", "8", "10", "10", "0", "10"}));
  EXPECT_EQ(std::count(sink.events.begin(), sink.events.end(), "Change 1 1"), 6) << "none when the value stayed at 10";

  typeAt(2, 1, 0);
  put("TypeSpin", I2(1));
  put("Text", Str("12/31/2199"));
  EXPECT_TRUE(UserOps(book).spin(1, 2, true));
  EXPECT_EQ(GetText(book, "Value"), "21991231") << "the last date allowed";
  EXPECT_TRUE(UserOps(book).spin(1, 2, false));
  EXPECT_EQ(GetText(book, "Value"), "21991230");

  typeAt(3, 1, 6);
  put("TypeSpin", I2(1));
  put("TypeSpinWrap", I2(1));
  put("Text", Str("11:59 pm"));
  EXPECT_TRUE(UserOps(book).spin(1, 3, true));
  EXPECT_EQ(GetText(book, "Text"), "11:59 PM") << "stops at the last minute first";
  EXPECT_TRUE(UserOps(book).spin(1, 3, true));
  EXPECT_EQ(GetText(book, "Text"), "12:00 AM") << "then wraps round to midnight";
  typeAt(4, 1, 1);
  put("TypeSpin", I2(1));
  EXPECT_FALSE(UserOps(book).spin(1, 4, true)) << "an edit cell does not spin";
}

TEST_F(GridEvents, TheViewStateIsTheActiveSheets) {
  put("SheetCount", I2(2));
  put("Sheet", I2(2));
  ASSERT_EQ(CallMethod(book, "SetActiveCell", {I4(3), I4(4)}), S_OK);
  EXPECT_EQ(GetNumber(book, "ActiveRow"), 4) << "sheet 1 is shown, whichever sheet is addressed";
  put("ActiveSheet", I2(2));
  EXPECT_EQ(GetNumber(book, "ActiveRow"), 1) << "each sheet has an active cell of its own";
  UserOps(book).clickCell(2, 2);
  put("ActiveSheet", I2(1));
  EXPECT_EQ(GetNumber(book, "ActiveCol"), 3);
  EXPECT_EQ(sink.events,
            (std::vector<std::string>{"LeaveCell 1 1 3 4 0", "SheetChanged 1 2", "LeaveCell 1 1 2 2 0", "Click 2 2", "SheetChanged 2 1"}));
}

TEST(EventList, NamesAndDispidsAreUnique) {
  std::set<std::string_view> names;
  std::set<DISPID> ids;
  for (int e = 0; e <= int(SpreadEvent::SheetChanged); ++e) {
    EXPECT_TRUE(names.insert(EventName(SpreadEvent(e))).second);
    EXPECT_TRUE(ids.insert(EventDispid(SpreadEvent(e))).second);
  }
  EXPECT_EQ(EventName(SpreadEvent::LeaveCell), "LeaveCell");
  EXPECT_EQ(EventArgumentTypes(SpreadEvent::LeaveCell).size(), 5u);
}

}  // namespace
}  // namespace spread::test
