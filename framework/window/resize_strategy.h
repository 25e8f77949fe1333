// The resizer's strategies and its arithmetic: which rule a control follows when its parent (the
// window or a containing control) changes size, the default rules by the window's overall
// strategy and the control's kind, and the new rectangle computed from the original one.
#pragma once

#include <cstdint>

namespace tamsil::framework {

// A rectangle in the runtime's window units.
struct ResizeRect {
  std::int32_t XPOS = 0, YPOS = 0, WIDTH = 0, HEIGHT = 0;
  bool operator==(const ResizeRect&) const = default;
};

// Positional rules: the low byte is the horizontal rule, the high byte the same rule vertically.
enum PositionalRule : std::uint16_t {
  KeepAbsolute = 0x01,        // keep the original coordinate
  FromFarEdge = 0x02,         // keep the (scaled unless fixed) distance from the far edge
  FromNearEdge = 0x04,        // keep the distance from the near edge
  FromCentre = 0x08,          // keep the (scaled unless fixed) offset from the centre
  FromNearerEdge = 0x10,      // FromFarEdge or FromNearEdge, whichever edge the control is nearer
  FromCentreUnscaled = 0x20,  // keep the unscaled offset from the centre
  // Anything else scales the distance from the near edge.
};
inline constexpr std::uint16_t kVertical = 8;  // shift of the vertical rule

// Resize bits; without any bit of an axis the size scales with the parent.
enum ResizeBit : std::uint16_t {
  FixedWidth = 0x01,
  FixedHeight = 0x02,
  WidthToRightEdge = 0x04,  // the distance to the parent's right edge stays constant
  HeightToBottomEdge = 0x08,
  WidthHalfway = 0x10,  // grows by half the right edge's movement
  HeightHalfway = 0x20,
};

struct ResizeStrategy {
  std::uint16_t positional = 0;
  std::uint16_t resize = 0;
};

// The window's overall strategies (APPSTRATEGY).
enum AppStrategy : std::uint8_t {
  StrategyScale = 1,    // controls scale; buttons keep their nearer edge
  StrategySurface = 2,  // text and fields keep their place, containers stretch
  StrategyFixed = 3,    // nothing moves
  StrategyStretch = 4,  // like 2, with entries and texts stretching too
  StrategyCentred = 5,  // everything keeps its offset from the centre
};

// The default strategies for a control of kind `kind` under the overall strategy.
ResizeStrategy DefaultStrategy(std::uint8_t appStrategy, std::int32_t kind);

// The ratio new / original rounded half away from zero to 4 decimal places, in ten-thousandths
// (1 when the original is empty, so an empty parent never divides by zero).
std::int64_t GrowthRatio(std::int32_t newSize, std::int32_t originalSize);

// Control K's rectangle once its parent, originally O, has become N, by the control's strategy.
// Exact decimal arithmetic: only the ratios are rounded (to 4 places); every coordinate is
// truncated toward zero when it is stored.
ResizeRect ComputeResizedRect(const ResizeRect& O, const ResizeRect& N, const ResizeRect& K, ResizeStrategy strategy);

}  // namespace tamsil::framework
