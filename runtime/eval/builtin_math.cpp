#include <algorithm>
#include <cmath>
#include <random>

#include "runtime/eval/builtins.h"

namespace tamsil::builtin {

// ROUND(value, order): the nearest multiple of the order (halves away from zero). The quotient
// is first cut to 15 significant digits, so 5.55 rounds to 5.6 at order 0.1 although neither is
// exact in binary. An order of 0 leaves the value as it is.
Value round(Arguments a) {
  const double v = a[0].asReal();
  const double order = std::fabs(a[1].asReal());
  if (order == 0 || !std::isfinite(v)) return Value::ofReal(v);
  const double quotient = realFromText(realText(v / order));
  const double r = std::round(quotient) * order;
  return Value::ofReal(realFromText(realText(r)));
}

// BSHIFT(value, count): left for a positive count, logically right for a negative one; a count
// of 32 or more either way shifts every bit out.
Value bitShift(Arguments a) {
  const uint32_t v = static_cast<uint32_t>(a[0].asWhole());
  const int64_t n = a[1].asWhole();
  uint32_t r = 0;
  if (n >= 0 && n < 32) r = v << n;
  if (n < 0 && n > -32) r = v >> -n;
  return Value::ofWhole(static_cast<int32_t>(r));
}

Value inRange(Arguments a) {
  const double v = a[0].asReal();
  return Value::ofWhole(compareReals(v, a[1].asReal()) >= 0 && compareReals(v, a[2].asReal()) <= 0);
}

// RANDOM(low, high): three 15-bit draws joined into one number, reduced modulo the width of the
// range. Bounds given the wrong way round are swapped rather than dividing by a width of zero or
// less; the bounds are taken as 32-bit values so the width always fits.
Value random(Arguments a) {
  thread_local std::minstd_rand engine{std::random_device{}()};
  auto bound = [&](size_t i) { return std::clamp<int64_t>(a[i].asWhole(), INT32_MIN, INT32_MAX); };
  int64_t low = bound(0), high = bound(1);
  if (low > high) std::swap(low, high);
  auto draw = [] { return static_cast<uint64_t>(engine() & 0x7FFF); };
  const uint64_t joined = draw() << 30 | draw() << 15 | draw();
  const uint64_t width = static_cast<uint64_t>(high - low + 1);
  return Value::ofWhole(low + static_cast<int64_t>(joined % width));
}

}  // namespace tamsil::builtin
