// The encoded numbers and the descriptor bytes the encoder writes, checked against bytes
// written out by hand, and the walk of hand-written descriptors.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <vector>

#include "runtime/record/descriptor_encoder.h"
#include "runtime/record/descriptor_walker.h"
#include "runtime/record/encoded_number.h"

namespace tamsil::record {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct NumberCase {
  std::uint32_t value;
  Bytes bytes;
};
void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.value; }

class EncodedNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(EncodedNumberTest, EncodesAndDecodesBothWays) {
  const NumberCase& c = GetParam();
  ASSERT_EQ(encodedLength(c.value), c.bytes.size());
  std::uint8_t out[2] = {};
  encodeNumber(c.value, out);
  EXPECT_EQ(Bytes(out, out + c.bytes.size()), c.bytes);
  Bytes followed = c.bytes;
  followed.push_back(0x7E);  // a following byte is not part of the number
  const auto decoded = decodeNumber(followed);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->value, c.value);
  EXPECT_EQ(decoded->length, c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Values, EncodedNumberTest,
                         ::testing::Values(NumberCase{0, {0x00}}, NumberCase{4, {0x04}}, NumberCase{0x1F, {0x1F}},
                                           NumberCase{0x20, {0x20, 0x20}}, NumberCase{255, {0x20, 0xFF}}, NumberCase{256, {0x21, 0x00}},
                                           NumberCase{260, {0x21, 0x04}}, NumberCase{1024, {0x24, 0x00}},
                                           NumberCase{kMaxEncodedNumber, {0xFF, 0xFF}}));

TEST(EncodedNumberTest, RefusesCutAndOverlongNumbers) {
  EXPECT_FALSE(decodeNumber(Bytes{}));
  EXPECT_FALSE(decodeNumber(Bytes{0x24}));        // the second byte is missing
  EXPECT_FALSE(decodeNumber(Bytes{0x20, 0x05}));  // 5 fits in one byte
  EXPECT_FALSE(decodeNumber(Bytes{0x20, 0x1F}));
  EXPECT_TRUE(decodeNumber(Bytes{0x20, 0x20}));
}

Bytes header(std::uint32_t dataSize, std::uint32_t fields, std::uint32_t length) {
  Bytes b{0x16, 0x00};
  for (std::uint32_t v : {dataSize, fields, length})
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
  return b;
}

Bytes join(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TEST(DescriptorEncoderTest, WritesLongAndShortStringSizes) {
  constexpr auto fields = std::to_array<FieldSpec>({stringField("POS", 1024), cstringField("TXT", 255), cstringField("K", 31)});
  const Bytes expected = join(header(1024 + 255 + 31, 3, 14 + 8 + 8 + 5), {0x12, 0x02, 0x24, 0x00, 'P', 'O', 'S', 0,  //
                                                                           0x13, 0x02, 0x20, 0xFF, 'T', 'X', 'T', 0,  //
                                                                           0x13, 0x02, 0x1F, 'K',  0});
  EXPECT_EQ(encodeDescriptor(fields), expected);
}

TEST(DescriptorEncoderTest, WritesPartsInTheirOrder) {
  // Size part, name, dimensions, offset: in that order, each only when present.
  constexpr auto fields = std::to_array<FieldSpec>({
      longField("A").at(4).dimensioned(3).dimensioned(300),
      referenceField(""),
      textReferenceField("T"),
      internedField("I").at(0),
  });
  const Bytes expected = join(header(4 + 4 * 3 * 300 + 4 + 8, 4, 14 + 9 + 3 + 5 + 5), {0x06, 0x1A, 'A',  0,   0x02, 0x03, 0x21, 0x2C, 0x04,  //
                                                                                       0x1F, 0x00, 0x04,                                     //
                                                                                       0x1F, 0x02, 0x08, 'T', 0,                             //
                                                                                       0x2B, 0x0A, 'I',  0,   0x00});
  EXPECT_EQ(encodeDescriptor(fields), expected);
}

TEST(DescriptorEncoderTest, NestsGroupsWithTheirOwnWords) {
  constexpr auto fields = std::to_array<FieldSpec>({byteField("B"), groupField("G", 2), shortField("X"), shortField("Y"), byteField("C")});
  const Bytes expected = join(header(6, 5, 14 + 4 + 16 + 4 + 4 + 4), {0x01, 0x02, 'B',  0,                                                    //
                                                                      0x16, 0x02, 0x04, 0, 0,    0,    0x02, 0, 0, 0, 0x18, 0, 0, 0, 'G', 0,  //
                                                                      0x02, 0x02, 'X',  0, 0x02, 0x02, 'Y',  0,                               //
                                                                      0x01, 0x02, 'C',  0});
  EXPECT_EQ(encodeDescriptor(fields), expected);
  EXPECT_EQ(encodeDescriptor(fields, 64)[2], 64);  // a stated data size replaces the extent
}

TEST(DescriptorEncoderTest, RefusesDeclarationsTheFormatCannotHold) {
  const std::vector<std::vector<FieldSpec>> refused = {
      {stringField("S", kMaxEncodedNumber + 1)}, {byteField("B").at(kMaxEncodedNumber + 1)}, {byteField(std::string_view("A\0B", 3))},
      {groupField("G", 2), byteField("ONLY")},   {FieldSpec{FieldType::Reference, "R", 6}},  {FieldSpec{FieldType(0x05), "DATE"}},
  };
  for (const auto& fields : refused) EXPECT_THROW(encodeDescriptor(fields), std::invalid_argument) << fields[0].name;
  EXPECT_THROW(encodeDescriptor(std::vector<FieldSpec>{longField("L")}, 3), std::invalid_argument);
  EXPECT_THROW(byteField("D").dimensioned(1).dimensioned(1).dimensioned(1).dimensioned(1).dimensioned(1), std::invalid_argument);
}

TEST(DescriptorWalkerTest, WalksHandWrittenEntries) {
  // B at 0; L with explicit offset 8 and dimensions 2 x 3; S (string 40) behind L; R a text
  // reference behind S; an unnamed 16-bit number behind R.
  const Bytes bytes = join(header(8 + 24 + 40 + 8 + 2, 5, 14 + 4 + 8 + 6 + 5 + 2), {0x01, 0x02, 'B',  0,                             //
                                                                                    0x06, 0x1A, 'L',  0,    0x02, 0x02, 0x03, 0x08,  //
                                                                                    0x12, 0x02, 0x20, 0x28, 'S',  0,                 //
                                                                                    0x1F, 0x02, 0x08, 'R',  0,                       //
                                                                                    0x03, 0x00});
  const auto walked = walkDescriptor(bytes);
  ASSERT_TRUE(walked) << walked.error().message;
  ASSERT_EQ(walked->fields.size(), 5u);
  const auto& f = walked->fields;
  EXPECT_EQ(f[0].name, "B");
  EXPECT_EQ(f[0].offset, 0u);
  EXPECT_FALSE(f[0].hasExplicitOffset());
  EXPECT_EQ(f[1].offset, 8u);
  EXPECT_TRUE(f[1].hasExplicitOffset());
  EXPECT_EQ(f[1].dimensionCount, 2);
  EXPECT_EQ(f[1].elements, 6u);
  EXPECT_EQ(f[1].width(), 24u);
  EXPECT_EQ(f[2].type, FieldType::String);
  EXPECT_EQ(f[2].sizePart, 40u);
  EXPECT_EQ(f[2].offset, 32u);
  EXPECT_EQ(f[3].sizePart, 8u);
  EXPECT_EQ(f[3].offset, 72u);
  EXPECT_EQ(f[4].name, "");
  EXPECT_EQ(f[4].offset, 80u);
  EXPECT_EQ(f[4].entryAt, 14u + 4 + 8 + 6 + 5);
}

TEST(DescriptorWalkerTest, PlacesGroupMembersRelativeToTheGroup) {
  constexpr auto fields = std::to_array<FieldSpec>({
      longField("A"),
      groupField("OUTER", 4).at(10),
      byteField("X"),
      groupField("INNER", 1),
      shortField("Y").at(3),
      byteField("Z"),
      longField("AFTER"),
  });
  const auto bytes = encodeDescriptor(fields);
  const auto walked = walkDescriptor(bytes);
  ASSERT_TRUE(walked) << walked.error().message;
  EXPECT_EQ(qualifiedNames(*walked), (std::vector<std::string>{"A", "OUTER", "OUTER.X", "OUTER.INNER", "OUTER.INNER.Y", "OUTER.Z", "AFTER"}));
  std::vector<std::uint32_t> offsets, depths;
  for (const WalkedField& f : walked->fields) offsets.push_back(f.offset), depths.push_back(f.depth);
  // OUTER at 10: X at 10, INNER at 11 (5 bytes: Y at 3 within it), Z at 16, OUTER 7 wide, AFTER at 17.
  EXPECT_EQ(offsets, (std::vector<std::uint32_t>{0, 10, 10, 11, 14, 16, 17}));
  EXPECT_EQ(depths, (std::vector<std::uint32_t>{0, 0, 1, 1, 2, 1, 0}));
  EXPECT_EQ(walked->fields[1].members, 4u);
  EXPECT_EQ(walked->header.dataSize, 21u);
}

TEST(DescriptorWalkerTest, ReadsNothingPastTheStatedLength) {
  Bytes bytes = encodeDescriptor(std::vector<FieldSpec>{byteField("B")});
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF});  // whatever follows the descriptor
  const auto walked = walkDescriptor(bytes);
  ASSERT_TRUE(walked) << walked.error().message;
  EXPECT_EQ(walked->fields.size(), 1u);
}

struct RefusalCase {
  const char* what;
  Bytes bytes;
  DescriptorFault fault;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class DescriptorRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(DescriptorRefusalTest, RefusesWithTheFault) {
  const RefusalCase& c = GetParam();
  const auto walked = walkDescriptor(c.bytes);
  ASSERT_FALSE(walked) << c.what;
  EXPECT_EQ(walked.error().fault, c.fault) << c.what << ": " << walked.error().message;
  EXPECT_LE(walked.error().at, c.bytes.size()) << c.what;
}

const Bytes kGroupOfTwo = {0x16, 0x02, 0x02, 0,   0, 0, 0x02, 0, 0, 0, 0x14, 0, 0, 0, 'G', 0,  //
                           0x01, 0x00, 0x01, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Faults, DescriptorRefusalTest,
    ::testing::Values(
        RefusalCase{"empty", {}, DescriptorFault::Truncated}, RefusalCase{"half a header", {0x16, 0x00, 0x01}, DescriptorFault::Truncated},
        RefusalCase{"not a group", join({0x12, 0x00}, Bytes(12, 0)), DescriptorFault::NotADescriptor},
        RefusalCase{"flagged header", join({0x16, 0x02}, Bytes(12, 0)), DescriptorFault::NotADescriptor},
        RefusalCase{"length past the bytes", header(0, 0, 15), DescriptorFault::BadLength},
        RefusalCase{"length inside the header", header(0, 0, 13), DescriptorFault::BadLength},
        RefusalCase{"entry cut after its type", join(header(1, 1, 15), {0x01}), DescriptorFault::Truncated},
        RefusalCase{"name without its NUL", join(header(1, 1, 17), {0x01, 0x02, 'A'}), DescriptorFault::Truncated},
        RefusalCase{"number cut", join(header(64, 1, 17), {0x12, 0x00, 0x24}), DescriptorFault::Truncated},
        RefusalCase{"unknown type", join(header(8, 1, 16), {0x04, 0x00}), DescriptorFault::UnknownType},
        RefusalCase{"end code", join(header(8, 1, 16), {0x00, 0x00}), DescriptorFault::UnknownType},
        RefusalCase{"unknown flag", join(header(1, 1, 16), {0x01, 0x01}), DescriptorFault::UnknownFlags},
        RefusalCase{"overlong number", join(header(64, 1, 18), {0x12, 0x00, 0x20, 0x05}), DescriptorFault::BadNumber},
        RefusalCase{"reference of 2", join(header(4, 1, 17), {0x1F, 0x00, 0x02}), DescriptorFault::BadReference},
        RefusalCase{"empty name", join(header(1, 1, 17), {0x01, 0x02, 0x00}), DescriptorFault::EmptyName},
        RefusalCase{"no dimensions", join(header(1, 1, 17), {0x01, 0x10, 0x00}), DescriptorFault::BadDimensions},
        RefusalCase{"five dimensions", join(header(1, 1, 22), {0x01, 0x10, 0x05, 1, 1, 1, 1, 1}), DescriptorFault::BadDimensions},
        RefusalCase{"dimension of 0", join(header(1, 1, 18), {0x01, 0x10, 0x01, 0x00}), DescriptorFault::BadDimensions},
        RefusalCase{"field past the data", join(header(3, 1, 16), {0x06, 0x00}), DescriptorFault::OutsideData},
        RefusalCase{"offset past the data", join(header(4, 1, 17), {0x02, 0x08, 0x03}), DescriptorFault::OutsideData},
        RefusalCase{"array past the data", join(header(5, 1, 18), {0x01, 0x10, 0x01, 0x06}), DescriptorFault::OutsideData},
        RefusalCase{"huge array", join(header(0xFFFFFFFF, 1, 25), {0x06, 0x10, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
                    DescriptorFault::OutsideData},
        RefusalCase{"more entries than counted", join(header(2, 1, 18), {0x01, 0x00, 0x01, 0x00}), DescriptorFault::CountMismatch},
        RefusalCase{"fewer entries than counted", join(header(2, 3, 18), {0x01, 0x00, 0x01, 0x00}), DescriptorFault::CountMismatch},
        RefusalCase{"group longer than the descriptor", [] { Bytes b = join(header(2, 3, 34), kGroupOfTwo); b[14 + 10] = 0x40; return b; }(),
                    DescriptorFault::GroupMismatch},
        RefusalCase{"group shorter than its entry", [] { Bytes b = join(header(2, 3, 34), kGroupOfTwo); b[14 + 10] = 0x08; return b; }(),
                    DescriptorFault::GroupMismatch},
        RefusalCase{"group cutting an entry", [] { Bytes b = join(header(2, 3, 34), kGroupOfTwo); b[14 + 10] = 0x13; return b; }(),
                    DescriptorFault::GroupMismatch},
        RefusalCase{"group miscounted", [] { Bytes b = join(header(2, 3, 34), kGroupOfTwo); b[14 + 6] = 0x01; return b; }(),
                    DescriptorFault::GroupMismatch},
        RefusalCase{"member past its group", [] { Bytes b = join(header(2, 3, 34), kGroupOfTwo); b[14 + 2] = 0x01; return b; }(),
                    DescriptorFault::OutsideData},
        RefusalCase{"groups too deep", [] {
                      // Each group holds the next; the innermost is empty.
                      Bytes inner;
                      for (std::uint32_t held = 0; held <= kMaxGroupDepth; ++held) {
                        const Bytes words = header(0, held, std::uint32_t(14 + inner.size()));
                        inner = join(words, inner);
                      }
                      return join(header(0, kMaxGroupDepth + 1, std::uint32_t(14 + inner.size())), inner);
                    }(),
                    DescriptorFault::TooDeep}));

TEST(DescriptorWalkerTest, AcceptsTheGroupOfTheRefusalTable) {
  // The table's group cases differ from this descriptor in one byte each.
  const Bytes bytes = join(header(2, 3, 34), kGroupOfTwo);
  const auto walked = walkDescriptor(bytes);
  ASSERT_TRUE(walked) << walked.error().message;
  EXPECT_EQ(walked->fields.size(), 3u);
}

}  // namespace
}  // namespace tamsil::record
