// The descriptor walker on arbitrary bytes: it either refuses them or walks fields that lie
// inside the described data, and a walk loses nothing: encoding the walked fields again gives
// the descriptor's bytes. A walked descriptor of modest size also lays out a queue entry whose
// every field can be written and read back.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "runtime/record/descriptor_encoder.h"
#include "runtime/record/descriptor_walker.h"
#include "runtime/record/queue.h"

using namespace tamsil::record;

namespace {

constexpr std::uint32_t kLargestEntry = 1 << 16;

void writeEveryField(const Queue& queue) {
  Entry entry = queue.newEntry();
  const auto& fields = queue.layout().fields();
  for (std::uint32_t i = 0; i < fields.size(); ++i) {
    const FieldPlace& f = fields[i];
    for (std::uint32_t e = 0; e < f.elements && e < 4; ++e) {
      switch (f.kind) {
        case FieldKind::Number:
          entry.setNumber(NumberField{i}, -1, e);
          if (entry.number(NumberField{i}, e) == 0) __builtin_trap();
          break;
        case FieldKind::Text:
          entry.setText(TextField{i}, "a text longer than many fields", e);
          if (entry.text(TextField{i}, e).size() > f.width) __builtin_trap();
          break;
        case FieldKind::Reference: entry.setReference(ReferenceField{i}, &entry, e); break;
        case FieldKind::TextReference: entry.setText(TextReferenceField{i}, "text", e); break;
        case FieldKind::Interned: entry.setText(InternedField{i}, "CATEGORY", e); break;
        case FieldKind::Group: break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto walked = walkDescriptor(bytes);
  if (!walked) {
    if (walked.error().at > size) __builtin_trap();
    return 0;
  }
  std::vector<FieldSpec> fields;
  for (const WalkedField& f : walked->fields) {
    if (std::uint64_t(f.offset) + std::uint64_t(f.elementWidth) * f.elements > walked->header.dataSize) __builtin_trap();
    if (!f.name.empty() && (f.name.data() < reinterpret_cast<const char*>(data) ||
                            f.name.data() + f.name.size() > reinterpret_cast<const char*>(data) + walked->header.length))
      __builtin_trap();
    FieldSpec s{f.type, f.name, f.type == FieldType::Group ? f.elementWidth : f.sizePart, f.members};
    if (f.hasExplicitOffset()) s.offset = f.relativeOffset;
    for (unsigned d = 0; d < f.dimensionCount; ++d) s.dimensions[d] = f.dimensions[d];
    fields.push_back(s);
  }
  const std::vector<std::uint8_t> again = encodeDescriptor(fields, walked->header.dataSize);
  if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.begin() + walked->header.length) || again.size() != walked->header.length)
    __builtin_trap();
  const auto queue = Queue::create(bytes);
  if (bool(queue) != (walked->header.dataSize <= kMaxEntrySize)) __builtin_trap();
  if (walked->header.dataSize <= kLargestEntry) writeEveryField(*queue);
  return 0;
}
