// Arithmetic and comparisons checked against an independent computation: thousands of random
// expressions (fixed seed) are written twice, once in the evaluator's syntax with only the
// brackets its grammar needs, once as Python with every operation spelled out, and both results
// must agree within the real-number tolerance. Python's own arithmetic is the reference; the
// helpers only state the documented rules (division by zero gives 0, modulus takes the sign of
// the dividend, reals compare equal within 2^-50).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "tests/eval/eval_test.h"
#include "tests/tools/run_tool.h"

namespace tamsil::testing {
namespace {

constexpr const char* kPythonHelpers = R"(import math, sys
def F(x): return float(x)
def D(a, b): return 0.0 if F(b) == 0 else F(a) / F(b)
def M(a, b): return 0.0 if F(b) == 0 else math.fmod(F(a), F(b))
def P(a, b): return math.pow(F(a), F(b))
def CW(a, b): return (a > b) - (a < b)
def CR(a, b):
    a, b = F(a), F(b)
    if a == b: return 0
    d = a - b
    ed = math.frexp(d)[1]
    ea = math.frexp(a)[1] if a != 0 else 1
    eb = math.frexp(b)[1] if b != 0 else 1
    if ed + 50 < ea or ed + 50 < eb: return 0
    return -1 if d < 0 else 1
def T(x): return x != 0
for line in open(sys.argv[1]):
    try:
        v = eval(line)
        if isinstance(v, bool): v = int(v)
        if isinstance(v, float) and (math.isinf(v) or math.isnan(v)): print("skip")
        else: print(repr(v))
    except (ValueError, OverflowError, ZeroDivisionError):
        print("skip")
)";

// A random expression tree, printed in both syntaxes.
struct Expr {
  enum Kind { Whole, Real, Unary, Binary, Compare, Logic, Not } kind;
  std::string op;
  int64_t whole = 0;
  std::string realText;
  std::unique_ptr<Expr> l, r;

  bool isWhole() const { return kind == Whole || (kind == Unary && l->isWhole()) || kind >= Compare; }

  // Binding strength by the documented grammar (higher binds tighter).
  int strength() const {
    switch (kind) {
      case Whole:
      case Real: return 10;
      case Unary: return 9;
      case Not: return 3;
      case Compare: return 4;
      case Logic: return op == "AND" ? 2 : 1;
      case Binary: return op == "^" ? 8 : (op == "+" || op == "-") ? 6 : 7;
    }
    return 0;
  }

  static std::string wrap(const Expr& e, bool need) { return need ? "(" + e.ours() + ")" : e.ours(); }

  std::string ours() const {
    switch (kind) {
      case Whole: return std::to_string(whole);
      case Real: return realText;
      case Unary: return "-" + wrap(*l, l->strength() < 10);
      case Not: return "NOT " + wrap(*l, l->strength() < 4);
      case Binary:
        if (op == "^") return wrap(*l, l->strength() < 9) + " ^ " + wrap(*r, r->strength() < 9);
        [[fallthrough]];
      default: return wrap(*l, l->strength() < strength()) + " " + op + " " + wrap(*r, r->strength() <= strength());
    }
  }

  std::string python() const {
    switch (kind) {
      case Whole: return std::to_string(whole);
      case Real: return realText;
      case Unary: return "(-" + l->python() + ")";
      case Not: return "int(not T(" + l->python() + "))";
      case Compare: {
        const std::string cmp = std::string(l->isWhole() && r->isWhole() ? "CW(" : "CR(") + l->python() + ", " + r->python() + ")";
        static const std::map<std::string, std::string> kRel = {{"=", "== 0"}, {"<>", "!= 0"}, {"<", "< 0"},
                                                                {">", "> 0"},  {"<=", "<= 0"}, {">=", ">= 0"}};
        return "int(" + cmp + " " + kRel.at(op) + ")";
      }
      case Logic: {
        const std::string a = "T(" + l->python() + ")", b = "T(" + r->python() + ")";
        if (op == "XOR") return "int(" + a + " != " + b + ")";
        return "int(" + a + (op == "AND" ? " and " : " or ") + b + ")";
      }
      case Binary:
        if (op == "/") return "D(" + l->python() + ", " + r->python() + ")";
        if (op == "%") return "M(" + l->python() + ", " + r->python() + ")";
        if (op == "^") return "P(" + l->python() + ", " + r->python() + ")";
        return "(F(" + l->python() + ") " + op + " F(" + r->python() + "))";
    }
    return {};
  }
};

class Generator {
 public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  std::unique_ptr<Expr> top() {
    const int pick = roll(10);
    if (pick < 4) return arithmetic(4);
    if (pick < 8) return compare(3);
    auto e = std::make_unique<Expr>();
    e->kind = pick == 8 ? Expr::Logic : Expr::Not;
    static const char* kLogic[] = {"AND", "OR", "XOR"};
    e->op = kLogic[roll(3)];
    e->l = compare(2);
    if (e->kind == Expr::Logic) e->r = compare(2);
    return e;
  }

 private:
  int roll(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::unique_ptr<Expr> compare(int depth) {
    static const char* kRel[] = {"=", "<>", "<", ">", "<=", ">="};
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Compare;
    e->op = kRel[roll(6)];
    e->l = roll(4) == 0 ? compare(depth - 1 < 0 ? 0 : depth - 1) : arithmetic(depth);
    e->r = arithmetic(depth);
    if (e->l->kind == Expr::Compare) e->r = leaf();  // 1 < 2 < 3: a 0 or 1 against a number
    return e;
  }

  std::unique_ptr<Expr> leaf() {
    auto e = std::make_unique<Expr>();
    if (roll(3) == 0) {
      e->kind = Expr::Real;
      e->realText = std::to_string(roll(100)) + "." + std::to_string(roll(100));
    } else {
      e->kind = Expr::Whole;
      e->whole = roll(25);
    }
    return e;
  }

  std::unique_ptr<Expr> arithmetic(int depth) {
    if (depth <= 0 || roll(4) == 0) {
      auto e = leaf();
      if (roll(6) == 0) {
        auto u = std::make_unique<Expr>();
        u->kind = Expr::Unary;
        u->l = std::move(e);
        return u;
      }
      return e;
    }
    static const char* kOps[] = {"+", "-", "*", "/", "%", "^", "+", "-", "*"};
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Binary;
    e->op = kOps[roll(9)];
    e->l = arithmetic(depth - 1);
    e->r = e->op == "^" ? leaf() : arithmetic(depth - 1);  // keep powers in range
    if (roll(8) == 0) {
      auto u = std::make_unique<Expr>();
      u->kind = Expr::Unary;
      u->l = std::move(e);
      return u;
    }
    return e;
  }

  std::mt19937 rng_;
};

bool agree(const std::string& ours, const std::string& python) {
  char* end = nullptr;
  const double a = std::strtod(ours.c_str(), &end);
  if (end == ours.c_str() || *end) return false;
  const double b = std::strtod(python.c_str(), nullptr);
  if (a == b) return true;
  return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b)) || std::fabs(a - b) < 1e-12;
}

TEST_F(EvalTest, AgreesWithPythonOnGeneratedExpressions) {
  constexpr int kCount = 3000;
  Generator gen(20240611);
  std::vector<std::string> ours;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("eval_diff_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  {
    std::ofstream script(dir / "reference.py");
    script << kPythonHelpers;
    std::ofstream lines(dir / "expressions.txt");
    for (int i = 0; i < kCount; ++i) {
      const auto e = gen.top();
      ours.push_back(e->ours());
      lines << e->python() << "\n";
    }
  }
  const ToolResult py = runProcess("/usr/bin/python3", {(dir / "reference.py").string(), (dir / "expressions.txt").string()});
  std::filesystem::remove_all(dir);
  ASSERT_EQ(py.exitCode, 0) << py.err;
  std::istringstream reference(py.out);
  int compared = 0, skipped = 0;
  for (const std::string& text : ours) {
    std::string expected;
    ASSERT_TRUE(std::getline(reference, expected));
    if (expected == "skip") {
      ++skipped;
      continue;
    }
    const std::string got = EVALUATE(text);
    ASSERT_EQ(errorCode(), 0) << text << ": " << errorText();
    EXPECT_TRUE(agree(got, expected)) << text << "\n  ours:   " << got << "\n  python: " << expected;
    ++compared;
  }
  EXPECT_GT(compared, kCount * 9 / 10) << skipped << " skipped";
}

}  // namespace
}  // namespace tamsil::testing
