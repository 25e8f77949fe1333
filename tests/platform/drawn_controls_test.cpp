// The platform's tab control and the look of windows: tabs and their selection, window colours
// and font attributes kept in the model and announced to the backend.
#include <gtest/gtest.h>

#include "platform/queue/queue.h"
#include "platform/window/snapshot.h"
#include "platform/window/window.h"
#include "tests/platform/platform_test.h"

namespace platform::testing {
namespace {

class DrawnControlsTest : public ::testing::Test {
 protected:
  void TearDown() override { resetWindows(); }
  HWND tabs() { return CreateWindowExA(0, "SysTabControl32", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, createTestWindow(), nullptr); }
  static LRESULT insert(HWND h, WPARAM at, const char* text) {
    TCITEMA item;
    item.mask = TCIF_TEXT;
    item.pszText = text;
    return SendMessageA(h, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item));
  }
};

TEST_F(DrawnControlsTest, TabsAreInsertedInPlaceAndTheFirstIsSelected) {
  HWND h = tabs();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), -1);
  EXPECT_EQ(insert(h, 0, "Fields"), 0);
  EXPECT_EQ(insert(h, 5, "Order"), 1);  // past the end: appended
  EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(insert(h, 0, "First"), 0);  // before the selected tab: the selection moves with it
  EXPECT_EQ(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(snapshotWindow(h)->control.items, (std::vector<std::string>{"First", "Fields", "Order"}));
  EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(snapshotWindow(h)->kind, ControlKind::Tab);
}

TEST_F(DrawnControlsTest, SelectionStaysWithinTheTabsAndClearingEmptiesIt) {
  HWND h = tabs();
  insert(h, 0, "One");
  insert(h, 1, "Two");
  EXPECT_EQ(SendMessageA(h, TCM_SETCURSEL, 1, 0), 0);
  EXPECT_EQ(SendMessageA(h, TCM_SETCURSEL, 2, 0), -1);
  EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(SendMessageA(h, TCM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(SendMessageA(h, TCM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(h, TCM_GETCURSEL, 0, 0), -1);
}

TEST_F(DrawnControlsTest, ColoursAreKeptInTheSnapshotAndAStaleWindowHasNone) {
  HWND w = createTestWindow();
  EXPECT_EQ(snapshotWindow(w)->colours, WindowColours{});
  const WindowColours colours{0xFFFFFF, 0x404040, 0xFFFFFF, 0x808080};
  EXPECT_TRUE(SetWindowColours(w, colours));
  EXPECT_EQ(snapshotWindow(w)->colours, colours);
  EXPECT_EQ(GetWindowColours(w), colours);
  DestroyWindow(w);
  EXPECT_FALSE(SetWindowColours(w, colours));
  EXPECT_EQ(GetWindowColours(w), WindowColours{});
}

TEST_F(DrawnControlsTest, FontsKeepWeightAndCharacterSet) {
  const HFONT bold = CreateFontA(7, 700, "Arial", 2);
  EXPECT_EQ(FontFace(bold), "Arial");
  EXPECT_EQ(FontPoints(bold), 7);
  EXPECT_EQ(FontWeight(bold), 700);
  EXPECT_EQ(FontCharset(bold), 2);
  EXPECT_EQ(FontCharset(CreateFontA(8, 400, "Helv")), 0);
  EXPECT_EQ(FontWeight(nullptr), 400);  // the system font
}

}  // namespace
}  // namespace platform::testing
