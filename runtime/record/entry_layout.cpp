#include "runtime/record/entry_layout.h"

#include "platform/ascii.h"

namespace tamsil::record {
namespace {

FieldKind kindOf(const WalkedField& f) {
  switch (f.type) {
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: return FieldKind::Text;
    case FieldType::Reference: return f.sizePart == ReferenceToText ? FieldKind::TextReference : FieldKind::Reference;
    case FieldType::Interned: return FieldKind::Interned;
    case FieldType::Group: return FieldKind::Group;
    default: return FieldKind::Number;
  }
}

}  // namespace

DescriptorResult<std::shared_ptr<const EntryLayout>> EntryLayout::fromDescriptor(std::span<const std::uint8_t> descriptor) {
  auto walked = walkDescriptor(descriptor);
  if (!walked) return walked.error();
  if (walked->header.dataSize > kMaxEntrySize)
    return DescriptorError{DescriptorFault::EntryTooLarge, kHeaderDataSizeAt, "a queue entry larger than any queue holds"};
  std::shared_ptr<EntryLayout> layout(new EntryLayout);
  layout->dataSize_ = walked->header.dataSize;
  const std::vector<std::string> names = qualifiedNames(*walked);
  for (std::size_t i = 0; i < walked->fields.size(); ++i) {
    const WalkedField& f = walked->fields[i];
    FieldPlace place{names[i], f.type, kindOf(f), f.offset, f.elementWidth, f.elements, 0};
    if (place.kind == FieldKind::Reference || place.kind == FieldKind::TextReference || place.kind == FieldKind::Interned) {
      place.slot = layout->slotCount_;
      layout->slotCount_ += f.elements;
    }
    layout->fields_.push_back(std::move(place));
    layout->ownNames_.emplace_back(f.name);
  }
  return std::shared_ptr<const EntryLayout>(std::move(layout));
}

std::optional<std::uint32_t> EntryLayout::find(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  for (std::uint32_t i = 0; i < fields_.size(); ++i)
    if (platform::ascii::equalsNoCase(fields_[i].name, name)) return i;
  for (std::uint32_t i = 0; i < fields_.size(); ++i)
    if (platform::ascii::equalsNoCase(ownNames_[i], name)) return i;
  return std::nullopt;
}

}  // namespace tamsil::record
