// A queue entry's layout as the queue reaches it: every field of the entry descriptor with its
// place in the entry's bytes, found by name. Numbers and strings live in the bytes at the
// descriptor's offsets; references and interned texts are held beside the bytes in full-width
// slots (a descriptor gives them 4 or 8 bytes, which cannot hold an address and a length here).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/record/descriptor_format.h"
#include "runtime/record/descriptor_walker.h"

namespace tamsil::record {

enum class FieldKind {
  Number,         // byte, 16-bit, 32-bit
  Text,           // fixed-width, zero-terminated or length-prefixed string
  Reference,      // an object's address
  TextReference,  // a text held elsewhere: address and length
  Interned,       // an interned text
  Group,          // reached only through its members
};

struct FieldPlace {
  std::string name;  // qualified with its groups' names: "AFTER.XPOS"
  FieldType type = FieldType::Byte;
  FieldKind kind = FieldKind::Number;
  std::uint32_t offset = 0;  // in the entry's bytes
  std::uint32_t width = 0;   // bytes of one element
  std::uint32_t elements = 1;
  std::uint32_t slot = 0;  // references and interned texts: the first of their slots
};

// A field of one kind, as EntryLayout::field finds it; entries refuse a handle of another kind.
template <FieldKind K>
struct Field {
  std::uint32_t index = 0;
};
using NumberField = Field<FieldKind::Number>;
using TextField = Field<FieldKind::Text>;
using ReferenceField = Field<FieldKind::Reference>;
using TextReferenceField = Field<FieldKind::TextReference>;
using InternedField = Field<FieldKind::Interned>;

class EntryLayout {
 public:
  static DescriptorResult<std::shared_ptr<const EntryLayout>> fromDescriptor(std::span<const std::uint8_t> descriptor);

  std::uint32_t dataSize() const { return dataSize_; }
  std::uint32_t slotCount() const { return slotCount_; }
  const std::vector<FieldPlace>& fields() const { return fields_; }

  // The field named name, compared without case: a qualified name ("AFTER.XPOS") or a field's
  // own name, which finds the first field of that name in declaration order.
  std::optional<std::uint32_t> find(std::string_view name) const;

  template <FieldKind K>
  std::optional<Field<K>> field(std::string_view name) const {
    const auto i = find(name);
    if (!i || fields_[*i].kind != K) return std::nullopt;
    return Field<K>{*i};
  }

 private:
  EntryLayout() = default;

  std::uint32_t dataSize_ = 0;
  std::uint32_t slotCount_ = 0;
  std::vector<FieldPlace> fields_;
  std::vector<std::string> ownNames_;  // each field's name without its groups
};

}  // namespace tamsil::record
