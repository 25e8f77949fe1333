// Queues made from entry descriptors: entries keep each field in its width, queues append,
// find, remove, sort and free, and a refused descriptor makes no queue.
#include "runtime/record/queue.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/record/descriptor_encoder.h"
#include "runtime/record/framework_descriptors.h"
#include "runtime/record/interned_text.h"

namespace tamsil::record {
namespace {

constexpr auto kMixedFields = std::to_array<FieldSpec>({
    byteField("B"),
    shortField("S"),
    ushortField("U"),
    longField("L"),
    ulongField("UL"),
    stringField("FIX", 6),
    cstringField("CSTR", 5),
    pstringField("PSTR", 5),
    referenceField("OBJ"),
    textReferenceField("TEXT"),
    internedField("CAT"),
    longField("ARR").dimensioned(3),
});
constexpr auto kMixed = descriptorBytes<kMixedFields>();

Queue makeQueue(Descriptor d) {
  auto q = Queue::create(d);
  EXPECT_TRUE(q) << q.error().message;
  return std::move(q).value();
}

template <FieldKind K>
Field<K> fieldOf(const Queue& q, std::string_view name) {
  const auto f = q.field<K>(name);
  EXPECT_TRUE(f) << name;
  return f.value_or(Field<K>{});
}

struct NumberCase {
  const char* field;
  std::int64_t stored;
  std::int64_t read;
};
void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.field << " " << c.stored; }

class QueueNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(QueueNumberTest, KeepsTheBitsThatFitTheField) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  const NumberField f = fieldOf<FieldKind::Number>(q, GetParam().field);
  e.setNumber(f, GetParam().stored);
  EXPECT_EQ(e.number(f), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Widths, QueueNumberTest,
                         ::testing::Values(NumberCase{"B", 200, 200}, NumberCase{"B", 256 + 7, 7}, NumberCase{"B", -1, 255},
                                           NumberCase{"S", -2, -2}, NumberCase{"S", 0x8000, -0x8000}, NumberCase{"U", -1, 0xFFFF},
                                           NumberCase{"U", 0x12345, 0x2345}, NumberCase{"L", -70000, -70000},
                                           NumberCase{"L", 0x80000000LL, -0x80000000LL}, NumberCase{"UL", -1, 0xFFFFFFFFLL},
                                           NumberCase{"UL", 0x1'0000'0001LL, 1}));

TEST(QueueEntryTest, NumbersLieAtTheirOffsetsLittleEndian) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  e.setNumber(fieldOf<FieldKind::Number>(q, "S"), 0x1234);
  e.setNumber(fieldOf<FieldKind::Number>(q, "L"), 0x0A0B0C0D);
  EXPECT_EQ(e.bytes()[1], 0x34);
  EXPECT_EQ(e.bytes()[2], 0x12);
  EXPECT_EQ(e.bytes()[5], 0x0D);
  EXPECT_EQ(e.bytes()[8], 0x0A);
  EXPECT_EQ(e.bytes().size(), q.layout().dataSize());
}

struct TextCase {
  const char* field;
  const char* stored;
  std::string read;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.field << " \"" << c.stored << "\""; }

class QueueTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(QueueTextTest, CutsAndPadsAsTheStringTypeSays) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  const TextField f = fieldOf<FieldKind::Text>(q, GetParam().field);
  e.setText(f, "zzzzzzzzzz");  // a longer value before must leave nothing behind
  e.setText(f, GetParam().stored);
  EXPECT_EQ(e.text(f), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Strings, QueueTextTest,
                         ::testing::Values(TextCase{"FIX", "ab", "ab    "}, TextCase{"FIX", "abcdefgh", "abcdef"},
                                           TextCase{"FIX", "", "      "}, TextCase{"CSTR", "ab", "ab"}, TextCase{"CSTR", "abcdefgh", "abcd"},
                                           TextCase{"PSTR", "abc", "abc"}, TextCase{"PSTR", "abcdefgh", "abcd"}, TextCase{"PSTR", "", ""}));

TEST(QueueEntryTest, NewEntriesAreCleared) {
  const Queue q = makeQueue(kMixed);
  const Entry e = q.newEntry();
  EXPECT_EQ(e.number(fieldOf<FieldKind::Number>(q, "L")), 0);
  EXPECT_EQ(e.text(fieldOf<FieldKind::Text>(q, "FIX")), "      ");
  EXPECT_EQ(e.text(fieldOf<FieldKind::Text>(q, "CSTR")), "");
  EXPECT_EQ(e.text(fieldOf<FieldKind::Text>(q, "PSTR")), "");
  EXPECT_EQ(e.reference(fieldOf<FieldKind::Reference>(q, "OBJ")), nullptr);
  EXPECT_EQ(e.text(fieldOf<FieldKind::TextReference>(q, "TEXT")), "");
  EXPECT_EQ(e.text(fieldOf<FieldKind::Interned>(q, "CAT")), "");
}

TEST(QueueEntryTest, HoldsReferencesAndInternedTextsInFull) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  int object = 0;
  const std::string message = "The value of %Field must be found in the %Message file.";
  e.setReference(fieldOf<FieldKind::Reference>(q, "OBJ"), &object);
  e.setText(fieldOf<FieldKind::TextReference>(q, "TEXT"), message);
  std::string category = "FWK";
  e.setText(fieldOf<FieldKind::Interned>(q, "CAT"), category);
  category = "changed";  // the entry holds the interned copy, not the caller's text
  EXPECT_EQ(e.reference(fieldOf<FieldKind::Reference>(q, "OBJ")), &object);
  EXPECT_EQ(e.text(fieldOf<FieldKind::TextReference>(q, "TEXT")).data(), message.data());  // not copied
  EXPECT_EQ(e.text(fieldOf<FieldKind::TextReference>(q, "TEXT")).size(), message.size());
  EXPECT_EQ(e.text(fieldOf<FieldKind::Interned>(q, "CAT")), "FWK");
  EXPECT_EQ(e.text(fieldOf<FieldKind::Interned>(q, "CAT")).data(), internText("FWK").data());
  // The slots lie beside the bytes: the bytes of the reference fields stay zero.
  for (std::uint8_t b : e.bytes().subspan(1 + 2 + 2 + 4 + 4 + 6 + 5 + 5, 4 + 8 + 4)) EXPECT_EQ(b, 0);
}

TEST(QueueEntryTest, ArraysHaveOneValuePerElement) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  const NumberField arr = fieldOf<FieldKind::Number>(q, "ARR");
  for (std::uint32_t i = 0; i < 3; ++i) e.setNumber(arr, 10 + i, i);
  for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(e.number(arr, i), 10 + i);
  EXPECT_DEATH(e.number(arr, 3), "element out of range");
}

TEST(QueueEntryTest, HandlesOfAnotherKindEndTheProgram) {
  const Queue q = makeQueue(kMixed);
  Entry e = q.newEntry();
  const auto text = fieldOf<FieldKind::Text>(q, "FIX");
  EXPECT_DEATH(e.number(NumberField{text.index}), "another kind");
  EXPECT_DEATH(e.number(NumberField{999}), "another kind");
}

TEST(QueueLayoutTest, FindsFieldsByNameKindAndGroup) {
  const Queue moves = makeQueue(kMoveEntry);
  EXPECT_TRUE(moves.field<FieldKind::Number>("priority"));  // without case
  EXPECT_FALSE(moves.field<FieldKind::Text>("PRIORITY"));   // of another kind
  EXPECT_FALSE(moves.field<FieldKind::Number>("NOSUCH"));
  EXPECT_FALSE(moves.field<FieldKind::Number>(""));
  EXPECT_FALSE(moves.field<FieldKind::Number>("BEFORE"));  // a group is reached through its members
  const auto beforeX = moves.field<FieldKind::Number>("BEFORE.XPOS");
  const auto afterX = moves.field<FieldKind::Number>("AFTER.XPOS");
  const auto firstX = moves.field<FieldKind::Number>("XPOS");
  ASSERT_TRUE(beforeX && afterX && firstX);
  EXPECT_NE(beforeX->index, afterX->index);
  EXPECT_EQ(firstX->index, beforeX->index);  // a bare name finds the first in declaration order
  EXPECT_EQ(moves.layout().fields()[afterX->index].offset, 12u + 16u);
}

std::vector<std::int64_t> column(const Queue& q, NumberField f) {
  std::vector<std::int64_t> out;
  for (const Entry& e : q.entries()) out.push_back(e.number(f));
  return out;
}

Queue buttons(std::initializer_list<std::pair<int, int>> rows) {
  Queue q = makeQueue(kButtonEntry);
  const NumberField control = fieldOf<FieldKind::Number>(q, "CONTROL"), action = fieldOf<FieldKind::Number>(q, "ACTION");
  for (auto [c, a] : rows) {
    Entry e = q.newEntry();
    e.setNumber(control, c);
    e.setNumber(action, a);
    q.append(std::move(e));
  }
  return q;
}

TEST(QueueTest, AppendsGetsAndRemovesByPosition) {
  Queue q = buttons({{21, 2}, {22, 1}, {23, 2}});
  const NumberField control = fieldOf<FieldKind::Number>(q, "CONTROL");
  ASSERT_EQ(q.records(), 3u);
  EXPECT_EQ(q.get(0), nullptr);
  EXPECT_EQ(q.get(4), nullptr);
  ASSERT_NE(q.get(1), nullptr);
  EXPECT_EQ(q.get(1)->number(control), 21);
  q.get(3)->setNumber(control, 30);  // a got entry is changed in place
  EXPECT_FALSE(q.remove(0));
  EXPECT_FALSE(q.remove(4));
  EXPECT_TRUE(q.remove(2));
  EXPECT_EQ(column(q, control), (std::vector<std::int64_t>{21, 30}));
  q.free();
  EXPECT_TRUE(q.empty());
  q.append(q.newEntry());  // a freed queue takes entries again
  EXPECT_EQ(q.records(), 1u);
}

TEST(QueueTest, RefusesEntriesOfAnotherQueue) {
  Queue a = makeQueue(kButtonEntry), b = makeQueue(kButtonEntry);
  EXPECT_DEATH(a.append(b.newEntry()), "another layout");
}

TEST(QueueTest, SortsByNumbersStablyBothWays) {
  Queue q = buttons({{3, 1}, {1, 2}, {3, 3}, {2, 4}, {1, 5}});
  const NumberField control = fieldOf<FieldKind::Number>(q, "CONTROL"), action = fieldOf<FieldKind::Number>(q, "ACTION");
  q.sort(control);
  EXPECT_EQ(column(q, control), (std::vector<std::int64_t>{1, 1, 2, 3, 3}));
  EXPECT_EQ(column(q, action), (std::vector<std::int64_t>{2, 5, 4, 1, 3}));
  q.sort(control, SortOrder::Descending);
  EXPECT_EQ(column(q, control), (std::vector<std::int64_t>{3, 3, 2, 1, 1}));
  EXPECT_EQ(column(q, action), (std::vector<std::int64_t>{1, 3, 4, 2, 5}));  // equal entries keep their order
}

TEST(QueueTest, SortsSignedNumbersBySign) {
  Queue q = makeQueue(kMoveEntry);
  const NumberField priority = fieldOf<FieldKind::Number>(q, "PRIORITY");
  for (int v : {5, -3, 0, -40}) {
    Entry e = q.newEntry();
    e.setNumber(priority, v);
    q.append(std::move(e));
  }
  q.sort(priority);
  EXPECT_EQ(column(q, priority), (std::vector<std::int64_t>{-40, -3, 0, 5}));
}

TEST(QueueTest, SortsTextsAsTheRuntimeComparesThem) {
  Queue q = makeQueue(kSectorEntry);
  const TextField family = fieldOf<FieldKind::Text>(q, "FAMILY"), item = fieldOf<FieldKind::Text>(q, "ITEM");
  for (auto [f, i] : std::initializer_list<std::pair<const char*, const char*>>{{"b", "1"}, {"a  ", "2"}, {"c", "3"}, {"a", "4"}}) {
    Entry e = q.newEntry();
    e.setText(family, f);
    e.setText(item, i);
    q.append(std::move(e));
  }
  q.sort(family);
  std::vector<std::string> items;
  for (const Entry& e : q.entries()) items.emplace_back(e.text(item));
  // Trailing blanks never decide, so "a  " and "a" are equal and keep their order.
  EXPECT_EQ(items, (std::vector<std::string>{"2", "4", "1", "3"}));
}

TEST(QueueTest, SortsByInternedTexts) {
  Queue q = makeQueue(kProcedureNameEntry);
  const InternedField name = fieldOf<FieldKind::Interned>(q, "NAME");
  for (const char* n : {"Main", "Browse", "Form"}) {
    Entry e = q.newEntry();
    e.setText(name, n);
    q.append(std::move(e));
  }
  q.sort(name, SortOrder::Descending);
  std::vector<std::string> names;
  for (const Entry& e : q.entries()) names.emplace_back(e.text(name));
  EXPECT_EQ(names, (std::vector<std::string>{"Main", "Form", "Browse"}));
}

TEST(QueueTest, RefusesADescriptorItCannotWalk) {
  const std::array<std::uint8_t, 3> cut = {0x16, 0x00, 0x01};
  const auto q = Queue::create(cut);
  ASSERT_FALSE(q);
  EXPECT_EQ(q.error().fault, DescriptorFault::Truncated);
}

TEST(QueueTest, RefusesEntriesLargerThanAnyQueueHolds) {
  const std::vector<FieldSpec> fields = {byteField("B")};
  EXPECT_TRUE(Queue::create(encodeDescriptor(fields, kMaxEntrySize)));
  const auto q = Queue::create(encodeDescriptor(fields, kMaxEntrySize + 1));
  ASSERT_FALSE(q);
  EXPECT_EQ(q.error().fault, DescriptorFault::EntryTooLarge);
}

TEST(QueueTest, OutlivedEntriesKeepTheirLayout) {
  std::optional<Entry> kept;
  {
    Queue q = buttons({{7, 2}});
    kept = *q.get(1);
  }
  EXPECT_EQ(kept->layout().fields()[0].name, "CONTROL");
  EXPECT_EQ(kept->number(NumberField{0}), 7);
}

}  // namespace
}  // namespace tamsil::record
