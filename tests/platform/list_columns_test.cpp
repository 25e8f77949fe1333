// A list box in columns: the tab stops and headings it is given are kept in its state for the
// backends to draw, bad stops are refused, and clicks and selections skip the heading row.
#include <gtest/gtest.h>

#include "platform/input/input.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/snapshot.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

class ListColumnsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = createTestWindow();
    list = CreateWindowExA(0, "listbox", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 200, 100, frame,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(7)));
    for (const char* s : {"one\t1", "two\t2", "three\t3"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  void TearDown() override { resetWindows(); }

  LRESULT setStops(std::vector<int> stops) {
    return SendMessageA(list, LB_SETTABSTOPS, WPARAM(stops.size()), reinterpret_cast<LPARAM>(stops.data()));
  }
  ControlState state() const { return snapshotWindow(list).value().control; }

  HWND frame{}, list{};
};

TEST_F(ListColumnsTest, TabStopsAndHeadingsAreKeptAndReadBack) {
  EXPECT_EQ(setStops({120, 180}), TRUE);
  EXPECT_EQ(SendMessageA(list, LB_SETHEADINGS, 0, reinterpret_cast<LPARAM>("Message\tCategory\t")), 3);
  const ControlState c = state();
  EXPECT_EQ(c.tabStops, (std::vector<int>{120, 180}));
  EXPECT_EQ(c.headings, (std::vector<std::string>{"Message", "Category", ""}));
  // The items keep their tabs: columns are how they are drawn, not what they hold.
  char text[16] = {};
  SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "two\t2");
  // Emptied again: no stops, no heading row.
  EXPECT_EQ(setStops({}), TRUE);
  EXPECT_EQ(SendMessageA(list, LB_SETHEADINGS, 0, reinterpret_cast<LPARAM>("")), 0);
  EXPECT_EQ(SendMessageA(list, LB_SETHEADINGS, 0, 0), 0);
  EXPECT_TRUE(state().tabStops.empty());
  EXPECT_TRUE(state().headings.empty());
}

struct BadStops {
  const char* name;
  std::vector<int> stops;
};

class ListBadTabStops : public ListColumnsTest, public ::testing::WithParamInterface<BadStops> {};

TEST_P(ListBadTabStops, AreRefusedAndTheFormerOnesKept) {
  ASSERT_EQ(setStops({50}), TRUE);
  EXPECT_EQ(setStops(GetParam().stops), FALSE);
  EXPECT_EQ(state().tabStops, std::vector<int>{50});
}

INSTANTIATE_TEST_SUITE_P(Stops, ListBadTabStops,
                         ::testing::Values(BadStops{"Zero", {0, 40}}, BadStops{"Negative", {-5}}, BadStops{"Falling", {60, 30}},
                                           BadStops{"Repeated", {40, 40}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ListColumnsTest, AMissingArrayOfStopsIsRefused) {
  EXPECT_EQ(SendMessageA(list, LB_SETTABSTOPS, 2, 0), FALSE);
  EXPECT_TRUE(state().tabStops.empty());
}

// With headings the first item row sits below the heading row (rows are 16 pixels high): a click
// on the headings selects nothing, and each row is found one heading row further down.
struct Click {
  bool headed;
  int y;
  int selected;
};

class ListClicks : public ListColumnsTest, public ::testing::WithParamInterface<Click> {};

TEST_P(ListClicks, FindTheRowUnderThePointer) {
  if (GetParam().headed) SendMessageA(list, LB_SETHEADINGS, 0, reinterpret_cast<LPARAM>("Name\tNumber"));
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, GetParam().y));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ListClicks,
                         ::testing::Values(Click{false, 8, 0}, Click{false, 24, 1}, Click{true, 8, -1}, Click{true, 15, -1}, Click{true, 24, 0},
                                           Click{true, 40, 1}, Click{true, 56, 2}, Click{true, 72, -1}));

TEST_F(ListColumnsTest, ThePersonSelectingAnItemHitsItsRowBelowTheHeadings) {
  SendMessageA(list, LB_SETHEADINGS, 0, reinterpret_cast<LPARAM>("Name\tNumber"));
  input::selectItem(list, 2);
  pumpUntilIdle(frame);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
}

}  // namespace
}  // namespace platform::testing
