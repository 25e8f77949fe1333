// spread-convert run as a user runs it: formats told by extension, sheets chosen, exit status
// and what the written files hold.
#include <gtest/gtest.h>

#include <ostream>

#include <sys/wait.h>
#include <cstdlib>
#include <fstream>

#include "components/spread/formats/atomic_write.h"
#include "tests/spread_files/workbooks.h"

namespace spread::files {
namespace {

int Convert(const std::string& arguments) {
  const int status = std::system((std::string(SPREAD_CONVERT) + " " + arguments + " 2>/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Contents(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

struct ChainCase {
  const char* input;
  const char* via;  // an intermediate format the data passes through
};
void PrintTo(const ChainCase& c, std::ostream* os) { *os << c.input << "_" << c.via; }

class ConvertChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ConvertChain, RowsSurviveEveryFormat) {
  const std::string via = TempPath(std::string("via.") + GetParam().via), out = TempPath(std::string(GetParam().via) + ".csv");
  ASSERT_EQ(Convert("--sheet 2 " + SampleWorkbook(GetParam().input) + " " + via), 0);
  ASSERT_EQ(Convert(via + " " + out), 0);
  const std::string csv = Contents(out);
  EXPECT_TRUE(csv.starts_with("1,1.5,row 1\r\n2,3,row 2\r\n")) << csv.substr(0, 80);
  EXPECT_TRUE(csv.ends_with("10000,15000,row 10000\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertChain,
                         ::testing::Values(ChainCase{"xls", "kgrid"}, ChainCase{"xlsx", "tsv"}, ChainCase{"xls", "csv"},
                                           ChainCase{"xlsx", "kgrid"}),
                         [](const auto& p) { return std::string(p.param.input) + "_" + p.param.via; });

TEST(Convert, OtherOutputsAndRefusals) {
  const std::string xls = SampleWorkbook("xls");
  EXPECT_EQ(Convert(xls + " " + TempPath("k.html")), 0);
  EXPECT_NE(Contents(TempPath("k.html")).find("<td>Z\xC3\xBCrich text</td>"), std::string::npos);
  EXPECT_EQ(Convert(xls + " " + TempPath("k.pdf")), 0);
  EXPECT_TRUE(Contents(TempPath("k.pdf")).starts_with("%PDF-"));
  EXPECT_EQ(Convert(xls + " " + TempPath("all.xlsx")), 0);
  EXPECT_TRUE(Contents(TempPath("all.xlsx")).starts_with("PK"));
  EXPECT_EQ(Convert(TempPath("missing.xls") + " " + TempPath("x.csv")), 1);
  EXPECT_EQ(Convert(xls + " " + TempPath("x.unknown")), 2);
  EXPECT_EQ(Convert("--sheet 9 " + xls + " " + TempPath("x.csv")), 3);
  EXPECT_EQ(Convert(xls), 3);
}

}  // namespace
}  // namespace spread::files
