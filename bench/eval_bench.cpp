// The evaluator against muparser on one filter-like expression with three bound variables:
// parsing and evaluating from text each time (how EVALUATE is used), and evaluating a tree
// compiled once (how a kept filter is used).
#include <benchmark/benchmark.h>
#include <muParser.h>

#include "runtime/core/thread_context.h"
#include "runtime/eval/evaluator.h"

namespace {

constexpr const char* kOurs = "a*b+c-(a/2)^2 > 10 AND b < c";
constexpr const char* kMuParser = "a*b+c-(a/2)^2 > 10 && b < c";

struct Variables {
  double a = 3, b = 4, c = 5;
};

class Bound {
 public:
  explicit Bound(Variables& v) {
    tamsil::BIND("a", v.a);
    tamsil::BIND("b", v.b);
    tamsil::BIND("c", v.c);
  }

 private:
  tamsil::ThreadContextScope context_;
};

void BM_ParseAndEvaluate_Tamsil(benchmark::State& state) {
  Variables v;
  Bound bound(v);
  for (auto _ : state) {
    const auto tree = tamsil::compileExpression(kOurs);
    benchmark::DoNotOptimize(tamsil::evaluateTree(*tree).whole);
  }
}
BENCHMARK(BM_ParseAndEvaluate_Tamsil);

void BM_EVALUATE_Tamsil(benchmark::State& state) {
  Variables v;
  Bound bound(v);
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::EVALUATE(kOurs));
}
BENCHMARK(BM_EVALUATE_Tamsil);

void BM_ParseAndEvaluate_MuParser(benchmark::State& state) {
  Variables v;
  mu::Parser p;
  p.DefineVar("a", &v.a);
  p.DefineVar("b", &v.b);
  p.DefineVar("c", &v.c);
  for (auto _ : state) {
    p.SetExpr(kMuParser);  // the next Eval parses the text again
    benchmark::DoNotOptimize(p.Eval());
  }
}
BENCHMARK(BM_ParseAndEvaluate_MuParser);

void BM_Compiled_Tamsil(benchmark::State& state) {
  Variables v;
  Bound bound(v);
  const auto tree = tamsil::compileExpression(kOurs);
  for (auto _ : state) {
    v.a += 1e-9;  // the variables are read on every evaluation
    benchmark::DoNotOptimize(tamsil::evaluateTree(*tree).whole);
  }
}
BENCHMARK(BM_Compiled_Tamsil);

void BM_Compiled_MuParser(benchmark::State& state) {
  Variables v;
  mu::Parser p;
  p.DefineVar("a", &v.a);
  p.DefineVar("b", &v.b);
  p.DefineVar("c", &v.c);
  p.SetExpr(kMuParser);
  p.Eval();
  for (auto _ : state) {
    v.a += 1e-9;
    benchmark::DoNotOptimize(p.Eval());
  }
}
BENCHMARK(BM_Compiled_MuParser);

}  // namespace
