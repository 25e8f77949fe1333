// Binding scopes and bound variables: lookup order, scope lifetime, the name cut, storage types,
// procedures, the error codes of the binding operations, and errors never overwriting an
// earlier one.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "runtime/eval/evaluator_state.h"
#include "runtime/value/calendar.h"
#include "tests/eval/eval_test.h"

namespace tamsil::testing {
namespace {

using BindingTest = EvalTest;

TEST_F(BindingTest, NewestScopeHidesOlderAndPopRestores) {
  int32_t outer = 1, inner = 2;
  ASSERT_TRUE(BIND("v", outer));
  ASSERT_TRUE(PUSHBIND());
  ASSERT_TRUE(BIND("V", inner));  // names compare without case
  EXPECT_EQ(EVALUATE("v"), "2");
  ASSERT_TRUE(POPBIND());
  EXPECT_EQ(EVALUATE("v"), "1");
  EXPECT_EQ(errorCode(), 0);
}

TEST_F(BindingTest, NamesPoppedWithTheirScopeAreGone) {
  int32_t x = 5;
  PUSHBIND();
  BIND("x", x);
  POPBIND();
  EXPECT_EQ(EVALUATE("x"), "");
  EXPECT_EQ(errorCode(), 1011);
  EXPECT_EQ(errorText(), "BIND has not been called for x");
}

TEST_F(BindingTest, BoundNameMayShadowAFunction) {
  int32_t len = 42;
  BIND("LEN", len);
  EXPECT_EQ(EVALUATE("LEN"), "42");
  Unbind("LEN");
  EXPECT_EQ(EVALUATE("LEN('abc')"), "3");
}

TEST_F(BindingTest, UnbindCutsTheNameAtTheFirstCharacterOutsideNames) {
  int32_t v = 7;
  BIND("PRE:Total  ", v);  // blank-padded, as fixed-width program texts are
  EXPECT_EQ(EVALUATE("pre:total + 1"), "8");
  EXPECT_TRUE(Unbind("PRE:TOTAL   garbage"));
  EXPECT_FALSE(Unbind("PRE:TOTAL"));
  BIND("Amount$x", v);  // a final '$' belongs to the name
  EXPECT_EQ(EVALUATE("Amount$"), "7");
}

// isExpressionName says which names an expression can refer to once bound: for random texts
// of name characters and others, a name it accepts reads back as that one variable, and one it
// refuses never does.
TEST_F(BindingTest, ExpressionNamesAreExactlyTheNamesAnExpressionCanUse) {
  static constexpr std::string_view kCharacters = "aZ_?:1#$\" -.'(x";
  std::mt19937 engine(7);
  int32_t value = 1;
  int accepted = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string name(std::uniform_int_distribution<size_t>(1, 6)(engine), ' ');
    for (char& c : name) c = kCharacters[std::uniform_int_distribution<size_t>(0, kCharacters.size() - 1)(engine)];
    ASSERT_TRUE(PUSHBIND());
    BIND(name, value);
    const auto tree = compileExpression(name);
    const bool readsBack =
        tree && tree->nodes[tree->root].kind == NodeKind::Variable && std::string_view(tree->texts[tree->nodes[tree->root].text]) == name;
    EXPECT_EQ(isExpressionName(name), readsBack) << "[" << name << "]";
    accepted += readsBack;
    ASSERT_TRUE(POPBIND());
  }
  EXPECT_GT(accepted, 100);
  EXPECT_TRUE(isExpressionName(std::string(150, 'n')));  // longer names are cut alike in both places
}

TEST_F(BindingTest, SentinelNameCanBeBoundAndUnbound) {
  int32_t m = 3;
  EXPECT_EQ(EVALUATE("MMMMMM"), "");
  EXPECT_EQ(errorCode(), 1011);
  clearError();
  BIND("MMMMMM", m);
  EXPECT_EQ(EVALUATE("MMMMMM * 2"), "6");
  EXPECT_TRUE(Unbind("mmmmmm"));
  EXPECT_FALSE(Unbind("MMMMMM"));
}

TEST_F(BindingTest, CompiledTreeReadsTheVariableAtEvaluationAndOutlivesUnbind) {
  double rate = 0.5;
  BIND("rate", rate);
  const auto tree = compileExpression("rate * 10");
  ASSERT_TRUE(tree);
  Unbind("rate");
  rate = 2;
  EXPECT_EQ(evaluateTree(*tree).asText(), "20");
}

TEST_F(BindingTest, StorageTypesGiveTheirClassAndValue) {
  const int16_t s = -5;
  const uint32_t ul = 4000000000u;
  const float f = 1.5f;
  const uint8_t b = 200;
  char fixed[6] = {'a', 'b', ' ', ' ', ' ', ' '};
  char zero[8] = "xy";
  unsigned char counted[6] = {3, 'p', 'q', 'r', 'z', 'z'};
  const uint32_t packed = packDate(dayNumber(2, 29, 2008));
  BIND("s", StorageType::Short, &s);
  BIND("ul", StorageType::ULong, &ul);
  BIND("f", StorageType::SReal, &f);
  BIND("b", StorageType::Byte, &b);
  BIND("fixed", StorageType::String, fixed, sizeof fixed);
  BIND("zero", StorageType::CString, zero, sizeof zero);
  BIND("counted", StorageType::PString, counted, sizeof counted);
  BIND("d", StorageType::Date, &packed);
  EXPECT_EQ(EVALUATE("s & ',' & ul & ',' & f & ',' & b"), "-5,4000000000,1.5,200");
  EXPECT_EQ(EVALUATE("LEN(fixed) & LEN(zero) & LEN(counted)"), "623");
  EXPECT_EQ(EVALUATE("fixed = 'ab'"), "1");  // texts compare as texts
  EXPECT_EQ(EVALUATE("counted & zero"), "pqrxy");
  EXPECT_EQ(EVALUATE("MONTH(d) & DAY(d)"), "229");
  EXPECT_EQ(EVALUATE("ul > 2147483647"), "1");  // whole numbers are not cut to 32 bits
  EXPECT_FALSE(BIND("bad", StorageType(12), &s));
  EXPECT_FALSE(BIND("null", StorageType::Long, nullptr));
}

TEST_F(BindingTest, ProceduresAreCalledOnEachEvaluation) {
  int calls = 0;
  BIND("next", BoundProcedure{ValueClass::Whole, [&calls](const std::vector<Value>&) { return Value::ofWhole(++calls); }});
  const auto tree = compileExpression("next + next");
  ASSERT_TRUE(tree);
  EXPECT_EQ(evaluateTree(*tree).asText(), "3");
  EXPECT_EQ(evaluateTree(*tree).asText(), "7");
}

TEST_F(BindingTest, ClosingEveryScopeLeaves1014ForBindingAnd1012ForPop) {
  int32_t v = 1;
  BIND("v", v);
  EXPECT_TRUE(POPBIND());  // the first scope, with v in it
  EXPECT_EQ(EVALUATE("LEN('ab')"), "2");
  EXPECT_FALSE(BIND("v", v));
  EXPECT_EQ(errorCode(), 1014);
  EXPECT_EQ(errorText(), "Unknown evaluation context");
  clearError();
  EXPECT_FALSE(Unbind("v"));
  EXPECT_EQ(errorCode(), 1014);
  clearError();
  EXPECT_FALSE(POPBIND());
  EXPECT_EQ(errorCode(), 1012);
  EXPECT_EQ(errorText(), "Mismatched PUSHBIND/POPBIND");
  EXPECT_TRUE(PUSHBIND());
  EXPECT_TRUE(BIND("v", v));
  EXPECT_EQ(EVALUATE("v"), "1");
}

TEST_F(BindingTest, AnErrorAlreadyPostedIsNotReplaced) {
  EXPECT_EQ(EVALUATE("1 +"), "");
  EXPECT_EQ(EVALUATE("unknown"), "");
  EXPECT_EQ(errorCode(), 1010);
  EXPECT_EQ(errorText(), "Invalid expression for EVALUATE at pos 3");
}

TEST_F(BindingTest, ManyNamesBoundInOrderAreFoundAndFreed) {
  std::vector<int32_t> values(20000);
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = int32_t(i);
    char name[32];
    std::snprintf(name, sizeof name, "V%05zu", i);
    BIND(name, values[i]);
  }
  EXPECT_EQ(EVALUATE("V19999 - V00001"), "19998");
  PUSHBIND();  // the degenerate tree is freed without recursion when the thread ends
}

TEST(BindingWithoutContext, ThreadWithoutRuntimeContextFailsQuietly) {
  // Without a context there is no error state either: the calls fail without posting.
  std::thread([] {
    int32_t v = 1;
    EXPECT_EQ(compileExpression("1"), nullptr);
    EXPECT_FALSE(BIND("v", v));
    EXPECT_FALSE(PUSHBIND());
  }).join();
}

TEST(BindingThreads, EachThreadHasItsOwnScopes) {
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      ThreadContextScope context;
      const int32_t mine = t;
      BIND("mine", mine);
      for (int i = 0; i < 500; ++i)
        if (EVALUATE("mine * 2") != std::to_string(2 * t)) ++wrong;
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace tamsil::testing
