// The table of the grid's property accessors (accessor_list.inc): for each, the property text it
// sends, the type of its value, whether it can write and takes an index, what it answers when the
// wrapper is not attached, and whether it tests the attachment at all. The wrapper's typed face
// (spread_wrapper.h) and its one read and write path are built from it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kestrel::wrapper {

// Value types; a scalar write goes to the bridge as a typed variable of the type's code.
enum class ValueType : std::uint8_t {
  Byte,      // 8-bit unsigned, code 1
  Short,     // 16-bit signed, code 2
  Long,      // 32-bit signed, code 6
  Colour,    // 32-bit unsigned, code 7
  Real,      // 64-bit floating point, code 9
  RealLong,  // read as a real, written as a long (code 6)
  Text,      // written as text, trailing blanks cut
  StopText,  // text shown in the Stop box first, then written as a 512-character zero-terminated text
};

enum class Shape : std::uint8_t { RW, RO, RWIndexed, ROIndexed };

// The answer of an accessor that is not attached: 0 / 0.0 / "0", -1 / "-1", or the empty text.
enum class Default : std::uint8_t { Zero, MinusOne, Empty };

enum class Attachment : std::uint8_t { Tested, Untested };

struct Accessor {
  std::string_view name;
  std::string_view property;      // the text written (an indexed one adds "(index)")
  std::string_view readProperty;  // the text read
  ValueType type;
  Shape shape;
  Default fallback;
  Attachment attachment;

  bool writable() const { return shape == Shape::RW || shape == Shape::RWIndexed; }
  bool indexed() const { return shape == Shape::RWIndexed || shape == Shape::ROIndexed; }
};

// Accessors by position in the table.
enum class AccessorId : std::uint16_t {
#define X(name, property, readProperty, type, shape, fallback, attachment) name,
#include "wrapper/accessor_list.inc"
#undef X
};

std::span<const Accessor> Accessors();
inline const Accessor& AccessorOf(AccessorId id) { return Accessors()[std::size_t(id)]; }

// Storage type codes of typed writes (the runtime's variable types).
enum TypeCode : std::uint8_t { kByteCode = 1, kShortCode = 2, kLongCode = 6, kULongCode = 7, kRealCode = 9, kZeroTextCode = 0x13 };

}  // namespace kestrel::wrapper
