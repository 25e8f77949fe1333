// Little-endian loads and stores for packed records, independent of the host's byte order and
// alignment. Callers check the bounds; these only move bytes.
#pragma once

#include <cstdint>

namespace tamsil::window {

inline std::uint32_t loadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::int32_t loadI32(const std::uint8_t* p) { return std::int32_t(loadU32(p)); }

inline void storeU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
  p[2] = std::uint8_t(v >> 16);
  p[3] = std::uint8_t(v >> 24);
}

}  // namespace tamsil::window
