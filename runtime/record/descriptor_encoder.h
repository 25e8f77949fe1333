// Writing descriptors from a table of field declarations. Descriptors are constant data made with
// the program: declare the fields in a constexpr array and let descriptorBytes<array>() turn it
// into the encoded bytes at compile time, where a declaration the format cannot hold (a name with
// a NUL, a string longer than an encoded number, a group without its members) stops the build.
// The same encoder runs at run time for tests and for checking a walk against its source.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "runtime/record/descriptor_format.h"
#include "runtime/record/encoded_number.h"

namespace tamsil::record {

inline constexpr std::uint32_t kFollows = 0xFFFFFFFF;  // no explicit offset: behind the previous field

// One field as declared. A group is followed by its members (members counts them all, those
// of groups nested in it included); offsets inside a group are relative to the group's start.
struct FieldSpec {
  FieldType type = FieldType::Byte;
  std::string_view name;      // empty: the entry carries no name
  std::uint32_t size = 0;     // string length or capacity, reference width; a group's data size (0: its members' extent)
  std::uint32_t members = 0;  // group: how many of the following declarations belong to it
  std::uint32_t offset = kFollows;
  std::array<std::uint32_t, kMaxDimensions> dimensions{};  // leading non-zero entries are the dimensions

  constexpr FieldSpec at(std::uint32_t byteOffset) const {
    FieldSpec f = *this;
    f.offset = byteOffset;
    return f;
  }
  constexpr FieldSpec dimensioned(std::uint32_t count) const {
    FieldSpec f = *this;
    const auto free = std::find(f.dimensions.begin(), f.dimensions.end(), 0u);
    if (free == f.dimensions.end()) throw std::invalid_argument("too many dimensions");
    *free = count;
    return f;
  }
  constexpr std::size_t dimensionCount() const { return std::size_t(std::find(dimensions.begin(), dimensions.end(), 0u) - dimensions.begin()); }
};

// Declarations by type, so that a table reads like the class it describes.
constexpr FieldSpec byteField(std::string_view name) { return {FieldType::Byte, name}; }
constexpr FieldSpec shortField(std::string_view name) { return {FieldType::Short, name}; }
constexpr FieldSpec ushortField(std::string_view name) { return {FieldType::UShort, name}; }
constexpr FieldSpec longField(std::string_view name) { return {FieldType::Long, name}; }
constexpr FieldSpec ulongField(std::string_view name) { return {FieldType::ULong, name}; }
constexpr FieldSpec stringField(std::string_view name, std::uint32_t length) { return {FieldType::String, name, length}; }
constexpr FieldSpec cstringField(std::string_view name, std::uint32_t capacity) { return {FieldType::CString, name, capacity}; }
constexpr FieldSpec pstringField(std::string_view name, std::uint32_t capacity) { return {FieldType::PString, name, capacity}; }
constexpr FieldSpec referenceField(std::string_view name) { return {FieldType::Reference, name, ReferenceToObject}; }
constexpr FieldSpec textReferenceField(std::string_view name) { return {FieldType::Reference, name, ReferenceToText}; }
constexpr FieldSpec internedField(std::string_view name) { return {FieldType::Interned, name}; }
constexpr FieldSpec groupField(std::string_view name, std::uint32_t members) { return {FieldType::Group, name, 0, members}; }

namespace detail {

// Byte by byte: every compiler evaluates push_back at compile time, not all a vector's bulk fills.
constexpr void append(std::vector<std::uint8_t>& out, std::size_t zeros) {
  for (std::size_t i = 0; i < zeros; ++i) out.push_back(0);
}

constexpr void putWord(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = std::uint8_t(value >> (8 * i));
}

constexpr void putNumber(std::vector<std::uint8_t>& out, std::uint32_t value) {
  if (value > kMaxEncodedNumber) throw std::invalid_argument("number too large for a descriptor");
  std::uint8_t bytes[2] = {};
  encodeNumber(value, bytes);
  for (std::size_t i = 0; i < encodedLength(value); ++i) out.push_back(bytes[i]);
}

// Writes the entries of fields (the members of one group) and returns their extent: the end of
// the furthest field, relative to the group's start.
constexpr std::uint32_t encodeFields(std::span<const FieldSpec> fields, std::vector<std::uint8_t>& out) {
  std::uint64_t next = 0, extent = 0;
  for (std::size_t i = 0; i < fields.size();) {
    const FieldSpec& f = fields[i];
    if (f.name.find('\0') != std::string_view::npos) throw std::invalid_argument("a field name holds a NUL");
    const std::size_t dims = f.dimensionCount();
    const std::size_t start = out.size();
    out.push_back(std::uint8_t(f.type));
    out.push_back(std::uint8_t((f.name.empty() ? 0 : FlagNamed) | (f.offset == kFollows ? 0 : FlagOffset) | (dims ? FlagDimensioned : 0)));
    std::uint64_t width = fixedWidth(f.type);
    if (hasEncodedSize(f.type)) {
      putNumber(out, f.size);
      width = f.size;
    } else if (f.type == FieldType::Reference) {
      if (f.size != ReferenceToObject && f.size != ReferenceToText) throw std::invalid_argument("a reference is 4 or 8 bytes wide");
      out.push_back(std::uint8_t(f.size));
      width = f.size;
    } else if (f.type == FieldType::Group) {
      append(out, kGroupWords);
    } else if (!isFieldType(std::uint8_t(f.type))) {
      throw std::invalid_argument("unknown field type");
    }
    for (char c : f.name) out.push_back(std::uint8_t(c));
    if (!f.name.empty()) out.push_back(0);
    if (dims) {
      out.push_back(std::uint8_t(dims));
      for (std::size_t d = 0; d < dims; ++d) putNumber(out, f.dimensions[d]);
    }
    if (f.offset != kFollows) putNumber(out, f.offset);
    std::size_t consumed = 1;
    if (f.type == FieldType::Group) {
      if (f.members > fields.size() - i - 1) throw std::invalid_argument("a group declares more members than follow it");
      const std::uint32_t inner = encodeFields(fields.subspan(i + 1, f.members), out);
      if (f.size != 0 && f.size < inner) throw std::invalid_argument("a group is smaller than its members");
      width = f.size != 0 ? f.size : inner;
      putWord(out, start + 2, std::uint32_t(width));
      putWord(out, start + 6, f.members);
      putWord(out, start + 10, std::uint32_t(out.size() - start));
      consumed += f.members;
    }
    std::uint64_t elements = 1;
    for (std::size_t d = 0; d < dims; ++d) elements *= f.dimensions[d];
    const std::uint64_t end = (f.offset == kFollows ? next : f.offset) + width * elements;
    if (end > 0xFFFFFFFF) throw std::invalid_argument("a field reaches beyond 4 GiB");
    next = end;
    extent = std::max(extent, end);
    i += consumed;
  }
  return std::uint32_t(extent);
}

}  // namespace detail

// The descriptor of fields; the described data's size is dataSize, or the fields' extent when 0.
constexpr std::vector<std::uint8_t> encodeDescriptor(std::span<const FieldSpec> fields, std::uint32_t dataSize = 0) {
  std::vector<std::uint8_t> out{std::uint8_t(FieldType::Group)};
  detail::append(out, kHeaderSize - 1);
  const std::uint32_t extent = detail::encodeFields(fields, out);
  if (dataSize != 0 && dataSize < extent) throw std::invalid_argument("the data is smaller than its fields");
  detail::putWord(out, kHeaderDataSizeAt, dataSize != 0 ? dataSize : extent);
  detail::putWord(out, kHeaderFieldCountAt, std::uint32_t(fields.size()));
  detail::putWord(out, kHeaderLengthAt, std::uint32_t(out.size()));
  return out;
}

// The size of the data the fields describe (for a class: its instance size).
constexpr std::uint32_t describedSize(std::span<const FieldSpec> fields) {
  std::vector<std::uint8_t> scratch;
  detail::append(scratch, kHeaderSize);
  return detail::encodeFields(fields, scratch);
}

// The encoded bytes of a constant declaration table, as an array made at compile time.
template <const auto& Fields>
consteval auto descriptorBytes() {
  constexpr std::size_t length = encodeDescriptor(Fields).size();
  std::array<std::uint8_t, length> bytes{};
  const std::vector<std::uint8_t> encoded = encodeDescriptor(Fields);
  std::copy(encoded.begin(), encoded.end(), bytes.begin());
  return bytes;
}

}  // namespace tamsil::record
