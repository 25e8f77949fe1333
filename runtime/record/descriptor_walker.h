// Walking a descriptor: its header and its field entries in declaration order, each with the
// place of its field in the described data. Descriptors reach the walker as bytes, so every read
// is bounds-checked and every inconsistency comes back as a DescriptorError: no input makes the
// walker read outside its bytes or describe a field outside its data.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "runtime/record/descriptor_format.h"

namespace tamsil::record {

enum class DescriptorFault {
  Truncated,       // the bytes end inside the header or an entry
  NotADescriptor,  // the header's type is not a group, or its flags are not 0
  BadLength,       // the stated length is shorter than the header or longer than the bytes
  UnknownType,     // an entry of a type no descriptor holds
  UnknownFlags,    // an entry with flag bits no descriptor uses
  BadNumber,       // an encoded number written in two bytes though it fits in one
  BadReference,    // a reference whose width is neither 4 nor 8
  EmptyName,       // an entry flagged as named whose name is empty
  BadDimensions,   // no dimensions, more than kMaxDimensions, or a dimension of 0
  OutsideData,     // a field reaches beyond the data of its record or group
  GroupMismatch,   // a nested group's length or field count disagrees with the entries in it
  CountMismatch,   // the header's field count disagrees with the entries
  TooDeep,         // groups nested deeper than kMaxGroupDepth
  EntryTooLarge,   // a queue entry larger than kMaxEntrySize
};

struct DescriptorError {
  DescriptorFault fault;
  std::uint32_t at;  // position in the descriptor where the fault was found
  std::string message;
};

// A value or the error that prevented it.
template <class T>
class DescriptorResult {
 public:
  DescriptorResult(T value) : v_(std::move(value)) {}                // NOLINT: implicit, like expected<T>
  DescriptorResult(DescriptorError error) : v_(std::move(error)) {}  // NOLINT

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }
  const DescriptorError& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, DescriptorError> v_;
};

struct DescriptorHeader {
  std::uint32_t dataSize = 0;
  std::uint32_t fieldCount = 0;
  std::uint32_t length = 0;
};

// One field entry as walked.
struct WalkedField {
  FieldType type = FieldType::Byte;
  std::uint8_t flags = 0;
  std::string_view name;           // a view into the descriptor; empty when the entry has none
  std::uint32_t sizePart = 0;      // string length or capacity, reference width, a group's data size
  std::uint32_t elementWidth = 0;  // bytes one element takes
  std::array<std::uint32_t, kMaxDimensions> dimensions{};
  std::uint8_t dimensionCount = 0;
  std::uint32_t elements = 1;        // the product of the dimensions
  std::uint32_t relativeOffset = 0;  // from the start of the enclosing group (what an explicit offset says)
  std::uint32_t offset = 0;          // from the start of the described data
  std::uint32_t members = 0;         // a group's field count, its nested groups' fields included
  std::uint32_t depth = 0;           // 0 for a field of the record itself, 1 inside a group ...
  std::uint32_t entryAt = 0;         // where the entry begins in the descriptor

  std::uint32_t width() const { return elementWidth * elements; }
  bool hasExplicitOffset() const { return flags & FlagOffset; }
};

struct WalkedDescriptor {
  DescriptorHeader header;
  std::vector<WalkedField> fields;  // declaration order, a group's members right after it
};

// Walks the descriptor at the start of bytes; bytes past its stated length are not read.
DescriptorResult<WalkedDescriptor> walkDescriptor(std::span<const std::uint8_t> bytes);

// The names of the walked fields in order, each group's members as "GROUP.FIELD".
std::vector<std::string> qualifiedNames(const WalkedDescriptor& descriptor);

}  // namespace tamsil::record
