// The read conversions of what the bridge hands back: a grid value arrives as text ("12.5",
// "-1", "1E+300") and is taken as a real, a 32-bit signed integer or a 32-bit unsigned integer.
// A text that does not start with a number reads as 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrel::wrapper {

double RealOf(std::string_view text);
// Truncated towards zero; beyond the range the nearest end of it.
std::int32_t LongOf(std::string_view text);
// The low 32 bits of the truncated value, so a colour read back as a negative number (a system
// colour, 0x80000005) keeps its bits.
std::uint32_t ULongOf(std::string_view text);

}  // namespace kestrel::wrapper
