// The number writers against the C library's printf: for every value of a table (integers,
// halves, the ends of the number cells' range, negatives, tiny and huge magnitudes, values on a
// rounding edge) and many random ones, each writer's characters equal printf's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "components/spread/model/number_chars.h"

namespace spread {
namespace {

std::vector<double> Values() {
  std::vector<double> v = {0.0,
                           -0.0,
                           1.0,
                           -1.0,
                           0.5,
                           -0.5,
                           1.5,
                           2.5,
                           0.125,
                           0.1,
                           0.2,
                           0.3,
                           1.0 / 3,
                           2.0 / 3,
                           1e15,
                           -1e15,
                           1e15 - 1,
                           999999999999999.9,
                           1e16,
                           1e21,
                           1e22,
                           1e100,
                           1e300,
                           -1e300,
                           1.7976931348623157e308,
                           1e-4,
                           1e-5,
                           1e-15,
                           1e-300,
                           5e-324,
                           2.2250738585072014e-308,
                           123456789012345678.0,
                           0.000123456789,
                           97500.0,
                           1234.5,
                           -1234.5,
                           12.345,
                           0.045,
                           1.005,
                           2.675,
                           1.45,
                           0.95,
                           9.995,
                           99.5,
                           -99.5,
                           0.05,
                           4503599627370495.5,
                           9007199254740993.0,
                           3.14159265358979,
                           65000 * 1.5};
  for (int i = -20; i <= 20; ++i) v.push_back(std::pow(10.0, i)), v.push_back(-std::pow(10.0, i) * 7.77);
  for (int n = 0; n <= 300; ++n) v.push_back(n), v.push_back(n * 1.5), v.push_back(-n * 0.25);
  std::mt19937_64 random(24);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int i = 0; i < 4000; ++i) v.push_back(unit(random) * std::pow(10.0, exponent(random)));
  // Few decimals over the whole range of the number cells, the kind a sheet holds most: the
  // writers' short ways are taken for these.
  std::uniform_int_distribution<std::int64_t> digits(0, 999'999'999'999'999);
  for (int i = 0; i < 6000; ++i) {
    const double d = double(digits(random) >> (i % 40)) / std::pow(10.0, i % 9);
    v.push_back(i % 2 ? -d : d);
  }
  for (int i = 0; i < 1000; ++i) {  // any bit pattern that is a finite number
    double d = 0;
    const std::uint64_t bits = random();
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) v.push_back(d);
  }
  return v;
}

std::string Printf(const char* format, int places, double value) {
  char b[kNumberCharsSize + 16];
  std::snprintf(b, sizeof b, format, places, value);
  return b;
}

TEST(NumberCharsTest, FixedMatchesPrintfAtEveryPlaces) {
  char b[kNumberCharsSize];
  for (const double v : Values())
    for (int places = 0; places <= 14; ++places)
      ASSERT_EQ(std::string(b, FixedChars(b, v, places)), Printf("%.*f", places, v)) << v << " to " << places << " places";
}

TEST(NumberCharsTest, ScientificMatchesPrintfAtEveryPlaces) {
  char b[kNumberCharsSize];
  for (const double v : Values())
    for (int places = 0; places <= 14; ++places)
      ASSERT_EQ(std::string(b, ScientificChars(b, v, places)), Printf("%.*E", places, v)) << v << " to " << places << " places";
}

TEST(NumberCharsTest, GeneralMatchesPrintf) {
  char b[kNumberCharsSize];
  for (const double v : Values()) ASSERT_EQ(std::string(b, GeneralChars(b, v)), Printf("%.*g", 15, v)) << v;
}

TEST(NumberCharsTest, NotANumberAndInfinityAsPrintfWritesThem) {
  char b[kNumberCharsSize];
  for (const double v :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(std::string(b, FixedChars(b, v, 2)), Printf("%.*f", 2, v));
    EXPECT_EQ(std::string(b, ScientificChars(b, v, 6)), Printf("%.*E", 6, v));
    EXPECT_EQ(std::string(b, GeneralChars(b, v)), Printf("%.*g", 15, v));
  }
}

// The decimals read without writing the digits equal those counted in what GeneralChars writes.
TEST(NumberCharsTest, GeneralDecimalsCountsWhatGeneralWrites) {
  char b[kNumberCharsSize];
  std::vector<double> values = Values();
  for (int n = -3000; n <= 3000; ++n) values.push_back(n / 8.0), values.push_back(n / 1000.0), values.push_back(n * 1.001);
  for (const double v : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 99999999999.999, 1e11 - 0.001})
    values.push_back(v);
  for (const double v : values) {
    const std::string text(b, GeneralChars(b, v));
    const size_t point = text.find('.');
    const int counted = point == std::string::npos || text.find_first_of("eE") != std::string::npos ? 0 : int(text.size() - point - 1);
    ASSERT_EQ(GeneralDecimals(v), counted) << text;
  }
}

}  // namespace
}  // namespace spread
