#include "runtime/record/queue_entry.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/internal_fault.h"
#include "runtime/record/interned_text.h"

namespace tamsil::record {

Entry::Entry(std::shared_ptr<const EntryLayout> layout)
    : layout_(std::move(layout)), bytes_(layout_->dataSize()), slots_(layout_->slotCount()) {
  for (const FieldPlace& f : layout_->fields())
    if (f.type == FieldType::String) std::fill_n(bytes_.begin() + f.offset, std::size_t(f.width) * f.elements, std::uint8_t(' '));
}

const FieldPlace& Entry::place(std::uint32_t index, FieldKind kind, std::uint32_t element) const {
  const auto& fields = layout_->fields();
  if (index >= fields.size() || fields[index].kind != kind) internalFault("queue entry field of another kind or layout");
  if (element >= fields[index].elements) internalFault("queue entry field element out of range");
  return fields[index];
}

Entry::Slot& Entry::slot(std::uint32_t index, FieldKind kind, std::uint32_t element) {
  return slots_[place(index, kind, element).slot + element];
}

const Entry::Slot& Entry::slot(std::uint32_t index, FieldKind kind, std::uint32_t element) const {
  return slots_[place(index, kind, element).slot + element];
}

std::int64_t Entry::number(NumberField f, std::uint32_t element) const {
  const FieldPlace& p = place(f.index, FieldKind::Number, element);
  const std::uint8_t* at = bytes_.data() + p.offset + std::size_t(p.width) * element;
  std::uint32_t raw = 0;
  for (std::uint32_t i = 0; i < p.width; ++i) raw |= std::uint32_t(at[i]) << (8 * i);
  switch (p.type) {
    case FieldType::Short: return std::int16_t(raw);
    case FieldType::Long: return std::int32_t(raw);
    default: return raw;  // byte, unsigned 16-bit and 32-bit
  }
}

void Entry::setNumber(NumberField f, std::int64_t value, std::uint32_t element) {
  const FieldPlace& p = place(f.index, FieldKind::Number, element);
  std::uint8_t* at = bytes_.data() + p.offset + std::size_t(p.width) * element;
  for (std::uint32_t i = 0; i < p.width; ++i) at[i] = std::uint8_t(std::uint64_t(value) >> (8 * i));
}

std::string_view Entry::text(TextField f, std::uint32_t element) const {
  const FieldPlace& p = place(f.index, FieldKind::Text, element);
  const char* at = reinterpret_cast<const char*>(bytes_.data()) + p.offset + std::size_t(p.width) * element;
  switch (p.type) {
    case FieldType::CString: return std::string_view(at, std::find(at, at + p.width, '\0') - at);
    case FieldType::PString:
      return p.width == 0 ? std::string_view() : std::string_view(at + 1, std::min<std::size_t>(std::uint8_t(at[0]), p.width - 1));
    default: return std::string_view(at, p.width);
  }
}

void Entry::setText(TextField f, std::string_view value, std::uint32_t element) {
  const FieldPlace& p = place(f.index, FieldKind::Text, element);
  std::uint8_t* at = bytes_.data() + p.offset + std::size_t(p.width) * element;
  std::fill_n(at, p.width, std::uint8_t(p.type == FieldType::String ? ' ' : 0));
  if (p.width == 0) return;
  switch (p.type) {
    case FieldType::CString: value = value.substr(0, p.width - 1); break;
    case FieldType::PString:
      value = value.substr(0, std::min<std::size_t>(p.width - 1, 255));
      *at++ = std::uint8_t(value.size());
      break;
    default: value = value.substr(0, p.width); break;
  }
  std::memcpy(at, value.data(), value.size());
}

void* Entry::reference(ReferenceField f, std::uint32_t element) const {
  return const_cast<void*>(slot(f.index, FieldKind::Reference, element).address);
}

void Entry::setReference(ReferenceField f, void* object, std::uint32_t element) { slot(f.index, FieldKind::Reference, element) = {object, 0}; }

std::string_view Entry::text(TextReferenceField f, std::uint32_t element) const {
  const Slot& s = slot(f.index, FieldKind::TextReference, element);
  return s.address ? std::string_view(static_cast<const char*>(s.address), s.length) : std::string_view();
}

void Entry::setText(TextReferenceField f, std::string_view value, std::uint32_t element) {
  slot(f.index, FieldKind::TextReference, element) = {value.data(), value.size()};
}

std::string_view Entry::text(InternedField f, std::uint32_t element) const {
  const Slot& s = slot(f.index, FieldKind::Interned, element);
  return s.address ? std::string_view(static_cast<const char*>(s.address), s.length) : std::string_view();
}

void Entry::setText(InternedField f, std::string_view value, std::uint32_t element) {
  const std::string_view interned = internText(value);
  slot(f.index, FieldKind::Interned, element) = {interned.data(), interned.size()};
}

}  // namespace tamsil::record
