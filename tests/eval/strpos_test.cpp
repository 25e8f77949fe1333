// STRPOS's regular expressions: positions of the leftmost match, the syntax's corner cases,
// patterns that are errors, random patterns against the standard library's regular expressions,
// the time of pathological patterns, and the shared cache under threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/eval/match.h"
#include "runtime/eval/regex.h"
#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

struct PosCase {
  std::string text;
  std::string pattern;
  int64_t mode;
  int64_t expected;
};
void PrintTo(const PosCase& c, std::ostream* os) { *os << "'" << c.text << "' /" << c.pattern << "/"; }

class StrPosTest : public EvalTest, public ::testing::WithParamInterface<PosCase> {};

TEST_P(StrPosTest, FindsLeftmostMatch) {
  const PosCase& c = GetParam();
  EXPECT_EQ(stringPosition(c.text, c.pattern, c.mode), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, StrPosTest,
    ::testing::Values(PosCase{"hello world", "o w", 0, 5}, PosCase{"hello", "z", 0, 0}, PosCase{"hello", "^h", 0, 1},
                      PosCase{"hello", "^e", 0, 0}, PosCase{"hello", "o$", 0, 5}, PosCase{"hello", "l$", 0, 0}, PosCase{"hello", ".l", 0, 2},
                      PosCase{"hello", "l+", 0, 3}, PosCase{"abc", "x*", 0, 1},  // an empty match at the start
                      PosCase{"abbbc", "ab*c", 0, 1}, PosCase{"ac", "ab?c", 0, 1}, PosCase{"abbc", "ab?c", 0, 0},
                      PosCase{"xabcabc", "{abc}+$", 0, 2}, PosCase{"xaby", "{ab|cd}y", 0, 2}, PosCase{"xcdy", "{ab|cd}y", 0, 2},
                      PosCase{"cat dog", "dog|cat", 0, 1}, PosCase{"abcd", "cd|b", 0, 2},  // leftmost, not first alternative
                      PosCase{"abab", "ab+", 0, 1},                                        // the repetition takes only the run's last character
                      PosCase{"abbb", "{ab}+b", 0, 1}, PosCase{"a1b", "[0-9]", 0, 2}, PosCase{"a1b", "[^a-z]", 0, 2},
                      PosCase{"a1b", "[~a-z]", 0, 2}, PosCase{"a]b", "[]]", 0, 2}, PosCase{"a-b", "[-]", 0, 2}, PosCase{"a-b", "[x-]", 0, 2},
                      PosCase{"a^b", "[x^]", 0, 2}, PosCase{"a.b", "\\.", 0, 2}, PosCase{"a*b", "a\\*", 0, 1}, PosCase{"a{b", "\\{", 0, 2},
                      PosCase{"HeLLo", "ll", 16, 3}, PosCase{"HeLLo", "ll", 0, 0}, PosCase{"HELLO", "[a-z]+o", 16, 1}, PosCase{"", "^$", 0, 1},
                      PosCase{"", "a", 0, 0}, PosCase{"a|b", "\\|", 0, 2}, PosCase{"xx", "{}", 0, 1}, PosCase{"xxxy", "{x*}*y", 0, 1}));

INSTANTIATE_TEST_SUITE_P(InvalidPatterns, StrPosTest,
                         ::testing::Values(PosCase{"abc", "", 0, 0}, PosCase{"abc", "[c-a]", 0, 0}, PosCase{"abc", "a**", 0, 0},
                                           PosCase{"abc", "a+?", 0, 0}, PosCase{"abc", "*a", 0, 0}, PosCase{"abc", "^*", 0, 0},
                                           PosCase{"abc", "[abc", 0, 0}, PosCase{"abc", "{abc", 0, 0}, PosCase{"abc", "abc}", 0, 0},
                                           PosCase{"abc", "abc\\", 0, 0}, PosCase{"abc", "|*", 0, 0},
                                           PosCase{"abc", std::string(65, '{') + "a" + std::string(65, '}'), 0, 0}));

// Empty matches are matches, at the offset where they stand.
INSTANTIATE_TEST_SUITE_P(EmptyMatches, StrPosTest,
                         ::testing::Values(PosCase{"abc", "$", 0, 4}, PosCase{"abc", "|", 0, 1}, PosCase{"abc", "^", 0, 1},
                                           PosCase{"abc", "x|$", 0, 4}, PosCase{"abc", "{$}", 0, 4}, PosCase{"abc", "$|x", 0, 4},
                                           PosCase{"abc", "c?$", 0, 3}, PosCase{"", "$", 0, 1}, PosCase{"", "x*", 0, 1},
                                           PosCase{"abc", "x|", 0, 1}, PosCase{"abc", "{}$", 0, 4}, PosCase{"abc", "{x*}*$", 0, 4},
                                           PosCase{"abc", "{a|}+c", 0, 3}, PosCase{"abc", "{$}*", 0, 1}));

// Random patterns over a small alphabet, written both in the runtime's syntax and in the
// standard library's, whose search also reports the leftmost match, empty ones included.
class PatternWriter {
 public:
  // Appends one pattern to ours and the same pattern to theirs.
  void alternatives(int depth, std::string& ours, std::string& theirs) {
    const int count = pick(4) == 0 ? 2 + pick(2) : 1;
    for (int i = 0; i < count; ++i) {
      if (i > 0) ours += '|', theirs += '|';
      sequence(depth, ours, theirs);
    }
  }

  // Up to 8 characters, or 65 to 400: long texts take the search's kept states and, for a
  // pattern without a loop, its leading windows.
  std::string text(bool longText = false) {
    std::string t(longText ? size_t(65 + pick(336)) : size_t(pick(9)), 'a');
    for (char& c : t) c = "abc"[pick(3)];
    return t;
  }

 private:
  void sequence(int depth, std::string& ours, std::string& theirs) {
    const int items = pick(4);
    for (int i = 0; i < items; ++i) {
      switch (pick(depth > 0 ? 8 : 6)) {
        case 0: ours += '^', theirs += '^'; continue;  // anchors take no repetition
        case 1: ours += '$', theirs += '$'; continue;
        case 2: ours += '.', theirs += '.'; break;
        case 3: ours += "[^b]", theirs += "[^b]"; break;
        case 4:
        case 5: {
          const char c = "abc"[pick(3)];
          ours += c, theirs += c;
          break;
        }
        default:
          ours += '{', theirs += "(?:";
          alternatives(depth - 1, ours, theirs);
          ours += '}', theirs += ')';
          // The reference backtracks: a repeated group that can match empty takes it forever.
          if (pick(3) == 0) ours += '?', theirs += '?';
          continue;
      }
      if (const int r = pick(6); r < 3) ours += "*+?"[r], theirs += "*+?"[r];
    }
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
  std::mt19937 engine_{42};
};

TEST_F(EvalTest, RandomPatternsFindWhatTheStandardSearchFinds) {
  PatternWriter w;
  int compared = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string ours, theirs;
    w.alternatives(2, ours, theirs);
    if (ours.empty()) continue;  // not a pattern
    const std::regex reference(theirs, std::regex::ECMAScript);
    for (int k = 0; k < 8; ++k) {
      const std::string text = w.text();
      std::smatch m;
      const int64_t expected = std::regex_search(text, m, reference) ? m.position(0) + 1 : 0;
      EXPECT_EQ(stringPosition(text, ours, 0), expected) << "'" << text << "' /" << ours << "/";
      ++compared;
    }
  }
  EXPECT_GT(compared, 15000);
}

TEST_F(EvalTest, RandomPatternsOnLongTextsFindWhatTheStandardSearchFinds) {
  PatternWriter w;
  for (int i = 0; i < 600; ++i) {
    std::string ours, theirs;
    w.alternatives(2, ours, theirs);
    if (ours.empty()) continue;
    const std::regex reference(theirs, std::regex::ECMAScript);
    for (int k = 0; k < 3; ++k) {
      // Rare letters make matches late or missing, so that the whole text is read.
      std::string text = w.text(true);
      if (k > 0) std::replace(text.begin(), text.end(), k == 1 ? 'a' : 'b', 'x');
      std::smatch m;
      const int64_t expected = std::regex_search(text, m, reference) ? m.position(0) + 1 : 0;
      EXPECT_EQ(stringPosition(text, ours, 0), expected) << "'" << text << "' /" << ours << "/";
    }
  }
}

// A pattern without a loop is first searched in a leading window of the text: a match that the
// window cuts short, or an end of text that is only the window's, must not count.
INSTANTIATE_TEST_SUITE_P(LeadingWindows, StrPosTest,
                         ::testing::Values(PosCase{std::string(61, 'x') + "abcd" + std::string(400, 'x'), "abcd|c", 0, 62},
                                           PosCase{std::string(63, 'x') + "a" + std::string(400, 'x'), "a$|b", 0, 0},
                                           PosCase{std::string(463, 'x') + "a", "a$|b", 0, 464},
                                           PosCase{std::string(63, 'x') + "ab" + std::string(400, 'x') + "b", "{ab|b}", 0, 64}));

TEST_F(EvalTest, PathologicalPatternsStayLinear) {
  const std::string text(20000, 'a');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(stringPosition(text, "{a*}*{a*}*b", 0), 0);
  EXPECT_EQ(stringPosition(text + "b", "{a|aa}*b", 0), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(EvalTest, CacheKeepsOnePatternAndCaseFlag) {
  const auto a = cachedRegex("ab+", false);
  EXPECT_EQ(a, cachedRegex("ab+", false));  // reused
  EXPECT_NE(a, cachedRegex("ab+", true));   // another case flag is another pattern
  EXPECT_EQ(cachedRegex("[b-a]", false), nullptr);
  EXPECT_EQ(a->search("xabb"), 1);  // a replaced pattern stays usable by its holder
}

TEST(StrPosThreads, ThreadsSharingTheCacheGetTheirOwnPatternsResults) {
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      ThreadContextScope context;
      const std::string pattern = std::string(size_t(t) + 1, 'x') + "y";
      const std::string text = std::string(10, 'a') + pattern;
      for (int i = 0; i < 2000; ++i)
        if (stringPosition(text, pattern, 0) != 11) ++wrong;
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace tamsil::testing
