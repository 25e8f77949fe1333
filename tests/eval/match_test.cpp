// MATCH in its four kinds and the sound code; the wildcard walk against cases where a greedy
// match without backtracking, or the from-the-end check, would go wrong.
#include <gtest/gtest.h>

#include "runtime/eval/match.h"
#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

struct SoundCase {
  const char* text;
  const char* code;
};

void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.text; }

class SoundCodeTest : public EvalTest, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(SoundCodeTest, Codes) { EXPECT_EQ(soundCode(GetParam().text), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(Rules, SoundCodeTest,
                         ::testing::Values(SoundCase{"Smith", "S530"}, SoundCase{"SMYTHE", "S530"},
                                           SoundCase{"Robert", "R130"},  // the second r repeats the first letter's digit
                                           SoundCase{"Lloyd", "L300"},   // a digit equal to the first letter's is left out
                                           SoundCase{"Pfister", "P236"}, SoundCase{"Tymczak", "T522"},  // repeats of other digits stay
                                           SoundCase{"  12ab", "A100"},                                 // leading non-letters skipped
                                           SoundCase{"Lee", "L000"}, SoundCase{"", "!"}, SoundCase{"1234", "!"},
                                           SoundCase{"Washington", "W252"}));

struct MatchCase {
  const char* value;
  const char* pattern;
  int64_t mode;
  int64_t expected;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.value << " ~ " << c.pattern << " mode " << c.mode; }

class MatchTest : public EvalTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(MatchTest, Matches) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(matchText(c.value, c.pattern, c.mode), c.expected) << c.value << " ~ " << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(Simple, MatchTest,
                         ::testing::Values(MatchCase{"abc", "abc", 0, 1}, MatchCase{"abc  ", "abc", 0, 1}, MatchCase{"abc", "ab", 0, 0},
                                           MatchCase{"ABC", "abc", 0, 0}, MatchCase{"ABC", "abc", 16, 1}, MatchCase{"", "", 0, 1},
                                           MatchCase{"a", "", 0, 0}));

INSTANTIATE_TEST_SUITE_P(Wildcard, MatchTest,
                         ::testing::Values(MatchCase{"abc", "a*", 1, 1}, MatchCase{"abc", "A*", 17, 1}, MatchCase{"abc", "A*", 1, 0},
                                           MatchCase{"abc", "*c", 1, 1}, MatchCase{"abc", "*b", 1, 0}, MatchCase{"abc", "a?c", 1, 1},
                                           MatchCase{"ac", "a?c", 1, 0}, MatchCase{"aXbXc", "a*b*c", 1, 1},
                                           MatchCase{"abcbc", "*bc", 1, 1},    // the last "bc" ends it
                                           MatchCase{"abab", "*ab*ab", 1, 1},  // needs backtracking
                                           MatchCase{"mississippi", "m*iss*ppi", 1, 1}, MatchCase{"mississippi", "m*iss*ppx", 1, 0},
                                           MatchCase{"a", "*a*", 1, 1}, MatchCase{"", "*", 1, 1}, MatchCase{"", "?", 1, 0},
                                           MatchCase{"", "", 1, 1}, MatchCase{"x", "**", 1, 1}, MatchCase{"ab", "*abc", 1, 0}));

INSTANTIATE_TEST_SUITE_P(OtherKinds, MatchTest,
                         ::testing::Values(MatchCase{"hello", "l+o$", 2, 1}, MatchCase{"hello", "^l", 2, 0}, MatchCase{"HELLO", "l+o", 18, 1},
                                           MatchCase{"abc", "[z-a]", 2, 0},  // an invalid expression matches nothing
                                           MatchCase{"Smith", "Smyth", 3, 1}, MatchCase{"Smith", "Jones", 3, 0}, MatchCase{"", "", 3, 1},
                                           MatchCase{"abc", "abc", 4, 0},  // kinds beyond the four match nothing
                                           MatchCase{"abc", "abc", 15, 0}));

}  // namespace
}  // namespace tamsil::testing
