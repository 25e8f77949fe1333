// Bound forms beyond plain variables: packed decimals (both sign places), arrays taken one
// element at a time, and procedures called with arguments; each read, refused and written back as
// SQL.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

using BoundFormsTest = EvalTest;

struct DecimalCase {
  const char* name;
  StorageType type;
  std::vector<uint8_t> bytes;
  unsigned places;
  const char* text;   // decimalText
  const char* value;  // what EVALUATE makes of the variable
};

void PrintTo(const DecimalCase& c, std::ostream* os) { *os << c.name; }

class DecimalReadTest : public BoundFormsTest, public ::testing::WithParamInterface<DecimalCase> {};

TEST_P(DecimalReadTest, ReadsItsDigitsSignAndPlaces) {
  const DecimalCase& c = GetParam();
  const BoundVariable v{c.type, c.bytes.data(), c.bytes.size(), c.places};
  EXPECT_EQ(decimalText(v), c.text);
  ASSERT_TRUE(BIND("d", v));
  EXPECT_EQ(EVALUATE("d"), c.value);
  EXPECT_EQ(EVALUATE("d = " + std::string(c.text)), "1");  // a real: compares with a number
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalReadTest,
                         ::testing::Values(DecimalCase{"Positive", StorageType::Decimal, {0x01, 0x23, 0x45}, 2, "123.45", "123.45"},
                                           DecimalCase{"NegativeSignFirst", StorageType::Decimal, {0xF1, 0x23, 0x45}, 2, "-123.45", "-123.45"},
                                           DecimalCase{"PackedPositive", StorageType::PDecimal, {0x12, 0x34, 0x5C}, 2, "123.45", "123.45"},
                                           DecimalCase{
                                               "PackedNegativeSignLast", StorageType::PDecimal, {0x12, 0x34, 0x5D}, 2, "-123.45", "-123.45"},
                                           DecimalCase{"PackedUnsignedIsPositive", StorageType::PDecimal, {0x00, 0x7F}, 0, "7", "7"},
                                           DecimalCase{"WholeDigitsOnly", StorageType::Decimal, {0x09, 0x99}, 0, "999", "999"},
                                           DecimalCase{"AllPlaces", StorageType::Decimal, {0x00, 0x05}, 3, "0.005", "0.005"},
                                           DecimalCase{"TrailingZerosKeptInText", StorageType::Decimal, {0x00, 0x12, 0x50}, 2, "12.50", "12.5"},
                                           DecimalCase{"NegativeZeroIsZero", StorageType::Decimal, {0xF0, 0x00}, 1, "0.0", "0"},
                                           DecimalCase{"NoDigitHalfByteReadsAsZero", StorageType::Decimal, {0x0A, 0x1F}, 0, "10", "10"}),
                         [](const ::testing::TestParamInfo<DecimalCase>& p) { return std::string(p.param.name); });

struct StoreCase {
  const char* name;
  StorageType type;
  size_t size;
  unsigned places;
  const char* text;
  std::vector<uint8_t> bytes;
};

void PrintTo(const StoreCase& c, std::ostream* os) { *os << c.name; }

class DecimalStoreTest : public BoundFormsTest, public ::testing::WithParamInterface<StoreCase> {};

TEST_P(DecimalStoreTest, WritesRoundedDigitsAndTheSign) {
  const StoreCase& c = GetParam();
  std::vector<uint8_t> bytes(c.size, 0x77);
  const BoundVariable v{c.type, bytes.data(), bytes.size(), c.places};
  storeDecimal(v, c.text);
  EXPECT_EQ(bytes, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalStoreTest,
                         ::testing::Values(StoreCase{"RoundsHalfAwayFromZero", StorageType::Decimal, 3, 2, "-12.345", {0xF0, 0x12, 0x35}},
                                           StoreCase{"PackedSignLast", StorageType::PDecimal, 3, 2, "-12.345", {0x01, 0x23, 0x5D}},
                                           StoreCase{"PackedPositive", StorageType::PDecimal, 2, 0, "42", {0x04, 0x2C}},
                                           StoreCase{"CarryIntoTheWholeDigits", StorageType::Decimal, 2, 1, "9.96", {0x01, 0x00}},
                                           StoreCase{"TooLargeKeepsTheLowDigits", StorageType::Decimal, 2, 0, "12345", {0x03, 0x45}},
                                           StoreCase{"NegativeRoundedToZeroHasNoSign", StorageType::Decimal, 2, 1, "-0.01", {0x00, 0x00}}),
                         [](const ::testing::TestParamInfo<StoreCase>& p) { return std::string(p.param.name); });

TEST_F(BoundFormsTest, ArraysAreReadOneElementAtATime) {
  const std::array<int32_t, 3> numbers{10, 20, 30};
  char names[3][4] = {{'a', 'b', ' ', ' '}, {'c', 'd', 'e', ' '}, {'f', ' ', ' ', ' '}};
  const uint8_t amounts[2][2] = {{0x01, 0x23}, {0xF0, 0x45}};  // DECIMAL(3,1): 12.3 and -4.5
  ASSERT_TRUE(BIND("numbers", BoundVariable{StorageType::Long, numbers.data(), 0, 0, numbers.size()}));
  ASSERT_TRUE(BIND("names", BoundVariable{StorageType::String, names, 4, 0, 3}));
  ASSERT_TRUE(BIND("amounts", BoundVariable{StorageType::Decimal, amounts, 2, 1, 2}));
  EXPECT_EQ(EVALUATE("numbers[2] + numbers[1 + 2]"), "50");
  EXPECT_EQ(EVALUATE("CLIP(names[2]) & LEN(names[1])"), "cde4");
  EXPECT_EQ(EVALUATE("names[2][2 : 3]"), "de");  // a text element takes a substring too
  EXPECT_EQ(EVALUATE("amounts[1] + amounts[2]"), "7.8");
  // Outside the array nothing is read: numbers give 0, texts nothing.
  EXPECT_EQ(EVALUATE("numbers[0] & ',' & numbers[4] & ',' & names[9] & ','"), "0,0,,");
  EXPECT_EQ(errorCode(), 0);
  EXPECT_EQ(EVALUATE("numbers + 1"), "");  // an array needs its subscript
  EXPECT_EQ(errorCode(), 1010);
  EXPECT_EQ(errorText(), "Invalid expression for EVALUATE at pos 8");
}

TEST_F(BoundFormsTest, ProceduresTakeTheirArguments) {
  std::vector<std::vector<Value>> calls;
  BoundProcedure scale{ValueClass::Real,
                       [&calls](const std::vector<Value>& args) {
                         calls.push_back(args);
                         const double factor = args.size() > 1 && !args[1].omitted ? args[1].asReal() : 10;
                         return Value::ofReal(args[0].asReal() * factor);
                       },
                       1, 2};
  ASSERT_TRUE(BIND("scale", scale));
  EXPECT_EQ(EVALUATE("scale(2)"), "20");
  EXPECT_EQ(EVALUATE("scale(2, 3) + 1"), "7");
  EXPECT_EQ(EVALUATE("scale(1 + 1, )"), "20");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1].size(), 2u);
  EXPECT_TRUE(calls[2][1].omitted);
  EXPECT_EQ(sql("scale(2, 3) > 1"), "scale(2, 3) > 1");
  for (const char* wrong : {"scale", "scale()", "scale(1, 2, 3)"}) {
    clearError();
    EXPECT_EQ(EVALUATE(wrong), "") << wrong;
    EXPECT_EQ(errorCode(), 1010) << wrong;
  }
  EXPECT_EQ(calls.size(), 3u);  // a call that does not parse runs nothing
}

TEST_F(BoundFormsTest, FormsThatCannotBeReadAreNotBound) {
  const uint8_t bytes[2] = {};
  const int32_t one = 1;
  EXPECT_FALSE(BIND("d", BoundVariable{StorageType::Decimal, bytes, 0, 0}));  // no digits
  EXPECT_FALSE(BIND("d", BoundVariable{StorageType::Decimal, bytes, 2, 4}));  // 3 digits, 4 places
  EXPECT_TRUE(BIND("d", BoundVariable{StorageType::Decimal, bytes, 2, 3}));
  EXPECT_FALSE(BIND("a", BoundVariable{StorageType::Long, &one, 0, 0, 0}));  // no elements
  const auto body = [](const std::vector<Value>&) { return Value::ofWhole(1); };
  EXPECT_FALSE(BIND("p", BoundProcedure{ValueClass::Whole, body, 2, 1}));
  EXPECT_TRUE(BIND("p", BoundProcedure{ValueClass::Whole, body, 0, 1}));
  EXPECT_EQ(EVALUATE("p + p()"), "2");
}

TEST_F(BoundFormsTest, ArrayElementsAreWrittenBackAsSql) {
  const std::array<int32_t, 2> numbers{1, 2};
  ASSERT_TRUE(BIND("numbers", BoundVariable{StorageType::Long, numbers.data(), 0, 0, numbers.size()}));
  EXPECT_EQ(sql("numbers[1 + 1] = 5"), "numbers[1 + 1] = 5");
  const auto tree = compileExpression("numbers[2] * 3");
  ASSERT_TRUE(tree);
  std::string once;
  renderSql(*tree, once);
  EXPECT_EQ(sql(once), once);
}

}  // namespace
}  // namespace tamsil::testing
