// The window resizer on stored windows (headless): which controls it manages and how, where each
// strategy puts them when the window changes size, and that the original size brings every
// control back exactly.
#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <random>

#include "framework/window/framework_codes.h"
#include "framework/window/window_resizer.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "tests/framework/resize_print.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::framework {

namespace {

using window::Window;
namespace prop = window::prop;

constexpr const char* kModule = "FrameworkTest$Windows";  // tests/framework/data/FwTest.windef

class WindowResizerTest : public tamsil::testing::RuntimeTest {
 protected:
  Window& open(const char* label) {
    window_ = std::make_unique<Window>(kModule, label);
    window::OpenWindowOp(*window_);
    return *window_;
  }
  void TearDown() override {
    resizer_.reset();
    window_.reset();
    RuntimeTest::TearDown();
  }
  WindowResizer& attach(const char* label, std::uint8_t strategy, bool fixMin = false, bool fixMax = false) {
    Window& w = open(label);
    resizer_ = std::make_unique<WindowResizer>(w);
    resizer_->Attach(strategy, fixMin, fixMax);
    return *resizer_;
  }
  void size(int width, int height) { window::SetPosition(*window_, 0, window::kUnchanged, window::kUnchanged, width, height); }
  ResizeRect rect(int field) {
    window::DialogRect r;
    EXPECT_EQ(window::GetPosition(*window_, field, r), window::PropertyStatus::Ok) << field;
    return {r.x, r.y, r.width, r.height};
  }
  std::map<int, ResizeRect> layout() {
    std::map<int, ResizeRect> all;
    for (const auto& e : *resizer_->CONTROLQUEUE) all[e.ID] = rect(e.ID);
    return all;
  }
  long number(int field, std::uint16_t property) { return window::GetProperty(*window_, field, property).number(); }

  std::unique_ptr<Window> window_;
  std::unique_ptr<WindowResizer> resizer_;
};

TEST_F(WindowResizerTest, AttachManagesEveryControlButMenusAndTabs) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  std::vector<int> ids;
  for (const auto& e : *r.CONTROLQUEUE) ids.push_back(e.ID);
  EXPECT_EQ(ids, (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 20, 21, 22, 23, 24}));
  EXPECT_EQ(r.ORIGWIN.WIDTH, 400);
  EXPECT_EQ(r.ORIGWIN.HEIGHT, 300);
  EXPECT_EQ(r.ORIGWIN.MAXIMIZED, 0);
  EXPECT_EQ(r.DEFERMOVES, 1);
  EXPECT_EQ(r.RESIZECALLED, 0);
  EXPECT_EQ(number(0, prop::MoveSizeEvents), 1);  // the definition left the window's events off
  const auto* ok = r.entry(11);
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->TYPE, 9);
  EXPECT_EQ(ok->POS, (ResizeRect{340, 280, 50, 14}));
  EXPECT_EQ(ok->POSITIONALSTRATEGY, 0x1010);
  EXPECT_EQ(ok->RESIZESTRATEGY, 3);
}

TEST_F(WindowResizerTest, ToolbarControlsAreLeftAloneAndDropListsCountAsEntries) {
  Window& w = open("P1$LAYOUT");
  window::SetProperty(w, 10, prop::InToolBar, 1L);
  window::SetProperty(w, 13, prop::Drop, 5L);
  WindowResizer r(w);
  r.Attach(StrategyScale);
  EXPECT_EQ(r.entry(10), nullptr);
  ASSERT_NE(r.entry(13), nullptr);
  EXPECT_EQ(r.entry(13)->TYPE, 8);
  EXPECT_EQ(r.entry(13)->RESIZESTRATEGY, 2);  // an entry's default under strategy 1
}

TEST_F(WindowResizerTest, FixedSizesHoldTheWindowToItsOriginalSize) {
  attach("P1$LAYOUT", StrategyScale, true, true);
  for (std::uint16_t p : {prop::MinWidth, prop::MaxWidth}) EXPECT_EQ(number(0, p), 400);
  for (std::uint16_t p : {prop::MinHeight, prop::MaxHeight}) EXPECT_EQ(number(0, p), 300);
}

TEST_F(WindowResizerTest, StrategyThreeLeavesEveryControlWhereItWas) {
  attach("P1$LAYOUT", StrategyFixed);
  const auto before = layout();
  size(600, 450);
  resizer_->Resize(0);
  EXPECT_EQ(layout(), before);
  EXPECT_EQ(resizer_->RESIZECALLED, 1);
}

struct PlacedCase {
  const char* name;
  std::uint8_t strategy;
  int field;
  ResizeRect after;  // once the window has grown from 400 x 300 to 520 x 390
};

class ResizerPlacementTest : public WindowResizerTest, public ::testing::WithParamInterface<PlacedCase> {};

TEST_P(ResizerPlacementTest, PutsTheControlWhereItsStrategySays) {
  attach("P1$LAYOUT", GetParam().strategy);
  size(520, 390);
  resizer_->Resize(0);
  EXPECT_EQ(rect(GetParam().field), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Controls, ResizerPlacementTest,
                         ::testing::Values(
                             // Offsets from the left and top, margins to the right and bottom kept (0x0404, 12).
                             PlacedCase{"ListKeepsOffsetsAndMargins", StrategySurface, 13, {10, 30, 500, 290}},
                             // Buttons (0x1010, 3) keep the distance to their nearer edge.
                             PlacedCase{"ButtonNearerTheRightKeepsItsRightDistance", StrategyScale, 11, {460, 370, 50, 14}},
                             PlacedCase{"ButtonNearerTheLeftKeepsItsLeftDistance", StrategyScale, 12, {10, 370, 50, 14}},
                             // Entries keep their height and scale otherwise (0, 2): 1.3 and 1.3.
                             PlacedCase{"EntryScalesButKeepsItsHeight", StrategyScale, 10, {13, 13, 130, 12}},
                             // Prompts keep their left and top (0x0404, 3) under strategy 4.
                             PlacedCase{"PromptKeepsItsPlace", StrategyStretch, 16, {290, 10, 40, 10}},
                             // Under strategy 5 everything keeps its offset from the centre.
                             PlacedCase{"CentredButton", StrategyCentred, 11, {400, 325, 50, 14}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(WindowResizerTest, TheDemoGridDoublesWithTheWindowAndKeepsItsCorner) {
  WindowResizer& r = attach("P2$GRID", StrategyScale);
  r.SetStrategy(20, 0x0101, 0);
  size(1072, 716);
  r.Resize(0);
  EXPECT_EQ(rect(20), (ResizeRect{3, 4, 1056, 658}));
  EXPECT_EQ(rect(21), (ResizeRect{1023, 699, 45, 14}));  // the Close button keeps its corner distance
}

TEST_F(WindowResizerTest, ASecondResizeAtTheSameSizeDoesNothing) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  size(520, 390);
  r.Resize(0);
  window::SetPosition(*window_, 11, 5, 5, window::kUnchanged, window::kUnchanged);  // moved by hand
  r.Resize(0);
  EXPECT_EQ(rect(11), (ResizeRect{5, 5, 50, 14}));
  EXPECT_TRUE(r.RESIZELIST->empty());
  r.Resize(1);  // forced
  EXPECT_EQ(rect(11), (ResizeRect{460, 370, 50, 14}));
}

class ResizerRoundTripTest : public WindowResizerTest, public ::testing::WithParamInterface<std::tuple<std::uint8_t, bool>> {};

TEST_P(ResizerRoundTripTest, TheOriginalSizeRestoresEveryControlExactly) {
  const auto [strategy, deferred] = GetParam();
  WindowResizer& r = attach("P1$LAYOUT", strategy);
  r.DEFERMOVES = deferred;
  const auto original = layout();
  std::mt19937 random(24);
  std::uniform_int_distribution<int> width(100, 1200), height(80, 900);
  for (int i = 0; i < 100; ++i) {
    size(width(random), height(random));
    r.Resize(0);
  }
  EXPECT_NE(layout(), original);
  size(400, 300);
  r.Resize(0);
  EXPECT_EQ(layout(), original);
  EXPECT_EQ(number(0, prop::DeferMove), 0);  // no batch left open
}

INSTANTIATE_TEST_SUITE_P(Strategies, ResizerRoundTripTest,
                         ::testing::Combine(::testing::Values(StrategyScale, StrategySurface, StrategyStretch, StrategyCentred),
                                            ::testing::Bool()));

// One deferred batch and the one-by-one order put the controls in the same places.
TEST_F(WindowResizerTest, DeferredAndOrderedMovesAgree) {
  std::map<int, ResizeRect> places[2];
  for (const bool deferred : {false, true}) {
    WindowResizer& r = attach("P1$LAYOUT", StrategyStretch);
    r.DEFERMOVES = deferred;
    size(700, 500);
    r.Resize(0);
    places[deferred] = layout();
    if (!deferred) {
      // The window grew: the farthest moves come first.
      ASSERT_FALSE(r.RESIZELIST->empty());
      EXPECT_TRUE(std::ranges::is_sorted(*r.RESIZELIST, std::ranges::greater{}, &WindowResizer::MoveEntry::PRIORITY));
    }
    resizer_.reset();
    window::CloseWindowOp(*window_);
  }
  EXPECT_EQ(places[0], places[1]);
}

TEST_F(WindowResizerTest, ShrinkingOrdersTheNearestMovesFirst) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  r.DEFERMOVES = 0;
  size(200, 150);
  r.Resize(0);
  EXPECT_TRUE(std::ranges::is_sorted(*r.RESIZELIST, std::ranges::less{}, &WindowResizer::MoveEntry::PRIORITY));
}

TEST_F(WindowResizerTest, ContainedControlsFollowTheirParent) {
  WindowResizer& r = attach("P1$LAYOUT", StrategySurface);
  EXPECT_EQ(r.ParentOf(15), 14);  // the check box is held by the group
  EXPECT_EQ(r.ParentOf(21), 20);  // the string lies inside the panel
  EXPECT_EQ(r.entry(14)->HASCHILDREN, 1);
  EXPECT_EQ(r.ParentOf(14), 0);
  size(520, 390);
  r.Resize(0);
  // The group (0x0404, 12) grows to the window's right and bottom margins; the check box
  // (0x1010, 3 under strategy 2) keeps its distance to the group's nearer edges: the left one,
  // and the bottom one, which is nearer than the top.
  EXPECT_EQ(rect(14), (ResizeRect{120, 4, 270, 114}));
  EXPECT_EQ(rect(15), (ResizeRect{124, 102, 60, 10}));
}

// Controls sharing a corner adopt one another as the resizer visits them; a link that would close
// a circle is refused, so every one of them is still reached from the window and follows it.
TEST_F(WindowResizerTest, ControlsSharingACornerNeverFormACircle) {
  WindowResizer& r = attach("P1$LAYOUT", StrategySurface);
  for (int id : {22, 23, 24}) {
    int steps = 0;
    for (int up = id; up != 0 && steps < 10; up = r.ParentOf(up)) ++steps;
    EXPECT_LT(steps, 10) << id;
  }
  size(800, 600);
  r.Resize(0);
  for (int id : {22, 23, 24}) EXPECT_NE(rect(id), r.entry(id)->POS) << id;  // scaled (strategy 2, others: 0, 0)
}

TEST_F(WindowResizerTest, ControlsThatKeepTheirWidthAreMovedWithoutIt) {
  Window& w = open("P1$LAYOUT");
  window::SetProperty(w, 13, prop::NoWidth, 1L);
  resizer_ = std::make_unique<WindowResizer>(w);
  resizer_->Attach(StrategySurface);
  size(520, 390);
  resizer_->Resize(0);
  EXPECT_EQ(rect(13), (ResizeRect{10, 30, 380, 290}));
}

TEST_F(WindowResizerTest, SetStrategyForEveryControlAndForANewOne) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  r.SetStrategy(0, 0x0101, 3);
  for (const auto& e : *r.CONTROLQUEUE) EXPECT_EQ(e.POSITIONALSTRATEGY, 0x0101) << e.ID;
  r.CONTROLQUEUE->erase(r.CONTROLQUEUE->begin());  // 10 no longer managed
  r.SetStrategy(10, 0x0404, 12);
  ASSERT_NE(r.entry(10), nullptr);
  EXPECT_EQ(r.CONTROLQUEUE->front().ID, 10);  // kept sorted
  EXPECT_EQ(r.entry(10)->TYPE, 8);
  r.SetStrategy(3, 0x0404, 12);  // a menu item: not a control with a rectangle of its own
  EXPECT_EQ(r.entry(3), nullptr);
}

TEST_F(WindowResizerTest, RestoreLayoutPutsWindowAndControlsBack) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  const auto original = layout();
  size(700, 500);
  r.Resize(0);
  r.RestoreLayout();
  EXPECT_EQ(number(0, prop::ClientWidth), 400);
  EXPECT_EQ(number(0, prop::ClientHeight), 300);
  EXPECT_EQ(layout(), original);
}

TEST_F(WindowResizerTest, AResizeWhileTheWindowIsClosedDoesNothing) {
  WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
  window::CloseWindowOp(*window_);
  r.Resize(1);
  EXPECT_EQ(r.RESIZECALLED, 0);
}

// The window events the resizer registers for resize it, and the procedure still sees them;
// after Detach they no longer resize.
TEST_F(WindowResizerTest, RegisteredEventsResizeUntilDetached) {
  for (const bool detached : {false, true}) {
    WindowResizer& r = attach("P1$LAYOUT", StrategyScale);
    if (detached) r.Detach();
    size(520, 390);
    window::PostEvent(EventResizeNeeded);
    script("");
    ResizeRect seen;
    events.clear();
    runLoop([&](int code, int) {
      if (code == EventResizeNeeded) seen = rect(11);
      return 0;
    });
    EXPECT_NE(std::ranges::find(events, "1023 0"), events.end());
    EXPECT_EQ(seen, detached ? (ResizeRect{340, 280, 50, 14}) : (ResizeRect{460, 370, 50, 14}));
    EXPECT_EQ(r.RESIZECALLED, detached ? 0 : 1);
    resizer_.reset();
  }
}

}  // namespace
}  // namespace tamsil::framework
