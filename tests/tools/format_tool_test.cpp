// `tamsil format` and `tamsil deformat`, table-driven through the built tool: the layouts,
// rounding, overflow, signs, two-digit years and bad input that callers of FORMAT and DEFORMAT
// rely on. The current date is fixed at 15 June 2008 and the profile directory is empty.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "runtime/value/calendar.h"
#include "tests/support/temp_profile.h"
#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

class ToolEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    profile_.emplace("format_tool_test");
    setenv("TAMSIL_TODAY", "2008-06-15", 1);
  }
  void TearDown() override { profile_.reset(); }

 private:
  std::optional<kestrel::testing::TempProfileDir> profile_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ToolEnvironment);

std::string day(int y, int m, int d) { return std::to_string(dayNumber(m, d, y, 80, 2008)); }
const std::string kJan5 = day(2008, 1, 5);
constexpr const char* k1305 = "4710001";  // 13:05:00.00

struct Case {
  std::string value;
  std::string picture;
  std::string expected;
};
void PrintTo(const Case& c, std::ostream* os) { *os << "'" << c.value << "' '" << c.picture << "'"; }

class FormatToolTest : public ::testing::TestWithParam<Case> {};

TEST_P(FormatToolTest, PrintsEveryPosition) {
  const Case& c = GetParam();
  const ToolResult r = runTool({"format", c.value, c.picture});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, c.expected + "\n");
  EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Dates, FormatToolTest,
                         ::testing::Values(Case{day(1801, 1, 1), "@D4", "January  1, 1801     "}, Case{"3", "@D2", "  /  /    "},
                                           Case{"2994627", "@D2", "  /  /    "}, Case{"2994626", "@D2", "12/31/9999"},
                                           Case{kJan5, "@D1", " 1/05/08"}, Case{kJan5, "@D01", "01/05/08"}, Case{kJan5, "@D6.", " 5.01.2008"},
                                           Case{kJan5, "@D6-", " 5-01-2008"}, Case{kJan5, "@D6_", " 5 01 2008"},
                                           Case{kJan5, "@D2`", " 1,05,2008"}, Case{kJan5, "@D3", "JAN  5,2008"}, Case{kJan5, "@D5", " 5/01/08"},
                                           Case{kJan5, "@D7", " 5 JAN 08"}, Case{kJan5, "@D8", " 5 JAN 2008"}, Case{kJan5, "@D9", "08/01/05"},
                                           Case{kJan5, "@D10", "2008/01/05"}, Case{kJan5, "@D11", "080105"}, Case{kJan5, "@D12", "20080105"},
                                           Case{kJan5, "@D13", "01/08"}, Case{kJan5, "@D14", "01/2008"}, Case{kJan5, "@D15", "08/01"},
                                           Case{kJan5, "@D16", "2008/01"}, Case{kJan5, "@D17", "01/05/08"},
                                           Case{kJan5, "@D18", " 5 January 2008     "},
                                           Case{day(2000, 10, 20), "@D*1", "10/20/*0"},  // only leading zeros take the fill
                                           Case{kJan5, "@D*1", "*1/*5/*8"}, Case{day(2000, 2, 29), "@D2", " 2/29/2000"},
                                           Case{day(2008, 9, 30), "@D4", "September 30, 2008   "}, Case{"0", "@D1", "  /  /  "},
                                           Case{"0", "@D1B", "        "}, Case{"-5", "@D1", "  /  /  "}, Case{"1e300", "@D1", "  /  /  "},
                                           Case{"", "@D1", "  /  /  "}));

INSTANTIATE_TEST_SUITE_P(Times, FormatToolTest,
                         ::testing::Values(Case{k1305, "@T1", "13:05"}, Case{k1305, "@T2", "1305"}, Case{k1305, "@T3", " 1:05PM"},
                                           Case{k1305, "@T4", "13:05:00"}, Case{k1305, "@T5", "130500"}, Case{k1305, "@T6", " 1:05:00PM"},
                                           Case{k1305, "@T7", "01:05 PM"}, Case{k1305, "@T8", "01:05:00 PM"}, Case{k1305, "@T1.", "13.05"},
                                           Case{"1", "@T3", "12:00AM"}, Case{"4320001", "@T3", "12:00PM"}, Case{"1", "@T1", " 0:00"},
                                           Case{"1", "@T01", "00:00"}, Case{"8640000", "@T4", "23:59:59"}, Case{"8640001", "@T4", "  :  :  "},
                                           Case{"0", "@T3", "  :    "}, Case{"0", "@T1B", "     "}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, FormatToolTest,
    ::testing::Values(
        Case{"1234.5", "@N9.2", " 1,234.50"}, Case{"123456789", "@N9.2", "######.##"}, Case{"-1", "@N-9.2", "    -1.00"},
        Case{"-1234.5", "@N-9.2", "-1,234.50"}, Case{"-1234.5", "@N9.2", " 1,234.50"},  // no sign position, no sign
        Case{"-1234.5", "@N9.2-", "1,234.50-"}, Case{"-5", "@N(6)", "   (5)"}, Case{"5", "@N(6)", "    5 "},
        Case{"-1234.5", "@N$-12.2", "  $-1,234.50"}, Case{"1234.5", "@N$12.2", "   $1,234.50"}, Case{"1234.5", "@N12~ EUR~", "   1,235 EUR"},
        Case{"-5", "@N~kr ~-9", "    kr -5"},  // the currency's blank floats with it
        Case{"-1234.5", "@N012.2", "000001234.50"}, Case{"1234.5", "@N*12.2", "****1,234.50"}, Case{"1234.56", "@N12`2", "    1.234,56"},
        Case{"1234567.5", "@N12.`2", "1.234.567,50"}, Case{"12.34", "@N6V2", " 1234 "}, Case{"0.995", "@N9.2", "     1.00"},
        Case{"0.994", "@N9.2", "     0.99"}, Case{"9.995", "@N4.2", "#.##"}, Case{"99.5", "@N3", "100"},
        Case{"999.5", "@N4", "1000"},  // the grouping position gives way
        Case{"999.5", "@N3", "###"}, Case{"-0.001", "@N-9.2", "     0.00"}, Case{"0", "@N9.2", "     0.00"}, Case{"0", "@N9.2B", "         "},
        Case{"0.001", "@N9.2B", "     0.00"}, Case{"12345678901234567890.5", "@N_25.1", "   12345678901234567890.5"},
        Case{std::string(3000, '9'), "@N9.2", "######.##"}, Case{"0." + std::string(3000, '9'), "@N9.2", "     1.00"},
        Case{"1e999999999999", "@N9.2", "######.##"}, Case{"abc", "@N9.2", "     0.00"}, Case{"1234.5", "@E12.2", " 12.345E+002"},
        Case{"-1234.5", "@E12.2", "-12.345E+002"}, Case{"0.00012345", "@E12.2", " 12.345E-005"}, Case{"9999.9", "@E9.1", " 1.0E+004"},
        Case{"0", "@E12.2", "  0.000E+000"}, Case{"1234567", "@E14.5", " 12,345.7E+002"}, Case{"1e300", "@E9", " .10E+301"},
        Case{"1e400", "@E9", " .##E####"}, Case{"1234567", "@P(###)###-####P", "(000)123-4567"},
        Case{"1234567", "@P(<##)###-####P", "( 00)123-4567"}, Case{"12345678901", "@P###-####P", "###-####"}, Case{"5", "@PabcP", "   "}));

INSTANTIATE_TEST_SUITE_P(TextAndBadPictures, FormatToolTest,
                         ::testing::Values(Case{"hello world", "@S5", "hello"}, Case{"hi", "@S5", "hi   "}, Case{"hello", "@K###K", "hel"},
                                           Case{"5", "@N0", ""}, Case{"5", "", ""}, Case{"5", "@P###", ""}, Case{"5", "@K###", ""},
                                           Case{"5", "@D1zz", ""}, Case{"5", "@N99999999999999999999", ""},
                                           Case{"5", std::string(256, 'S'), ""}));

class DeformatToolTest : public ::testing::TestWithParam<Case> {};

TEST_P(DeformatToolTest, PrintsThePlainValue) {
  const Case& c = GetParam();
  const ToolResult r = c.picture == "-" ? runTool({"deformat", c.value}) : runTool({"deformat", c.value, c.picture});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, c.expected + "\n");
}

INSTANTIATE_TEST_SUITE_P(Dates, DeformatToolTest,
                         ::testing::Values(Case{" 1/05/08", "@D1", kJan5}, Case{"1/5/08", "@D1", kJan5}, Case{"01/05/2008", "@D2", kJan5},
                                           Case{"02/30/08", "@D1", day(2008, 3, 1)}, Case{"11/2008", "@D14", day(2008, 11, 1)},
                                           Case{"08/01/05", "@D9", kJan5}, Case{"080105", "@D11", kJan5}, Case{"JAN  5,2008", "@D3", kJan5},
                                           Case{"January  5, 2008", "@D4", kJan5}, Case{" 5 jan 08", "@D7", kJan5},
                                           Case{"XYZ  5,2008", "@D3", "-1"}, Case{"01/01/08", "@D1", day(2008, 1, 1)},
                                           Case{"01/01/27", "@D1", day(2027, 1, 1)}, Case{"01/01/28", "@D1", day(1928, 1, 1)},
                                           Case{"01/01/57", "@D1<50", day(2057, 1, 1)}, Case{"01/01/58", "@D1<50", day(1958, 1, 1)},
                                           Case{"13/45/08", "@D1", day(2009, 2, 14)}, Case{"01/01/1800", "@D2", "-1"},
                                           Case{"  /  /  ", "@D1", "0"}, Case{"", "@D1", "0"}));

INSTANTIATE_TEST_SUITE_P(Times, DeformatToolTest,
                         ::testing::Values(Case{" 1:05PM", "@T3", k1305}, Case{"1:05pm", "@T3", k1305}, Case{"13:05", "@T1", k1305},
                                           Case{"12:00AM", "@T3", "1"}, Case{"12:30PM", "@T3", "4500001"}, Case{"01:05 PM", "@T7", k1305},
                                           Case{"130500", "@T5", k1305}, Case{"24:00", "@T1", "-1"}, Case{"12:60", "@T1", "-1"},
                                           Case{"  :  ", "@T1", "0"}));

INSTANTIATE_TEST_SUITE_P(Numbers, DeformatToolTest,
                         ::testing::Values(Case{"$1,234.56", "-", "1234.56"}, Case{"-1.5e-3x", "-", "-1.5e-3"}, Case{"1.2.3", "-", "1.23"},
                                           Case{"abc", "-", ""}, Case{"12e", "-", "12"}, Case{" 1,234.50", "@N9.2", "01234.50"},
                                           Case{"-1,234.50", "@N-9.2", "-1234.50"}, Case{"    -1.00", "@N-9.2", "-001.00"},
                                           Case{"   (5)", "@N(6)", "-05"}, Case{"1,234.50-", "@N9.2-", "-1234.50"},
                                           Case{" 12.345E+002", "@E12.2", "12.345e+002"}, Case{"-12.345E-005", "@E12.2", "-12.345e-005"},
                                           Case{"(000)123-4567", "@P(###)###-####P", "0001234567"},  // literals are no signs
                                           Case{"( 00)123-4567", "@P(<##)###-####P", "0001234567"}, Case{" 1234 ", "@N6V2", "012.34"},
                                           Case{"   $1,234.50", "@N$12.2", "01234.50"}, Case{"ab-c", "@K@@?@K", "ab-c"},
                                           Case{"1234", "@N9.2Q", ""}));

TEST(FormatToolUsageTest, WrongArgumentCountsFail) {
  EXPECT_EQ(runTool({"format", "1"}).exitCode, 2);
  EXPECT_EQ(runTool({"deformat"}).exitCode, 2);
  EXPECT_EQ(runTool({"deformat", "1", "@N9", "x"}).exitCode, 2);
}

}  // namespace
}  // namespace tamsil::testing
