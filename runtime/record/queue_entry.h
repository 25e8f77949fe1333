// One queue entry: its bytes in the layout of the entry descriptor, and the slots that hold its
// references and interned texts. A new entry is cleared: numbers 0, fixed-width strings blank,
// other strings empty, references null. Using a field handle of another kind or layout, or an
// element past a field's dimensions, is a programming error and ends the program.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "runtime/record/entry_layout.h"

namespace tamsil::record {

class Entry {
 public:
  explicit Entry(std::shared_ptr<const EntryLayout> layout);

  const EntryLayout& layout() const { return *layout_; }
  bool sharesLayout(const Entry& other) const { return layout_ == other.layout_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  // A number reads as its type says (bytes and unsigned types without sign); a store keeps the
  // low bits that fit the field, as a store to a field of that width does.
  std::int64_t number(NumberField f, std::uint32_t element = 0) const;
  void setNumber(NumberField f, std::int64_t value, std::uint32_t element = 0);

  // A fixed-width string reads as stored, blanks included; a zero-terminated one up to its NUL;
  // a length-prefixed one as long as its length byte says. A store cuts the text to fit (a NUL
  // or a length byte takes one byte of the capacity) and pads a fixed-width string with blanks.
  std::string_view text(TextField f, std::uint32_t element = 0) const;
  void setText(TextField f, std::string_view value, std::uint32_t element = 0);

  // References are not owned: the entry keeps the address (and a text's length) it is given.
  void* reference(ReferenceField f, std::uint32_t element = 0) const;
  void setReference(ReferenceField f, void* object, std::uint32_t element = 0);
  std::string_view text(TextReferenceField f, std::uint32_t element = 0) const;
  void setText(TextReferenceField f, std::string_view value, std::uint32_t element = 0);

  // An interned text is stored as its interned copy; a new entry's reads empty.
  std::string_view text(InternedField f, std::uint32_t element = 0) const;
  void setText(InternedField f, std::string_view value, std::uint32_t element = 0);

 private:
  struct Slot {
    const void* address = nullptr;
    std::size_t length = 0;
  };

  const FieldPlace& place(std::uint32_t index, FieldKind kind, std::uint32_t element) const;
  Slot& slot(std::uint32_t index, FieldKind kind, std::uint32_t element);
  const Slot& slot(std::uint32_t index, FieldKind kind, std::uint32_t element) const;

  std::shared_ptr<const EntryLayout> layout_;
  std::vector<std::uint8_t> bytes_;
  std::vector<Slot> slots_;
};

}  // namespace tamsil::record
