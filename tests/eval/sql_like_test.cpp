// LIKE patterns written for a server: the text a program matches, looks for or starts with is
// taken literally, so its own '%', '_' and escape characters are escaped and an ESCAPE clause
// names the escape character; patterns without them stay as they were.
#include <gtest/gtest.h>

#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

struct LikeCase {
  const char* name;
  const char* expression;
  const char* sql;
};

void PrintTo(const LikeCase& c, std::ostream* os) { *os << c.name; }

class SqlLikeTest : public EvalTest, public ::testing::WithParamInterface<LikeCase> {
 protected:
  void SetUp() override { BIND("col", StorageType::String, column_, sizeof column_); }

 private:
  char column_[4] = {'a', 'b', 'c', 'd'};
};

TEST_P(SqlLikeTest, LiteralWildcardsAreEscaped) { EXPECT_EQ(sql(GetParam().expression), GetParam().sql); }

INSTANTIATE_TEST_SUITE_P(Cases, SqlLikeTest,
                         ::testing::Values(LikeCase{"MatchPlain", "MATCH(col, 'a?c*') = 1", "col LIKE 'a_c%'"},
                                           LikeCase{"MatchPercent", "MATCH(col, '100%*') = 1", "col LIKE '100\\%%' ESCAPE '\\'"},
                                           LikeCase{"MatchUnderscore", "MATCH(col, 'a_b?') = 1", "col LIKE 'a\\_b_' ESCAPE '\\'"},
                                           LikeCase{"MatchEscapeCharacter", "MATCH(col, 'c:\\dir*') = 0",
                                                    "col NOT LIKE 'c:\\\\dir%' ESCAPE '\\'"},
                                           LikeCase{"MatchNoCase", "MATCH(col, 'x_y*', 17) = 1", "UPPER(col) LIKE 'X\\_Y%' ESCAPE '\\'"},
                                           LikeCase{"SubPrefix", "SUB(col, 1, 3) = '5%_'", "col LIKE '5\\%\\_%' ESCAPE '\\'"},
                                           LikeCase{"InstringPlain", "INSTRING('ab', col, 1, 1) > 0", "col LIKE '%ab%'"},
                                           LikeCase{"InstringUnderscore", "INSTRING('a_b', col, 1, 1) > 0", "col LIKE '%a\\_b%' ESCAPE '\\'"},
                                           LikeCase{"QuoteStillDoubled", "MATCH(col, 'it''s_*') = 1", "col LIKE 'it''s\\_%' ESCAPE '\\'"}),
                         [](const ::testing::TestParamInfo<LikeCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tamsil::testing
