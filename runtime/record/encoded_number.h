// The compact numbers of a descriptor (string sizes, dimensions, offsets). A value below 0x20 is
// one byte; a larger one is two: 0x20 plus the bits above the low eight, then the low eight. So
// 1024 is 0x24 0x00 and 255 is 0x20 0xFF; the largest value is 0xDFFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tamsil::record {

inline constexpr std::uint32_t kTwoByteMark = 0x20;
inline constexpr std::uint32_t kMaxEncodedNumber = 0xDFFF;

constexpr std::size_t encodedLength(std::uint32_t value) { return value < kTwoByteMark ? 1 : 2; }

// Writes value's encoding to out (which holds encodedLength(value) bytes); value is at most
// kMaxEncodedNumber.
constexpr void encodeNumber(std::uint32_t value, std::uint8_t* out) {
  if (value < kTwoByteMark) {
    out[0] = std::uint8_t(value);
  } else {
    out[0] = std::uint8_t(kTwoByteMark + (value >> 8));
    out[1] = std::uint8_t(value);
  }
}

struct DecodedNumber {
  std::uint32_t value;
  std::size_t length;  // bytes taken, 1 or 2
};

// Reads the number at the start of bytes. Nothing when the bytes end inside it or when it is
// written in two bytes though it fits in one: an encoder never writes that, so it is not a number.
constexpr std::optional<DecodedNumber> decodeNumber(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  if (bytes[0] < kTwoByteMark) return DecodedNumber{bytes[0], 1};
  if (bytes.size() < 2) return std::nullopt;
  const std::uint32_t value = (std::uint32_t(bytes[0]) - kTwoByteMark) << 8 | bytes[1];
  if (value < kTwoByteMark) return std::nullopt;
  return DecodedNumber{value, 2};
}

}  // namespace tamsil::record
