// The resizer's arithmetic on its own: default strategies by overall strategy and kind, ratios
// rounded to four places, and each positional and resize rule, computed exactly (no binary
// floating-point drift) and truncated toward zero.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/window/resize_strategy.h"
#include "tests/framework/resize_print.h"

namespace tamsil::framework {
namespace {

struct DefaultCase {
  std::uint8_t app;
  std::int32_t kind;
  std::uint16_t positional, resize;
};

class DefaultStrategyTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultStrategyTest, FollowsTheTable) {
  const DefaultCase& c = GetParam();
  const ResizeStrategy s = DefaultStrategy(c.app, c.kind);
  EXPECT_EQ(s.positional, c.positional) << "strategy " << int(c.app) << " kind " << c.kind;
  EXPECT_EQ(s.resize, c.resize) << "strategy " << int(c.app) << " kind " << c.kind;
}

INSTANTIATE_TEST_SUITE_P(Kinds, DefaultStrategyTest,
                         ::testing::Values(DefaultCase{1, 9, 0x1010, 3}, DefaultCase{1, 21, 0x1010, 3}, DefaultCase{1, 34, 0, 2},
                                           DefaultCase{1, 14, 0, 0}, DefaultCase{2, 10, 0x0400, 2}, DefaultCase{2, 37, 0x0404, 12},
                                           DefaultCase{2, 12, 0x1010, 3}, DefaultCase{2, 17, 0, 0}, DefaultCase{3, 14, 0x0101, 3},
                                           DefaultCase{3, 9, 0x0101, 3}, DefaultCase{4, 2, 0x0404, 3}, DefaultCase{4, 17, 0x0404, 12},
                                           DefaultCase{4, 8, 0x0404, 6}, DefaultCase{4, 32, 0, 0}, DefaultCase{5, 8, 0x0808, 3},
                                           DefaultCase{0, 9, 0, 0}, DefaultCase{6, 9, 0, 0}));

struct RatioCase {
  std::int32_t newSize, originalSize;
  std::int64_t tenThousandths;
};

class GrowthRatioTest : public ::testing::TestWithParam<RatioCase> {};

TEST_P(GrowthRatioTest, RoundsHalfAwayFromZeroToFourPlaces) {
  EXPECT_EQ(GrowthRatio(GetParam().newSize, GetParam().originalSize), GetParam().tenThousandths);
}

INSTANTIATE_TEST_SUITE_P(Ratios, GrowthRatioTest,
                         ::testing::Values(RatioCase{2, 1, 20000}, RatioCase{1, 3, 3333}, RatioCase{2, 3, 6667},
                                           RatioCase{1, 20000, 1},    // 0.00005 rounds up
                                           RatioCase{1, 20001, 0},    // just below the half
                                           RatioCase{-1, 20000, -1},  // away from zero
                                           RatioCase{7, 0, 10000},    // an empty original never divides
                                           RatioCase{29, 100, 2900}));

struct RectCase {
  const char* name;
  ResizeRect O, N, K;
  ResizeStrategy strategy;
  ResizeRect expected;
};

class ComputeRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(ComputeRectTest, PlacesTheControl) {
  const RectCase& c = GetParam();
  EXPECT_EQ(ComputeResizedRect(c.O, c.N, c.K, c.strategy), c.expected);
}

constexpr ResizeRect kWin{0, 0, 400, 300}, kGrown{0, 0, 520, 390}, kDouble{0, 0, 800, 600};

INSTANTIATE_TEST_SUITE_P(
    Rules, ComputeRectTest,
    ::testing::Values(
        RectCase{"KeepEverything", kWin, kGrown, {10, 20, 30, 40}, {0x0101, 3}, {10, 20, 30, 40}},
        RectCase{"ScaleEverything", kWin, kDouble, {10, 20, 30, 40}, {0, 0}, {20, 40, 60, 80}},
        RectCase{"GridKeepsCornerAndDoubles", {0, 0, 536, 358}, {0, 0, 1072, 716}, {3, 4, 528, 329}, {0x0101, 0}, {3, 4, 1056, 658}},
        RectCase{"OffsetsAndMargins", kWin, kGrown, {10, 30, 380, 200}, {0x0404, 12}, {10, 30, 500, 290}},
        RectCase{"ButtonNearFarEdges", kWin, kGrown, {340, 280, 50, 14}, {0x1010, 3}, {460, 370, 50, 14}},
        RectCase{"ButtonNearNearEdges", kWin, kGrown, {10, 4, 50, 14}, {0x1010, 3}, {10, 4, 50, 14}},
        RectCase{"FarEdgeScaled", kWin, kDouble, {300, 0, 50, 10}, {0x02, 2}, {600, 0, 100, 10}},
        RectCase{"CentreFixed", kWin, kGrown, {180, 130, 40, 40}, {0x0808, 3}, {240, 175, 40, 40}},
        RectCase{"CentreScaled", kWin, kDouble, {100, 50, 40, 20}, {0x0808, 0}, {200, 100, 80, 40}},
        RectCase{"CentreUnscaled", kWin, kDouble, {100, 50, 40, 20}, {0x2020, 3}, {300, 200, 40, 20}},
        RectCase{"HalfwayGrowth", kWin, kGrown, {10, 10, 100, 50}, {0x0404, 0x30}, {10, 10, 160, 95}},
        RectCase{"InsideAMovedParent", {100, 50, 200, 100}, {150, 80, 400, 200}, {110, 60, 50, 20}, {0x0404, 12}, {160, 90, 250, 120}},
        // 0.29 has no exact binary form: 100 x 0.29 computed in doubles truncates to 28.
        RectCase{"NoBinaryDrift", {0, 0, 100, 100}, {0, 0, 29, 29}, {100, 100, 100, 100}, {0, 0}, {29, 29, 29, 29}},
        // 1/3 is 0.3333: 300 x 0.3333 = 99.99, truncated.
        RectCase{"RatioRoundedFirst", {0, 0, 300, 300}, {0, 0, 100, 100}, {300, 0, 300, 3}, {0, 0}, {99, 0, 99, 0}},
        RectCase{"NegativeTruncatesTowardZero", kWin, {0, 0, 200, 150}, {-3, -3, 10, 10}, {0, 0}, {-1, -1, 5, 5}},
        RectCase{"EmptyParentKeepsScale", {0, 0, 0, 0}, kWin, {5, 6, 7, 8}, {0, 0}, {5, 6, 7, 8}}),
    [](const auto& p) { return std::string(p.param.name); });

// Growing and shrinking back by the same ratios gives every rule its start again when nothing
// needs rounding.
TEST(ComputeRect, EveryRuleReturnsToTheStartAtTheOriginalSize) {
  const ResizeRect k{40, 30, 80, 60};
  for (std::uint16_t rule : {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x20})
    for (std::uint16_t resize : {0x00, 0x03, 0x0C, 0x30}) {
      const ResizeStrategy s{std::uint16_t(rule | rule << 8), resize};
      EXPECT_EQ(ComputeResizedRect(kWin, kWin, k, s), k) << std::hex << rule << " " << resize;
    }
}

}  // namespace
}  // namespace tamsil::framework
