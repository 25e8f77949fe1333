// Decimal digit strings: exact for decimal text, 15 significant digits for doubles.
#include "runtime/value/decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

namespace tamsil {
namespace {

struct TextCase {
  const char* text;
  bool negative;
  const char* digits;
  int64_t point;
};

class DecimalTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(DecimalTextTest, ReadsDigitsSignAndPoint) {
  const TextCase& c = GetParam();
  const DecimalDigits d = decimalFromText(c.text);
  EXPECT_EQ(d.negative, c.negative);
  EXPECT_EQ(d.digits, c.digits);
  EXPECT_EQ(d.pointPos, c.point);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalTextTest,
                         ::testing::Values(TextCase{"1234.5", false, "12345", 4}, TextCase{"  -0.0012", true, "12", -2},
                                           TextCase{"007.50", false, "75", 1}, TextCase{"1200", false, "12", 4}, TextCase{"-0", false, "", 0},
                                           TextCase{"abc", false, "", 0}, TextCase{"1.5e3", false, "15", 4},
                                           TextCase{"1.5E-3x", false, "15", -2}, TextCase{"5e", false, "5", 1}, TextCase{".5", false, "5", 0},
                                           TextCase{"+3", false, "3", 1},
                                           TextCase{"12345678901234567890.5", false, "123456789012345678905", 20},
                                           TextCase{"1e99999999999999999999", false, "1", 1'000'000'001}));

TEST(DecimalTest, DoublesKeepFifteenSignificantDigits) {
  EXPECT_EQ(decimalFromDouble(0.1 + 0.2).digits, "3");  // 0.30000000000000004
  EXPECT_EQ(decimalFromDouble(0.995).digits, "995");
  EXPECT_EQ(decimalFromDouble(1.0 / 3).digits, "333333333333333");
  EXPECT_EQ(decimalFromDouble(2.0 / 3).digits, "666666666666667");
  EXPECT_EQ(decimalFromDouble(123456789012345678.0).digits, "123456789012346");
  EXPECT_EQ(decimalFromDouble(123456789012345678.0).pointPos, 18);
  EXPECT_TRUE(decimalFromDouble(0.0).isZero());
  EXPECT_TRUE(decimalFromDouble(-2.5).negative);
  EXPECT_FALSE(decimalFromDouble(1.0 / 0.0).finite);
}

// The quick path for short decimals must agree with an exact conversion for every kind of value:
// amounts, values off by an ulp or several from a short decimal, and arbitrary bit patterns.
TEST(DecimalTest, QuickPathAgreesWithExactRounding) {
  auto exact = [](double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    return decimalFromText(std::string_view(buf, size_t(r.ptr - buf)));
  };
  std::mt19937_64 random(42);
  int checked = 0;
  for (int i = 0; i < 200'000; ++i) {
    const double amount = double(int64_t(random() % 2'000'000'000'000) - 1'000'000'000'000) / 100.0;
    uint64_t bits = random();
    double arbitrary;
    std::memcpy(&arbitrary, &bits, sizeof arbitrary);
    for (double v :
         {amount, std::nextafter(amount, 0.0), std::nextafter(amount, 1e300), amount / 7.0 - 50'000.0, double(i) / 1000.0, arbitrary}) {
      if (!std::isfinite(v) || v == 0) continue;
      const DecimalDigits got = decimalFromDouble(v), want = exact(v);
      ASSERT_EQ(got.digits, want.digits) << std::hexfloat << v;
      ASSERT_EQ(got.pointPos, want.pointPos) << std::hexfloat << v;
      ASSERT_EQ(got.negative, want.negative) << std::hexfloat << v;
      ++checked;
    }
  }
  EXPECT_GT(checked, 1'000'000);
}

TEST(DecimalTest, WritesPlainText) {
  for (const char* s : {"1234.5", "-0.001", "1200", "0"}) EXPECT_EQ(decimalToText(decimalFromText(s)), s);
  EXPECT_EQ(decimalToText(decimalFromText("1.5e300")), "1.5e+300");
}

}  // namespace
}  // namespace tamsil
