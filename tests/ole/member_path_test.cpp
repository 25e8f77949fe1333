// Member paths read as text: tokens, the grammar (object references, DISPIDs, hints, named
// arguments, values with parentheses and quotes), texts that are not paths, and where a write
// splits its text.
#include <gtest/gtest.h>

#include <ostream>

#include "runtime/ole/member_path.h"

namespace tamsil::ole {
namespace {

// A parsed path written back compactly: "`obj|name(hint:arg=value;...)|..."; "invalid" for none.
std::string render(std::string_view text) {
  const auto path = parseMemberPath(text);
  if (!path) return "invalid";
  std::string out = path->object;
  for (const PathMember& m : path->members) {
    if (!out.empty()) out += "|";
    out += m.name;
    if (!m.parenthesised) continue;
    out += "(";
    for (size_t i = 0; i < m.arguments.size(); ++i) {
      const PathArgument& a = m.arguments[i];
      if (i) out += ";";
      if (!a.hint.empty()) out += a.hint + ":";
      if (!a.name.empty()) out += a.name + "=";
      out += a.value;
    }
    out += ")";
  }
  return out;
}

struct PathCase {
  const char* text;
  const char* parsed;
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << "'" << c.text << "'"; }

class MemberPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(MemberPathTest, ParsesAsExpected) { EXPECT_EQ(render(GetParam().text), GetParam().parsed) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Grammar, MemberPathTest,
                         ::testing::Values(PathCase{"MaxRows", "MaxRows"}, PathCase{"  Sheet . Cells(1, 2) . Value", "Sheet|Cells(1;2)|Value"},
                                           PathCase{"Clear()", "Clear()"}, PathCase{"3(5)", "3(5)"}, PathCase{"-608", "-608"},
                                           PathCase{"`1234", "`1234"}, PathCase{"`1234.Name", "`1234|Name"},
                                           PathCase{"Add(string(12), int(7))", "Add(string:12;int:7)"},
                                           PathCase{"Add(Count=5, string(Key=abc))", "Add(Count=5;string:Key=abc)"},
                                           PathCase{"Eval((a + (b)), 2)", "Eval((a + (b));2)"},
                                           PathCase{"Eval(('x)y' & 'z('))", "Eval(('x)y' & 'z('))"},
                                           PathCase{R"x(Say("one, ""two"" (three)"))x", R"x(Say("one, ""two"" (three)"))x"},
                                           PathCase{"Put(1.5, TRUE , x y )", "Put(1.5;TRUE;x y)"},
                                           PathCase{"Load(\"a.xls\").Sheets", "Load(\"a.xls\")|Sheets"}, PathCase{"F(,)", "F(;)"}));

INSTANTIATE_TEST_SUITE_P(NotPaths, MemberPathTest,
                         ::testing::Values(PathCase{"", "invalid"}, PathCase{"Name(", "invalid"}, PathCase{"Name(1", "invalid"},
                                           PathCase{"Name((1)", "invalid"}, PathCase{"Say(\"open)", "invalid"}, PathCase{"a..b", "invalid"},
                                           PathCase{"a.", "invalid"}, PathCase{"`12 x", "invalid"}, PathCase{"a(1) b", "invalid"},
                                           PathCase{"f(string(1)", "invalid"}, PathCase{"=x", "invalid"}, PathCase{"\"text\"", "invalid"}));

TEST(MemberPathLimits, NamesAndArgumentCountsAreBounded) {
  EXPECT_EQ(render(std::string(100, 'n')), std::string(100, 'n'));
  EXPECT_EQ(render(std::string(101, 'n')), "invalid");
  std::string args = "f(1";
  for (int i = 1; i < 32; ++i) args += ",1";
  EXPECT_NE(render(args + ")"), "invalid");
  EXPECT_EQ(render(args + ",1)"), "invalid");
  // Only the first 49 characters of a hint count.
  const auto path = parseMemberPath("f(" + std::string(60, 'h') + "(1))");
  ASSERT_TRUE(path);
  EXPECT_EQ(path->members[0].arguments[0].hint, std::string(49, 'h'));
}

TEST(MemberPathTokens, OneAtATime) {
  PathTokenizer t(R"( a.b( "x""y" ,=) )");
  const TokenKind kinds[] = {TokenKind::Word,  TokenKind::Dot,    TokenKind::Word,  TokenKind::Open, TokenKind::String,
                             TokenKind::Comma, TokenKind::Equals, TokenKind::Close, TokenKind::End};
  for (TokenKind k : kinds) EXPECT_EQ(t.next().kind, k);
  PathTokenizer s(R"("x""y")");
  EXPECT_EQ(s.next().text, R"("x""y")");
}

struct SplitCase {
  const char* text;
  size_t at;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << "'" << c.text << "'"; }

class WriteSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(WriteSplitTest, SplitsAtTheLastDotOutsideParenthesesAndQuotes) {
  EXPECT_EQ(writeSplit(GetParam().text), GetParam().at) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Writes, WriteSplitTest,
                         ::testing::Values(SplitCase{"Value", std::string_view::npos}, SplitCase{"Cells(1,2).Value", 10}, SplitCase{"a.b.c", 3},
                                           SplitCase{"SaveFile(\"a.xls\")", std::string_view::npos},
                                           SplitCase{"ColWidth(2.5)", std::string_view::npos}, SplitCase{"x.Item(\"q\"\".b\")", 1},
                                           SplitCase{"Sheet(('a.(b')).Name", 15}));

}  // namespace
}  // namespace tamsil::ole
