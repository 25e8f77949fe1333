// `tamsil eval` and `tamsil sql` through the built tool: precedence and association, constants
// of every form, comparison by class, the functions' edge behaviour, error lines, and input
// that must give an error or a defined value rather than a crash.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

struct Case {
  std::vector<std::string> args;  // after "eval"
  std::string out;                // stdout without the newline, or the stderr line on error
  int exitCode = 0;
};
void PrintTo(const Case& c, std::ostream* os) {
  for (const auto& a : c.args) *os << "[" << a.substr(0, 60) << "] ";
}

class EvalToolTest : public ::testing::TestWithParam<Case> {};

TEST_P(EvalToolTest, PrintsValueOrError) {
  const Case& c = GetParam();
  std::vector<std::string> args{"eval"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult r = runTool(args, {"TAMSIL_TODAY=2008-06-15"});
  EXPECT_EQ(r.exitCode, c.exitCode);
  if (c.exitCode == 0) {
    EXPECT_EQ(r.out, c.out + "\n");
    EXPECT_EQ(r.err, "");
  } else {
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.out + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Precedence, EvalToolTest,
                         ::testing::Values(Case{{"1+2*3"}, "7"}, Case{{"2^3^2"}, "64"},  // left association
                                           Case{{"--5"}, "5"}, Case{{"---5"}, "-5"},
                                           Case{{"-2^2"}, "4"},  // the sign belongs to the operand of ^
                                           Case{{"10-4-3"}, "3"}, Case{{"2*(3+4)"}, "14"}, Case{{"7 % 3 + 8 / 4"}, "3"},
                                           Case{{"'a' & 1 + 2"}, "a3"},  // & below +
                                           Case{{"NOT 1=2"}, "1"}, Case{{"NOT NOT 1=2"}, "0"}, Case{{"~~~0"}, "1"},
                                           Case{{"1 < 2 < 3"}, "1"},     // (1 < 2) is 1, and 1 < 3
                                           Case{{"3 > 2 > 1"}, "0"},     // (3 > 2) is 1, and 1 > 1 is false
                                           Case{{"1 OR 0 AND 0"}, "1"},  // AND binds tighter
                                           Case{{"1 XOR 1 OR 1"}, "1"}, Case{{"1 XOR 1"}, "0"}));

INSTANTIATE_TEST_SUITE_P(Relations, EvalToolTest,
                         ::testing::Values(Case{{"1 <> 2"}, "1"}, Case{{"1 ~= 1"}, "0"}, Case{{"2 <= 2"}, "1"}, Case{{"2 =< 1"}, "0"},
                                           Case{{"2 ~> 1"}, "0"}, Case{{"2 >= 3"}, "0"}, Case{{"3 => 3"}, "1"}, Case{{"1 ~< 2"}, "0"},
                                           Case{{"'abc' = 'abc'"}, "1"}, Case{{"'abc' = 'abc   '"}, "1"},  // trailing blanks never decide
                                           Case{{"'abc' < 'abd'"}, "1"}, Case{{"'10' = 10"}, "1"},         // text against number: as reals
                                           Case{{"'9' < '10'"}, "0"},                                      // two texts: as texts
                                           Case{{"0.1 + 0.2 = 0.3"}, "1"},                                 // reals within 2^-50
                                           Case{{"1 = 1.0000001"}, "0"},
                                           Case{{"1 ~ 2"}, "error 1010: Invalid expression for EVALUATE at pos 2", 1}));

INSTANTIATE_TEST_SUITE_P(
    Constants, EvalToolTest,
    ::testing::Values(Case{{"0FFH"}, "255"}, Case{{"101B"}, "5"}, Case{{"17O"}, "15"}, Case{{"0010"}, "10"}, Case{{"1e401"}, "1.797693e+308"},
                      Case{{"1e-401"}, "0"}, Case{{"1e400"}, "1.797693e+308"}, Case{{"1e99999999999999999999"}, "1.797693e+308"},
                      Case{{"2147483647"}, "2147483647"},
                      Case{{"2999999999 = 2999999999.0"}, "1"},  // beyond 31 bits a real, never a wrapped integer
                      Case{{"0FFFFFFFFH"}, "4294967295"}, Case{{"1.5e2"}, "150"}, Case{{".25"}, "0.25"}, Case{{"1/3"}, "0.333333333333333"},
                      Case{{"'it''s'"}, "it's"}, Case{{"''''"}, "'"}, Case{{"12H."}, "error 1010: Invalid expression for EVALUATE at pos 0", 1},
                      Case{{"12B"}, "error 1010: Invalid expression for EVALUATE at pos 0", 1},
                      Case{{"1e+"}, "error 1010: Invalid expression for EVALUATE at pos 0", 1},
                      Case{{"'open"}, "error 1010: Invalid expression for EVALUATE at pos 0", 1}, Case{{"FORMAT(5, @N3)"}, "  5"},
                      Case{{"FORMAT(1234.5, @N~$ ~12.2)"}, "  $ 1,234.50"},  // a blank inside ~...~ belongs to it
                      Case{{"FORMAT(-5, @N(4))"}, " (5)"},                   // the picture's own brackets do not end it
                      Case{{"FORMAT(5, @P##P)"}, "05"}, Case{{"FORMAT(5, @P##)"}, "error 1010: Invalid expression for EVALUATE at pos 10", 1},
                      Case{{"FORMAT(1, @N~$3)"}, "error 1010: Invalid expression for EVALUATE at pos 10", 1}));

INSTANTIATE_TEST_SUITE_P(
    Functions, EvalToolTest,
    ::testing::Values(
        Case{{"ABS(-2.5)"}, "2.5"}, Case{{"INT(-2.7)"}, "-2"}, Case{{"SQRT(2)"}, "1.4142135623731"}, Case{{"ROUND(5.55, .1)"}, "5.6"},
        Case{{"ROUND(1234, 100)"}, "1200"}, Case{{"BAND(12, 10)"}, "8"}, Case{{"BOR(12, 10)"}, "14"}, Case{{"BXOR(12, 10)"}, "6"},
        Case{{"BSHIFT(1, 31)"}, "-2147483648"}, Case{{"BSHIFT(-1, -28)"}, "15"}, Case{{"BSHIFT(1, 32)"}, "0"}, Case{{"BSHIFT(1, -40)"}, "0"},
        Case{{"CHOOSE(2, 'a', 'b', 'c')"}, "b"}, Case{{"CHOOSE(9, 'a', 'b')"}, "b"}, Case{{"CHOOSE(0, 'a', 'b')"}, "b"},
        Case{{"CHOOSE(5)"}, "1"}, Case{{"CHOOSE(0)"}, "0"}, Case{{"CHR(321)"}, "A"}, Case{{"VAL('A')"}, "65"}, Case{{"VAL('')"}, "0"},
        Case{{"LEN('abc  ')"}, "5"}, Case{{"LEN(12.5)"}, "4"}, Case{{"ALL('ab', 5)"}, "ababa"}, Case{{"LEN(ALL('x'))"}, "255"},
        Case{{"ALL('', 3) & '|'"}, "   |"}, Case{{"LEFT('  ab', 4) & '|'"}, "ab  |"}, Case{{"RIGHT('ab  ', 6)"}, "    ab"},
        Case{{"CENTER('abc', 6) & '|'"}, "  abc |"}, Case{{"CENTER(' ab ') & '|'"}, " ab |"}, Case{{"SUB('0123456789', -3, -1)"}, "789"},
        Case{{"SUB('abc', 12, 2) & '|'"}, "|"}, Case{{"SUB('abcdef', 2, 3)"}, "bcd"}, Case{{"UPPER('abc') & LOWER('DEF')"}, "ABCdef"},
        Case{{"CLIP('ab  ') & '|'"}, "ab|"}, Case{{"INLIST('b', 'a', 'b', 'c')"}, "2"}, Case{{"INLIST('z', 'a', 'b')"}, "0"},
        Case{{"INLIST('b ', 'a', 'b')"}, "2"}, Case{{"INRANGE(5, 1, 5)"}, "1"}, Case{{"INRANGE(5.1, 1, 5)"}, "0"},
        Case{{"INSTRING('c', 'abcabc')"}, "3"}, Case{{"INSTRING('c', 'abcabc', -1, 6)"}, "6"}, Case{{"INSTRING('def', 'abcdef', 3)"}, "2"},
        Case{{"INSTRING('', 'abc')"}, "0"}, Case{{"INSTRING('c', 'abcabc', , 4)"}, "6"},  // omitted step
        Case{{"NULL(0)"}, "1"}, Case{{"NULL(3)"}, "0"}, Case{{"NUMERIC(' -1.5e3 ')"}, "1"}, Case{{"NUMERIC('1x')"}, "0"},
        Case{{"NUMERIC('')"}, "0"}, Case{{"QUOTE('it''s', 1)"}, "'it''s'"}, Case{{"UNQUOTE('''it''''s''')"}, "it's"},
        Case{{"RANDOM(7, 7)"}, "7"}, Case{{"INRANGE(RANDOM(10, 1), 1, 10)"}, "1"}, Case{{"DATE(1, 1, 1801)"}, "4"},
        Case{{"DATE(0, 1, 2000)"}, "-1"}, Case{{"DATE(2000000000, 2000000000, 2000000000)"}, "-1"},
        Case{{"YEAR(DATE(2, 29, 2008)) & MONTH(DATE(2, 29, 2008)) & DAY(DATE(2, 29, 2008))"}, "2008229"},
        Case{{"TODAY() = DATE(6, 15, 2008)"}, "1"}, Case{{"TODAY = DATE(6, 15, 2008)"}, "1"}, Case{{"AGE(DATE(6, 1, 2008))"}, "14 DAYS"},
        Case{{"DEFORMAT('1,234.50')"}, "1234.50"}, Case{{"MATCH('Smith', 'SMYTHE', 3)"}, "1"}, Case{{"MATCH('abc', 'A*', 17)"}, "1"},
        Case{{"MATCH('abc', 'A*')"}, "0"}, Case{{"MATCH('', '', 0)"}, "1"}, Case{{"MATCH('', '*')"}, "1"},
        Case{{"STRPOS('hello world', 'o w')"}, "5"}, Case{{"STRPOS('HELLO', 'l+', 16)"}, "3"}, Case{{"STRPOS('abc', '[c-a]')"}, "0"},
        Case{{"STRPOS('abc', 'b**')"}, "0"}, Case{{"STRPOS('abc', '$')"}, "4"}, Case{{"STRPOS('abc', '|')"}, "1"},
        Case{{"MATCH('abc', '$', 2)"}, "1"}, Case{{"SQL(a ')' b)"}, ""}, Case{{"MEMORY(1) > 0"}, "1"}, Case{{"PATH('/a/b/../c')"}, "/a/c"},
        Case{{"ABS()"}, "error 1010: Invalid expression for EVALUATE at pos 0", 1},
        Case{{"ABS(1, 2)"}, "error 1010: Invalid expression for EVALUATE at pos 7", 1},
        Case{{"SUB('a', 1)"}, "error 1010: Invalid expression for EVALUATE at pos 0", 1}));

INSTANTIATE_TEST_SUITE_P(Binding, EvalToolTest,
                         ::testing::Values(Case{{"--bind", "a=2", "--bind", "b=3.5", "a*b"}, "7"},
                                           Case{{"--bind", "name=Smith  ", "CLIP(name) & '!'"}, "Smith!"},
                                           Case{{"--bind", "name=Smith", "name[2]"}, "m"}, Case{{"--bind", "name=Smith", "name[2 : 4]"}, "mit"},
                                           Case{{"--bind", "name=Smith", "name[4 : 99]"}, "th"},
                                           Case{{"--bind", "PRE:Name=x", "pre:name & ?"}, "error 1011: BIND has not been called for ?", 1},
                                           Case{{"--bind", "PRE:Name=x", "pre:name & 'y'"}, "xy"}, Case{{"--bind", "n=10", "n = '10'"}, "1"},
                                           Case{{"--bind", "n=4000000000", "n + 1"}, "4000000001"},
                                           Case{{"x + 1"}, "error 1011: BIND has not been called for x", 1},
                                           Case{{"1 +"}, "error 1010: Invalid expression for EVALUATE at pos 3", 1}));

// Options: a --bind without its assignment is never taken for the expression, and a name that
// no expression could use is refused before anything is evaluated.
constexpr const char* kEvalUsage = "usage: tamsil eval [--bind NAME=VALUE]... EXPRESSION";
constexpr const char* kNameRule = "a name starts with a letter, '_' or '?' and goes on with letters, digits, '_' and ':'";

INSTANTIATE_TEST_SUITE_P(
    Options, EvalToolTest,
    ::testing::Values(Case{{"--bind"}, kEvalUsage, 2}, Case{{"--bind", "a=1"}, kEvalUsage, 2}, Case{{"1", "2"}, kEvalUsage, 2},
                      Case{{"--bind", "a", "1"}, std::string("tamsil: --bind takes NAME=VALUE, not 'a'\n") + kEvalUsage, 2},
                      Case{{"--bind", "a"}, std::string("tamsil: --bind takes NAME=VALUE, not 'a'\n") + kEvalUsage, 2},
                      Case{{"--bind", "a b=1", "1"}, std::string("tamsil: cannot bind 'a b': ") + kNameRule + "\n" + kEvalUsage, 2},
                      Case{{"--bind", "1a=1", "1"}, std::string("tamsil: cannot bind '1a': ") + kNameRule + "\n" + kEvalUsage, 2},
                      Case{{"--bind", "1a=1"}, std::string("tamsil: cannot bind '1a': ") + kNameRule + "\n" + kEvalUsage, 2},
                      Case{{"--bind", "a?b=1", "1"}, std::string("tamsil: cannot bind 'a?b': ") + kNameRule + "\n" + kEvalUsage, 2},
                      Case{{"--bind", "=1", "1"}, std::string("tamsil: cannot bind '': ") + kNameRule + "\n" + kEvalUsage, 2},
                      Case{{"--bind", "?x=2", "?x * 2"}, "4"}, Case{{"--bind", "_a:b$=3", "_a:b$"}, "3"},
                      Case{{"--bind", "a=x=y", "a"}, "x=y"}));

// Every not-a-number result is written one way, whatever sign bit the operation left on it.
INSTANTIATE_TEST_SUITE_P(NotANumber, EvalToolTest,
                         ::testing::Values(Case{{"SQRT(-1)"}, "nan"}, Case{{"-SQRT(-1)"}, "nan"}, Case{{"ACOS(2)"}, "nan"},
                                           Case{{"-ACOS(2)"}, "nan"}, Case{{"ASIN(-2)"}, "nan"}, Case{{"LOGE(-1)"}, "nan"},
                                           Case{{"LOG10(-5)"}, "nan"}, Case{{"1e400 * 10 - 1e400 * 10"}, "nan"}, Case{{"SQRT(-1) * 0"}, "nan"},
                                           Case{{"'v' & SQRT(-1)"}, "vnan"}, Case{{"ABS(SQRT(-1))"}, "nan"},
                                           Case{{"ROUND(SQRT(-1), 1)"}, "nan"}, Case{{"-(1e400 * 10 - 1e400 * 10)"}, "nan"}));

std::string repeated(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, EvalToolTest,
    ::testing::Values(Case{{"(1"}, "error 1010: Invalid expression for EVALUATE at pos 2", 1},
                      Case{{"1)"}, "error 1010: Invalid expression for EVALUATE at pos 1", 1},
                      Case{{""}, "error 1010: Invalid expression for EVALUATE at pos 0", 1},
                      Case{{"1 $ 2"}, "error 1010: Invalid expression for EVALUATE at pos 2", 1},
                      Case{{repeated("(", 10000) + "1" + repeated(")", 10000)}, "error 1010: Invalid expression for EVALUATE at pos 100", 1},
                      Case{{repeated("ABS(", 5000) + "1" + repeated(")", 5000)}, "error 1010: Invalid expression for EVALUATE at pos 403", 1},
                      Case{{"1" + repeated("+1", 50000)}, "error 1010: Invalid expression for EVALUATE at pos 999", 1},
                      Case{{repeated("-", 100001) + "1"}, "-1"},
                      Case{{repeated("N", 1000)}, "error 1011: BIND has not been called for " + repeated("N", 99), 1},
                      Case{{"ALL('x', 2000000000) = ''"}, "0"}));

// SQL rendering: operator texts, brackets where grouping needs them, and the rewrites.
class SqlToolTest : public ::testing::TestWithParam<Case> {};

TEST_P(SqlToolTest, RendersSql) {
  const Case& c = GetParam();
  std::vector<std::string> args{"sql", "--bind", "col=x", "--bind", "n=1"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult r = runTool(args);
  EXPECT_EQ(r.exitCode, c.exitCode);
  EXPECT_EQ(c.exitCode == 0 ? r.out : r.err, c.out + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rendering, SqlToolTest,
    ::testing::Values(
        Case{{"n+1*2 >= 3 AND NOT col = 'a'"}, "n + 1 * 2 >= 3 AND NOT col = 'a'"}, Case{{"(n+1)*2"}, "(n + 1) * 2"},
        Case{{"n-(1-2)"}, "n - (1 - 2)"}, Case{{"NOT (n = 1 OR n = 2)"}, "NOT (n = 1 OR n = 2)"},
        Case{{"n <> 1 XOR n ~< 2 & 'x'"}, "n <> 1 XOR n >= 2 & 'x'"}, Case{{"col & 'it''s'"}, "col & 'it''s'"}, Case{{"-n"}, "-n"},
        Case{{"--sort", "-n"}, "n DESC"}, Case{{"--sort", "-(n+1)"}, "n + 1 DESC"},
        Case{{"SUB(col, 2, 3) & col[1 : 2]"}, "SUB(col, 2, 3) & col[1 : 2]"}, Case{{"SUB(col, 1, 3) = 'abc'"}, "col LIKE 'abc%'"},
        Case{{"'abc' = SUB(col, 1, 3)"}, "col LIKE 'abc%'"}, Case{{"SUB(col, 1, 2) = 'abc'"}, "SUB(col, 1, 2) = 'abc'"},
        Case{{"INSTRING('ab', col, 1, 1) > 0"}, "col LIKE '%ab%'"}, Case{{"INSTRING('ab', col, 1, 1) = 0"}, "col NOT LIKE '%ab%'"},
        Case{{"INSTRING('ab', col, 1, 1) = 3"}, "INSTRING('ab', col, 1, 1) = 3"}, Case{{"MATCH(col, 'a?c*', 1) = 1"}, "col LIKE 'a_c%'"},
        Case{{"MATCH(col, 'a*') = 1"}, "col LIKE 'a%'"}, Case{{"MATCH(col, 'a*', 17) = 1"}, "UPPER(col) LIKE 'A%'"},
        Case{{"MATCH(col, 'o''b', 0) = 1"}, "col = 'o''b'"}, Case{{"MATCH(col, 'ab', 0) = 0"}, "col <> 'ab'"},
        Case{{"MATCH(col, 'Smith', 3) = 1"}, "SOUNDEX(col) = SOUNDEX('Smith')"}, Case{{"MATCH(col, 'a.c', 2) = 1"}, "MATCH(col, 'a.c', 2) = 1"},
        Case{{"NULL(col) = 1"}, "col IS NULL "}, Case{{"NULL(col) <> 1"}, "col IS NOT NULL "}, Case{{"NULL(col) = 0"}, "col IS NOT NULL "},
        Case{{"NULL(col) <> 0 AND SQL(x IN (1, ')'))"}, "col IS NULL  AND (x IN (1, ')'))"},
        Case{{"SQL(a OR b) AND n = 1"}, "(a OR b) AND n = 1"}, Case{{"NOT SQL(a OR b)"}, "NOT (a OR b)"},
        Case{{"SQL(a = 1 OR b = 2)"}, "a = 1 OR b = 2"}, Case{{"SQL(x"}, "error 1010: Invalid expression for EVALUATE at pos 3", 1},
        Case{{"--bind"}, "usage: tamsil sql [--bind NAME=VALUE]... [--sort] EXPRESSION", 2},
        // Two minus signs in a row would start an SQL comment.
        Case{{"-(-col) = 1 AND col = 2"}, "-(-col) = 1 AND col = 2"}, Case{{"col = 5 - -(-3)"}, "col = 5 - -(-3)"},
        Case{{"--sort", "-(-(-col))"}, "-(-col) DESC"}, Case{{"NOT (NOT n = 1)"}, "NOT (NOT n = 1)"},
        Case{{"SQL(x = 1 -- y)"}, "error 1010: Invalid expression for EVALUATE at pos 3", 1}, Case{{"NULL(n + 1) = 1"}, "(n + 1) IS NULL "},
        Case{{"-SQL(-n) < 1"}, "-(-n) < 1"}, Case{{"SQL(n) + 1 = 2"}, "(n) + 1 = 2"},
        Case{{"SUB(col & 'a', 1, 1) = 'x'"}, "(col & 'a') LIKE 'x%'"},
        Case{{"n = 2.0 + 0.1234567890123456789"}, "n = 2.0 + 0.12345678901234568"}));

}  // namespace
}  // namespace tamsil::testing
