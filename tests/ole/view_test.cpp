// A component's own view in an OLE control's window: one call puts it on the control's window
// (class "TslOle"), no other field takes one, and it goes with the window.
#include <gtest/gtest.h>

#include <memory>

#include "platform/window/view.h"
#include "platform/window/window.h"
#include "runtime/window/operations.h"
#include "runtime/window/runtime_classes.h"
#include "tests/ole/ole_test.h"

namespace tamsil::testing {
namespace {

struct GridView : platform::WindowView {};

using OleViewTest = OleTest;

TEST_F(OleViewTest, PutOnTheControlsWindowAndRemoved) {
  const platform::HWND hwnd = w.control(kOle)->hwnd;
  ASSERT_EQ(window::runtimeClassOf(hwnd), "TslOle");
  auto view = std::make_shared<GridView>();
  ASSERT_TRUE(ole::SetOleView(kOle, view));
  EXPECT_EQ(platform::GetWindowView(hwnd), view);
  EXPECT_EQ(platform::GetWindowView(w.handle), nullptr);
  ASSERT_TRUE(ole::SetOleView(kOle, nullptr));
  EXPECT_EQ(platform::GetWindowView(hwnd), nullptr);
  EXPECT_EQ(view.use_count(), 1);
}

TEST_F(OleViewTest, OnlyAnOleControlTakesOne) {
  // The Close button, a menu item (no window of its own), a field that does not exist.
  for (const int field : {21, 3, 99}) {
    EXPECT_FALSE(ole::SetOleView(field, std::make_shared<GridView>())) << field;
    if (const window::Control* c = w.control(field); c && c->hwnd) {
      EXPECT_EQ(platform::GetWindowView(c->hwnd), nullptr) << field;
    }
  }
}

TEST_F(OleViewTest, GoesWhenTheWindowCloses) {
  auto view = std::make_shared<GridView>();
  ASSERT_TRUE(ole::SetOleView(kOle, view));
  window::CloseWindowOp(w);
  EXPECT_EQ(view.use_count(), 1);
}

}  // namespace
}  // namespace tamsil::testing
