#include "framework/window/resize_strategy.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace tamsil::framework {

namespace {

// Default strategies: the first row whose strategy matches and whose kinds list the control (or
// that lists no kinds) applies.
struct DefaultRow {
  std::uint8_t appStrategy;
  std::initializer_list<std::int32_t> kinds;  // empty: every kind
  ResizeStrategy strategy;
};

const DefaultRow kDefaults[] = {
    {1, {9, 12, 21}, {0x1010, 3}},
    {1, {8, 15, 16, 34}, {0, 2}},
    {1, {}, {0, 0}},
    {2, {1, 2, 8, 10, 15, 16, 34}, {0x0400, 2}},
    {2, {3, 4, 11, 13, 14, 37, 39}, {0x0404, 12}},
    {2, {9, 12, 21}, {0x1010, 3}},
    {2, {}, {0, 0}},
    {3, {}, {0x0101, 3}},
    {4, {1, 2, 10}, {0x0404, 3}},
    {4, {9, 12, 21}, {0x1010, 3}},
    {4, {3, 4, 11, 13, 14, 37, 39}, {0x0404, 12}},
    {4, {17}, {0x0404, 12}},
    {4, {8, 15, 16, 34}, {0x0404, 6}},
    {4, {}, {0, 0}},
    {5, {}, {0x0808, 3}},
};

// Values in units of 1/20000: four decimal places of a ratio, and halves of them, stay exact.
// Products of a coordinate and a ratio need more than 64 bits in the worst case.
__extension__ using Wide = __int128;
constexpr Wide kUnit = 20000;

Wide whole(std::int64_t v) { return Wide(v) * kUnit; }
Wide half(std::int64_t v) { return Wide(v) * (kUnit / 2); }
// v times a ratio in ten-thousandths.
Wide scaled(std::int64_t v, std::int64_t ratio) { return Wide(v) * ratio * 2; }

// Truncated toward zero (integer division does that) and held to the 32-bit range.
std::int32_t stored(Wide v) {
  const Wide t = v / kUnit;
  constexpr Wide lo = std::numeric_limits<std::int32_t>::min(), hi = std::numeric_limits<std::int32_t>::max();
  return std::int32_t(std::clamp(t, lo, hi));
}

// One axis of the computation; the vertical axis is the same with its own values and bits.
struct Axis {
  std::int64_t origin, size;        // the parent's original origin and size
  std::int64_t newOrigin, newSize;  // the parent's new origin and size
  std::int64_t pos, extent;         // the control's original coordinate and size
  std::int64_t ratio;               // newSize / size, in ten-thousandths
  std::uint8_t rule;                // positional rule of the axis
  bool fixed, toEdge, halfway;      // resize bits of the axis
};

std::pair<std::int32_t, std::int32_t> computeAxis(const Axis& a) {
  const std::int64_t d = a.pos - a.origin;  // the offset from the parent's near edge
  std::int32_t extent = std::int32_t(a.extent);
  if (!a.toEdge && !a.halfway && !a.fixed) extent = stored(scaled(a.extent, a.ratio));

  std::uint8_t rule = a.rule;
  if (rule == FromNearerEdge) rule = d >= a.size - d - a.extent ? FromFarEdge : FromNearEdge;
  Wide p = 0;
  switch (rule) {
    case KeepAbsolute: p = whole(a.pos); break;
    case FromFarEdge: {
      const std::int64_t gap = a.size - d;
      p = whole(a.newOrigin + a.newSize) - (a.fixed ? whole(gap) : scaled(gap, a.ratio));
      break;
    }
    case FromNearEdge: p = whole(a.newOrigin + d); break;
    case FromCentre: {
      const std::int64_t twice = 2 * d - a.size;  // twice the offset from the centre
      p = whole(a.newOrigin) + half(a.newSize) + (a.fixed ? half(twice) : Wide(twice) * a.ratio);
      break;
    }
    case FromCentreUnscaled: p = whole(a.pos + a.newOrigin - a.origin) + half(a.newSize - a.size); break;
    default: p = whole(a.newOrigin) + scaled(d, a.ratio); break;
  }
  const std::int32_t position = stored(p);
  if (a.toEdge) extent = stored(whole(d + a.newOrigin + a.newSize + a.extent - a.size - position));
  else if (a.halfway) extent = stored(whole(a.extent) + half(d + a.newOrigin + a.newSize - a.size - position));
  return {position, extent};
}

}  // namespace

ResizeStrategy DefaultStrategy(std::uint8_t appStrategy, std::int32_t kind) {
  for (const DefaultRow& row : kDefaults) {
    if (row.appStrategy != appStrategy) continue;
    if (row.kinds.size() == 0 || std::ranges::find(row.kinds, kind) != row.kinds.end()) return row.strategy;
  }
  return {};
}

std::int64_t GrowthRatio(std::int32_t newSize, std::int32_t originalSize) {
  if (originalSize == 0) return 10000;
  std::int64_t num = std::int64_t(newSize) * 10000, den = originalSize;
  if (den < 0) num = -num, den = -den;
  const std::int64_t rounded = (2 * (num < 0 ? -num : num) + den) / (2 * den);
  return num < 0 ? -rounded : rounded;
}

ResizeRect ComputeResizedRect(const ResizeRect& O, const ResizeRect& N, const ResizeRect& K, ResizeStrategy s) {
  const Axis h{O.XPOS,
               O.WIDTH,
               N.XPOS,
               N.WIDTH,
               K.XPOS,
               K.WIDTH,
               GrowthRatio(N.WIDTH, O.WIDTH),
               std::uint8_t(s.positional & 0xFF),
               bool(s.resize & FixedWidth),
               bool(s.resize & WidthToRightEdge),
               bool(s.resize & WidthHalfway)};
  const Axis v{O.YPOS,
               O.HEIGHT,
               N.YPOS,
               N.HEIGHT,
               K.YPOS,
               K.HEIGHT,
               GrowthRatio(N.HEIGHT, O.HEIGHT),
               std::uint8_t(s.positional >> kVertical),
               bool(s.resize & FixedHeight),
               bool(s.resize & HeightToBottomEdge),
               bool(s.resize & HeightHalfway)};
  const auto [x, w] = computeAxis(h);
  const auto [y, hgt] = computeAxis(v);
  return {x, y, w, hgt};
}

}  // namespace tamsil::framework
