#include "wrapper/read_conversion.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kestrel::wrapper {

double RealOf(std::string_view text) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return 0;
  text.remove_prefix(start);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return error == std::errc{} && !std::isnan(value) ? value : 0;
}

std::int32_t LongOf(std::string_view text) {
  const double r = std::trunc(RealOf(text));
  if (r <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (r >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(r);
}

std::uint32_t ULongOf(std::string_view text) {
  const double r = std::trunc(RealOf(text));
  if (r <= -0x1p63 || r >= 0x1p63) return 0;
  return std::uint32_t(std::int64_t(r));
}

}  // namespace kestrel::wrapper
