// SQL rendering read back: thousands of random expressions (fixed seed), written with surplus
// brackets, chains of signs and NOTs, and constants of every form, are compiled, rendered, and
// the rendering compiled again; both trees must be the same, node for node. No rendering, the
// server rewrites included, may hold "--" or "/*" outside a quoted text, where SQL would read
// the rest as a comment.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

// True when SQL would read part of the text as a comment.
bool holdsComment(std::string_view sql) {
  bool quoted = false;
  for (size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\'') quoted = !quoted;  // a doubled quote toggles twice
    if (quoted || i + 1 == sql.size()) continue;
    if ((sql[i] == '-' && sql[i + 1] == '-') || (sql[i] == '/' && sql[i + 1] == '*')) return true;
  }
  return false;
}

bool sameTree(const Expression& a, uint32_t na, const Expression& b, uint32_t nb) {
  const Node &x = a.nodes[na], &y = b.nodes[nb];
  if (x.kind != y.kind || x.op != y.op || x.cls != y.cls || x.compareAs != y.compareAs) return false;
  switch (x.kind) {
    case NodeKind::Whole: return x.whole == y.whole;
    case NodeKind::Real: return x.real == y.real;
    case NodeKind::Text:
    case NodeKind::Picture:
    case NodeKind::Variable:
    case NodeKind::Raw: return a.texts[x.text] == b.texts[y.text];
    case NodeKind::Omitted: return true;
    case NodeKind::Negate:
    case NodeKind::Not: return sameTree(a, x.lhs, b, y.lhs);
    case NodeKind::Binary:
    case NodeKind::Element: return sameTree(a, x.lhs, b, y.lhs) && sameTree(a, x.rhs, b, y.rhs);
    case NodeKind::Procedure:
      if (a.texts[x.text] != b.texts[y.text]) return false;
      [[fallthrough]];
    case NodeKind::Call:
    case NodeKind::Substring:
      if (x.rhs != y.rhs) return false;
      for (uint32_t i = 0; i < x.rhs; ++i)
        if (!sameTree(a, a.links[x.lhs + i], b, b.links[y.lhs + i])) return false;
      return true;
  }
  return false;
}

// Expression texts in the evaluator's syntax, deliberately written with more signs and brackets
// than needed, so that the tree's grouping is often not the one precedence alone gives.
class Generator {
 public:
  std::string expression(int depth) {
    static constexpr std::array<const char*, 13> kLeaves = {"7",     "0", "2147483647", "2.5", "0.1234567890123456789", "1e20", "2.0",
                                                            "1e400", "n", "r",          "col", "'it''s -- /* x'",       "TODAY"};
    static constexpr std::array<const char*, 19> kOperators = {" ^ ", " * ",  " / ",  " % ",   " + ",  " - ",   " & ", " = ", " <> ", " < ",
                                                               " > ", " <= ", " >= ", " AND ", " OR ", " XOR ", "-",   "+",   "~="};
    if (depth == 0 || pick(4) == 0) return kLeaves[pick(kLeaves.size())];
    const std::string a = expression(depth - 1);
    switch (pick(10)) {
      case 0: return "-" + a;
      case 1: return "-(" + a + ")";
      case 2: return "(NOT " + a + ")";
      case 3: return "(NOT (" + a + "))";
      case 4: return "(" + a + ")";
      case 5: return "ABS(" + a + ")";
      case 6: return "col[" + a + (pick(2) ? " : " + expression(depth - 1) : std::string()) + "]";
      case 7: return "INRANGE(" + a + ", " + expression(depth - 1) + ", " + expression(depth - 1) + ")";
      default: return a + kOperators[pick(kOperators.size())] + expression(depth - 1);
    }
  }

  // A call that the rendering rewrites into a server form, on a random operand.
  std::string rewritten(int depth) {
    const std::string a = expression(depth);
    switch (pick(7)) {
      case 0: return "SUB(" + a + ", 1, 4) = '--/*'";
      case 1: return "INSTRING('-', " + a + ", 1, 1) > 0";
      case 2: return "MATCH(" + a + ", '-*', 17) = 1";
      case 3: return "MATCH(" + a + ", '/*-', 3) = 0";
      case 4: return "NULL(" + a + ") <> 1 AND " + expression(depth);
      case 5: return "-SQL(-n) = " + a;
      default: return "SQL(x IN ('--', '/*')) OR " + a + " = 1";
    }
  }

 private:
  size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(engine_); }
  std::mt19937 engine_{20261207};
};

class SqlRoundTripTest : public EvalTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(BIND("n", n_));
    ASSERT_TRUE(BIND("r", r_));
    ASSERT_TRUE(BIND("col", StorageType::String, col_.data(), col_.size()));
  }
  int32_t n_ = 3;
  double r_ = 1.5;
  std::string col_ = "abc";
};

TEST_F(SqlRoundTripTest, RenderingReadsBackAsTheSameTree) {
  Generator g;
  int compared = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string text = g.expression(6);
    const auto tree = compileExpression(text);
    if (!tree) continue;  // the generator also writes what the grammar refuses
    for (const bool sort : {false, true}) {
      std::string sql;
      renderSql(*tree, sql, sort);
      SCOPED_TRACE(text + "  ->  " + sql);
      EXPECT_FALSE(holdsComment(sql));
      // A sort expression's top minus comes back as " DESC" after its operand.
      uint32_t expected = tree->root;
      if (sort && tree->nodes[expected].kind == NodeKind::Negate) {
        ASSERT_TRUE(sql.ends_with(" DESC"));
        sql.resize(sql.size() - 5);
        expected = tree->nodes[expected].lhs;
      }
      const auto back = compileExpression(sql);
      ASSERT_NE(back, nullptr);
      EXPECT_TRUE(sameTree(*tree, expected, *back, back->root));
    }
    ++compared;
  }
  EXPECT_GT(compared, 1000);  // the generator mostly writes valid expressions
}

TEST_F(SqlRoundTripTest, RewritesAndRawTextsStartNoComment) {
  Generator g;
  for (int i = 0; i < 2000; ++i) {
    const std::string text = g.rewritten(4);
    const auto tree = compileExpression(text);
    if (!tree) continue;
    std::string sql;
    renderSql(*tree, sql);
    EXPECT_FALSE(holdsComment(sql)) << text << "  ->  " << sql;
  }
}

struct RawCase {
  std::string text;
  bool valid;
};

class SqlRawTextTest : public EvalTest, public ::testing::WithParamInterface<RawCase> {};

// A comment in a raw part would swallow whatever the statement goes on with after it.
TEST_P(SqlRawTextTest, CommentOutsideQuotesIsRefused) {
  EXPECT_EQ(compileExpression(GetParam().text) != nullptr, GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(RawTexts, SqlRawTextTest,
                         ::testing::Values(RawCase{"SQL(x - -1)", true}, RawCase{"SQL(x = '--' OR y = '/*')", true},
                                           RawCase{"SQL(x / 2 * 3)", true}, RawCase{"SQL(x --)", false}, RawCase{"SQL(x = 1 -- y)", false},
                                           RawCase{"SQL(x /* y */)", false}, RawCase{"SQL('a' --'b')", false}));

}  // namespace
}  // namespace tamsil::testing
