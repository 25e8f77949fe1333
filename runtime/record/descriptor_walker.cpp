#include "runtime/record/descriptor_walker.h"

#include <cstdio>
#include <optional>

#include "runtime/record/encoded_number.h"

namespace tamsil::record {
namespace {

std::uint32_t loadWord(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

DescriptorError fault(DescriptorFault kind, std::size_t at, std::string_view what) {
  char where[32];
  std::snprintf(where, sizeof where, " at 0x%zX", at);
  return {kind, std::uint32_t(at), std::string(what) + where};
}

// A group whose entries are being walked: the top-level record or a nested group.
struct OpenGroup {
  std::size_t end;          // where its entries end in the descriptor
  std::uint64_t dataStart;  // where its data begins in the described data
  std::uint64_t dataSize;   // bytes of one element of it
  std::uint64_t next;       // where a field without an offset lies, from dataStart
  std::uint32_t expected;   // the field count it states
  std::uint32_t seen = 0;   // entries walked inside it so far
  std::size_t at;           // its entry (or the header) in the descriptor
};

// Reads an entry's parts in order, never past the end of the innermost open group; running out
// is a truncated descriptor at the top level and a group too short for its entries below it.
class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes, std::size_t pos) : bytes_(bytes), pos_(pos) {}

  std::size_t pos() const { return pos_; }
  void limit(std::size_t end, bool nested) { end_ = end, nested_ = nested; }

  std::optional<DescriptorError> byte(std::uint8_t& out) {
    if (pos_ >= end_) return runOut();
    out = bytes_[pos_++];
    return std::nullopt;
  }
  std::optional<DescriptorError> word(std::uint32_t& out) {
    if (end_ - pos_ < 4) return runOut();
    out = loadWord(&bytes_[pos_]);
    pos_ += 4;
    return std::nullopt;
  }
  std::optional<DescriptorError> number(std::uint32_t& out) {
    const auto available = bytes_.subspan(pos_, end_ - pos_);
    const auto decoded = decodeNumber(available);
    if (!decoded) {
      if (available.empty() || (available[0] >= kTwoByteMark && available.size() < 2)) return runOut();
      return fault(DescriptorFault::BadNumber, pos_, "a number written in two bytes fits in one");
    }
    out = decoded->value;
    pos_ += decoded->length;
    return std::nullopt;
  }
  std::optional<DescriptorError> name(std::string_view& out) {
    const auto* begin = reinterpret_cast<const char*>(bytes_.data() + pos_);
    const std::string_view rest(begin, end_ - pos_);
    const std::size_t nul = rest.find('\0');
    if (nul == std::string_view::npos) return runOut();
    if (nul == 0) return fault(DescriptorFault::EmptyName, pos_, "an entry flagged as named has an empty name");
    out = rest.substr(0, nul);
    pos_ += nul + 1;
    return std::nullopt;
  }

 private:
  DescriptorError runOut() const {
    if (nested_) return fault(DescriptorFault::GroupMismatch, pos_, "an entry runs past the end of its group");
    return fault(DescriptorFault::Truncated, pos_, "the descriptor ends inside an entry");
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_;
  std::size_t end_ = 0;
  bool nested_ = false;
};

#define KESTREL_TRY(expr) \
  if (auto failed = (expr)) return *std::move(failed)

// Reads the entry at the cursor into field (all but its place), and the three words of a group.
std::optional<DescriptorError> readEntry(Cursor& in, WalkedField& field, std::uint32_t& groupLength) {
  field.entryAt = std::uint32_t(in.pos());
  std::uint8_t type = 0, flags = 0;
  KESTREL_TRY(in.byte(type));
  if (!isFieldType(type)) return fault(DescriptorFault::UnknownType, field.entryAt, "an entry of unknown type");
  KESTREL_TRY(in.byte(flags));
  if (flags & ~kKnownFlags) return fault(DescriptorFault::UnknownFlags, field.entryAt + 1, "an entry with unknown flags");
  field.type = FieldType(type);
  field.flags = flags;
  field.elementWidth = fixedWidth(field.type);
  if (hasEncodedSize(field.type)) {
    KESTREL_TRY(in.number(field.sizePart));
    field.elementWidth = field.sizePart;
  } else if (field.type == FieldType::Reference) {
    const std::size_t at = in.pos();
    std::uint8_t width = 0;
    KESTREL_TRY(in.byte(width));
    if (width != ReferenceToObject && width != ReferenceToText)
      return fault(DescriptorFault::BadReference, at, "a reference neither 4 nor 8 wide");
    field.sizePart = field.elementWidth = width;
  } else if (field.type == FieldType::Group) {
    KESTREL_TRY(in.word(field.sizePart));
    KESTREL_TRY(in.word(field.members));
    KESTREL_TRY(in.word(groupLength));
    field.elementWidth = field.sizePart;
  }
  if (flags & FlagNamed) KESTREL_TRY(in.name(field.name));
  if (flags & FlagDimensioned) {
    const std::size_t at = in.pos();
    KESTREL_TRY(in.byte(field.dimensionCount));
    if (field.dimensionCount == 0 || field.dimensionCount > kMaxDimensions)
      return fault(DescriptorFault::BadDimensions, at, "a dimensioned field with no or too many dimensions");
    std::uint64_t elements = 1;
    for (unsigned d = 0; d < field.dimensionCount; ++d) {
      KESTREL_TRY(in.number(field.dimensions[d]));
      if (field.dimensions[d] == 0) return fault(DescriptorFault::BadDimensions, at, "a dimension of 0");
      elements *= field.dimensions[d];  // at most 0xDFFF^4: fits
    }
    if (elements > 0xFFFFFFFF) return fault(DescriptorFault::OutsideData, at, "an array larger than any record");
    field.elements = std::uint32_t(elements);
  }
  if (flags & FlagOffset) KESTREL_TRY(in.number(field.relativeOffset));
  return std::nullopt;
}

}  // namespace

DescriptorResult<WalkedDescriptor> walkDescriptor(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize) return fault(DescriptorFault::Truncated, bytes.size(), "the descriptor ends inside its header");
  if (bytes[0] != std::uint8_t(FieldType::Group) || bytes[1] != 0)
    return fault(DescriptorFault::NotADescriptor, 0, "the header is not a top-level group");
  WalkedDescriptor out;
  out.header = {loadWord(&bytes[kHeaderDataSizeAt]), loadWord(&bytes[kHeaderFieldCountAt]), loadWord(&bytes[kHeaderLengthAt])};
  if (out.header.length < kHeaderSize || out.header.length > bytes.size())
    return fault(DescriptorFault::BadLength, kHeaderLengthAt, "the stated length does not fit the bytes");

  std::vector<OpenGroup> open{{out.header.length, 0, out.header.dataSize, 0, out.header.fieldCount, 0, 0}};
  Cursor in(bytes, kHeaderSize);
  while (true) {
    // Close every group whose entries are all walked.
    while (!open.empty() && in.pos() == open.back().end) {
      const OpenGroup& g = open.back();
      if (g.seen != g.expected) {
        if (open.size() == 1) return fault(DescriptorFault::CountMismatch, kHeaderFieldCountAt, "the field count disagrees with the entries");
        return fault(DescriptorFault::GroupMismatch, g.at, "a group's field count disagrees with its entries");
      }
      open.pop_back();
    }
    if (open.empty()) break;
    in.limit(open.back().end, open.size() > 1);

    WalkedField field;
    std::uint32_t groupLength = 0;
    KESTREL_TRY(readEntry(in, field, groupLength));
    OpenGroup& parent = open.back();
    const std::uint64_t relative = field.hasExplicitOffset() ? field.relativeOffset : parent.next;
    const std::uint64_t width = std::uint64_t(field.elementWidth) * field.elements;
    if (relative + width > parent.dataSize) return fault(DescriptorFault::OutsideData, field.entryAt, "a field reaches beyond its data");
    field.relativeOffset = std::uint32_t(relative);
    field.offset = std::uint32_t(parent.dataStart + relative);
    field.depth = std::uint32_t(open.size() - 1);
    parent.next = relative + width;
    for (OpenGroup& g : open) ++g.seen;

    if (field.type == FieldType::Group) {
      if (open.size() > kMaxGroupDepth) return fault(DescriptorFault::TooDeep, field.entryAt, "groups nested too deep");
      const std::size_t end = std::size_t(field.entryAt) + groupLength;
      if (end < in.pos() || end > parent.end)
        return fault(DescriptorFault::GroupMismatch, field.entryAt, "a group's length does not fit its entries");
      open.push_back({end, field.offset, field.elementWidth, 0, field.members, 0, field.entryAt});
    }
    out.fields.push_back(field);
  }
  return out;
}

#undef KESTREL_TRY

std::vector<std::string> qualifiedNames(const WalkedDescriptor& descriptor) {
  std::vector<std::string> names, path;
  for (const WalkedField& f : descriptor.fields) {
    path.resize(f.depth);
    std::string name;
    for (const std::string& p : path) name += p + ".";
    name += f.name;
    names.push_back(name);
    if (f.type == FieldType::Group) path.push_back(std::string(f.name));
  }
  return names;
}

}  // namespace tamsil::record
