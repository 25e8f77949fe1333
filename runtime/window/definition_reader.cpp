#include "runtime/window/definition_reader.h"

#include <cstring>
#include <set>
#include <string>

#include "runtime/window/little_endian.h"

namespace tamsil::window {
namespace {

DefinitionError fault(DefinitionFault f, std::uint32_t offset, std::string message) { return {f, offset, std::move(message)}; }

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

Result<Container> parseContainer(std::span<const std::uint8_t> resource) {
  const void* nul = std::memchr(resource.data(), 0, resource.size());
  if (nul == nullptr) return fault(DefinitionFault::Truncated, 0, "container ends inside its module name");
  const std::size_t nameLength = static_cast<const std::uint8_t*>(nul) - resource.data();
  Container c{{reinterpret_cast<const char*>(resource.data()), nameLength}, resource.subspan(nameLength + 1)};
  if (c.body.size() < 4) return fault(DefinitionFault::Truncated, kFirstWindowWord, "container ends inside its first-window word");
  return c;
}

DefinitionBuffer makeDefinitionBuffer(std::span<const std::uint8_t> body) {
  DefinitionBuffer buffer(kBodyBias + body.size(), 0);
  std::copy(body.begin(), body.end(), buffer.begin() + kBodyBias);
  return buffer;
}

Result<std::span<const std::uint8_t>> DefinitionReader::range(std::uint32_t offset, std::uint32_t length, std::string_view what) const {
  if (offset < kBodyBias || std::uint64_t(offset) + length > buf_.size())
    return fault(
        DefinitionFault::OffsetOutOfRange, offset,
        std::string(what) + " at offset " + hexText(offset) + " (" + std::to_string(length) + " bytes) lies outside the definition body");
  return buf_.subspan(offset, length);
}

Result<std::uint32_t> DefinitionReader::u32(std::uint32_t offset) const {
  auto r = range(offset, 4, "word");
  if (!r) return r.error();
  return loadU32(r->data());
}

Result<std::string_view> DefinitionReader::string(std::uint32_t offset) const {
  auto r = range(offset, 1, "string");
  if (!r) return r.error();
  const std::span<const std::uint8_t> rest = buf_.subspan(offset);
  const void* nul = std::memchr(rest.data(), 0, rest.size());
  if (nul == nullptr)
    return fault(DefinitionFault::UnterminatedString, offset, "string at offset " + hexText(offset) + " has no terminating NUL");
  return std::string_view(reinterpret_cast<const char*>(rest.data()), static_cast<const std::uint8_t*>(nul) - rest.data());
}

Result<std::optional<std::string_view>> DefinitionReader::optionalString(std::uint32_t offset) const {
  if (offset == kNoOffset) return std::optional<std::string_view>();
  auto s = string(offset);
  if (!s) return s.error();
  return std::optional<std::string_view>(*s);
}

Result<FontRecord> DefinitionReader::font(std::uint32_t offset) const {
  auto r = range(offset, kFontRecordSize, "font record");
  if (!r) return r.error();
  const std::uint8_t* p = r->data();
  auto face = string(loadU32(p + kFontFace));
  if (!face) return face.error();
  return FontRecord{*face, p[kFontSize], p[kFontCharset], loadU32(p + kFontColour), loadU32(p + kFontWeight)};
}

Result<ColorTriple> DefinitionReader::colours(std::uint32_t offset) const {
  auto r = range(offset, kColorTripleSize, "colour triple");
  if (!r) return r.error();
  return ColorTriple{{loadU32(r->data()), loadU32(r->data() + 4), loadU32(r->data() + 8)}};
}

Result<VariableBinding> DefinitionReader::binding(std::uint32_t offset) const {
  auto r = range(offset, kVariableBindingSize, "variable binding");
  if (!r) return r.error();
  return VariableBinding{(*r)[0], (*r)[1]};
}

Result<std::vector<std::uint32_t>> DefinitionReader::alertKeys(std::uint32_t offset) const {
  std::vector<std::uint32_t> keys;
  std::set<std::uint32_t> seen;
  while (offset != kNoOffset) {
    if (!seen.insert(offset).second) return fault(DefinitionFault::Cycle, offset, "alert key list returns to offset " + hexText(offset));
    auto r = range(offset, kAlertPairSize, "alert key pair");
    if (!r) return r.error();
    keys.push_back(loadU32(r->data()));
    offset = loadU32(r->data() + 4);
  }
  return keys;
}

Result<BlockA> DefinitionReader::blockA(std::span<const std::uint8_t> at) const {
  BlockA a;
  const std::pair<std::uint32_t, std::optional<std::string_view>*> strings[] = {
      {kBlockAltMessage, &a.altMessage}, {kBlockMessage, &a.message}, {kBlockHelp, &a.help}};
  for (const auto& [at_, target] : strings) {
    auto s = optionalString(loadU32(at.data() + at_));
    if (!s) return s.error();
    *target = *s;
  }
  a.attributes = loadU32(at.data() + kBlockAttributes);
  auto keys = alertKeys(loadU32(at.data() + kBlockAlertKeys));
  if (!keys) return keys.error();
  a.alertKeys = std::move(keys).value();
  return a;
}

Result<DefinitionRecord> DefinitionReader::record(std::uint32_t offset) const {
  auto kindByte = range(offset, 1, "record");
  if (!kindByte) return kindByte.error();
  const std::uint8_t kind = (*kindByte)[0];
  if (const RecordLayout* layout = layoutOf(kind)) return record(offset, *layout);
  if (isHeaderOnlyKind(kind)) return record(offset, headerOnlyLayout());
  return fault(DefinitionFault::UnknownKind, offset, "record at offset " + hexText(offset) + " has unknown kind " + hexText(kind));
}

Result<DefinitionRecord> DefinitionReader::record(std::uint32_t offset, const RecordLayout& layout) const {
  auto bytes = range(offset, layout.length, "record");
  if (!bytes) return bytes.error();
  DefinitionRecord rec;
  rec.offset = offset;
  rec.kind = (*bytes)[0];
  rec.layout = &layout;
  rec.bytes = *bytes;
  for (const SlotAt& a : layout.slots) {
    const std::uint8_t* p = bytes->data() + a.offset;
    const std::uint32_t word = loadU32(p);
    if (isTextSlot(a.slot)) {
      auto s = optionalString(word);
      if (!s) return s.error();
      rec.texts[std::size_t(a.slot)] = *s;
      continue;
    }
    switch (a.slot) {
      case Slot::Next: rec.next = word; break;
      case Slot::Attributes: rec.attributes = word; break;
      case Slot::Field: rec.field = std::int32_t(word); break;
      case Slot::Action: rec.action = word; break;
      case Slot::State: rec.state = word; break;
      case Slot::Child: rec.child = word; break;
      case Slot::MenuBar: rec.menuBar = word; break;
      case Slot::Pos: rec.pos = {loadI32(p), loadI32(p + 4), loadI32(p + 8), loadI32(p + 12)}; break;
      case Slot::BlockA: {
        auto b = blockA({p, kBlockASize});
        if (!b) return b.error();
        rec.blockA = std::move(b).value();
        break;
      }
      case Slot::Font:
        if (word != kNoOffset) {
          auto f = font(word);
          if (!f) return f.error();
          rec.font = *f;
        }
        break;
      case Slot::Colours:
        if (word != kNoOffset) {
          auto c = colours(word);
          if (!c) return c.error();
          rec.colours = *c;
        }
        break;
      case Slot::Var:
        if (word != kNoOffset) {
          auto v = binding(word);
          if (!v) return v.error();
          rec.var = *v;
        }
        break;
      default: break;  // text slots were handled above
    }
  }
  return rec;
}

Result<DefinitionRecord> DefinitionReader::window(std::uint32_t offset) const {
  auto rec = record(offset);
  if (!rec) return rec;
  if (!rec->isWindow())
    return fault(DefinitionFault::WrongKind, offset,
                 "record at offset " + hexText(offset) + " of kind " + hexText(rec->kind) + " is not a window");
  return rec;
}

Result<std::uint32_t> DefinitionReader::firstWindow() const { return u32(kFirstWindowWord); }

Result<std::vector<std::uint32_t>> DefinitionReader::windowOffsets() const {
  auto first = firstWindow();
  if (!first) return first.error();
  std::vector<std::uint32_t> offsets;
  std::set<std::uint32_t> seen;
  for (std::uint32_t at = *first; at != kNoOffset;) {
    if (!seen.insert(at).second) return fault(DefinitionFault::Cycle, at, "window chain returns to offset " + hexText(at));
    auto w = window(at);
    if (!w) return w.error();
    offsets.push_back(at);
    at = w->next;
  }
  return offsets;
}

Result<std::uint32_t> DefinitionReader::findWindow(std::string_view label) const {
  auto offsets = windowOffsets();
  if (!offsets) return offsets.error();
  for (std::uint32_t at : *offsets) {
    auto w = window(at);
    if (!w) return w.error();
    if (const auto l = w->text(Slot::Label); l && sameName(*l, label)) return at;
  }
  return fault(DefinitionFault::LabelNotFound, kNoOffset, "no window labelled \"" + std::string(label) + "\"");
}

}  // namespace tamsil::window
