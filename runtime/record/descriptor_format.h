// The byte format of a record-type descriptor: the layout of a record, group, queue entry or
// class described as a header followed by one entry per field, in declaration order.
//
// Header (little-endian): the group type 0x16, flags (0 at the top level), the size of the
// described data (4 bytes), the number of fields with those of nested groups (4 bytes), the
// length of the whole descriptor with its header (4 bytes). A field entry: its type, its flags,
// the size part of its type, then its name, its dimensions and its offset as its flags say. A
// nested group's entry carries the same three words as the header, and its fields follow it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tamsil::record {

// The field types a descriptor holds. Codes up to 30 are the data type codes of the file drivers.
enum class FieldType : std::uint8_t {
  Byte = 0x01,
  Short = 0x02,      // signed 16-bit
  UShort = 0x03,     // unsigned 16-bit
  Long = 0x06,       // signed 32-bit
  ULong = 0x07,      // unsigned 32-bit
  String = 0x12,     // fixed width, blank-padded; size part: its length
  CString = 0x13,    // zero-terminated; size part: its capacity, terminator included
  PString = 0x14,    // length-prefixed; size part: its capacity, length byte included
  Group = 0x16,      // size part: its data size, field count and descriptor length (4 bytes each)
  Reference = 0x1F,  // size part: one byte, the reference's width
  Interned = 0x2B,   // a reference to an interned text; no size part
};

// Whether a type byte is one of the types above; a walker refuses any other.
constexpr bool isFieldType(std::uint8_t code) {
  switch (FieldType(code)) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString:
    case FieldType::Group:
    case FieldType::Reference:
    case FieldType::Interned: return true;
  }
  return false;
}

// The bytes one element of a type takes in the record when its size part does not say so.
constexpr std::uint32_t fixedWidth(FieldType type) {
  switch (type) {
    case FieldType::Byte: return 1;
    case FieldType::Short:
    case FieldType::UShort: return 2;
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::Interned: return 4;
    default: return 0;
  }
}

// Whether the type's size part is an encoded number (a string's length or capacity).
constexpr bool hasEncodedSize(FieldType type) { return type == FieldType::String || type == FieldType::CString || type == FieldType::PString; }

enum FieldFlag : std::uint8_t {
  FlagNamed = 0x02,        // the entry carries a name
  FlagOffset = 0x08,       // the entry carries an explicit byte offset
  FlagDimensioned = 0x10,  // the field is an array; its dimensions follow the name
};
inline constexpr std::uint8_t kKnownFlags = FlagNamed | FlagOffset | FlagDimensioned;

// The width byte of a reference.
enum ReferenceWidth : std::uint8_t {
  ReferenceToObject = 4,  // an address
  ReferenceToText = 8,    // a text: address and length
};

inline constexpr std::size_t kHeaderSize = 14;
inline constexpr std::size_t kHeaderDataSizeAt = 2, kHeaderFieldCountAt = 6, kHeaderLengthAt = 10;
inline constexpr std::size_t kGroupWords = 12;  // a group's size, field count and length

// Limits that keep a walk over hostile bytes short: no program declares more.
inline constexpr unsigned kMaxDimensions = 4;
inline constexpr unsigned kMaxGroupDepth = 16;
// A queue holds entries of at most this size; a larger layout is refused, not allocated.
inline constexpr std::uint32_t kMaxEntrySize = 1 << 20;

// A class instance begins with its table of virtual operations, so its first field lies here.
inline constexpr std::uint32_t kFirstClassFieldOffset = 4;

}  // namespace tamsil::record
