// Queues against a plain vector of structs in the same run: filling 1000 resizer moves and
// sorting them by priority, farthest first (what a resize without deferred moves does), and
// walking the window manager's descriptor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/record/descriptor_walker.h"
#include "runtime/record/framework_descriptors.h"
#include "runtime/record/queue.h"

namespace tamsil::record {
namespace {

constexpr int kMoves = 1000;

std::int32_t priorityOf(int i) { return std::int32_t((std::uint32_t(i) * 2654435761u) >> 12); }

void BM_QueueFillAndSort(benchmark::State& state) {
  auto created = Queue::create(kMoveEntry);
  Queue q = std::move(created).value();
  const NumberField priority = *q.field<FieldKind::Number>("PRIORITY"), id = *q.field<FieldKind::Number>("CONTROLID");
  for (auto _ : state) {
    q.free();
    for (int i = 0; i < kMoves; ++i) {
      Entry e = q.newEntry();
      e.setNumber(priority, priorityOf(i));
      e.setNumber(id, i);
      q.append(std::move(e));
    }
    q.sort(priority, SortOrder::Descending);
    benchmark::DoNotOptimize(q.get(1));
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * kMoves);
}
BENCHMARK(BM_QueueFillAndSort);

struct Move {
  std::int32_t priority, controlId, type;
  std::int32_t before[4], after[4];
};

void BM_VectorFillAndSort(benchmark::State& state) {
  std::vector<Move> moves;
  for (auto _ : state) {
    moves.clear();
    for (int i = 0; i < kMoves; ++i) moves.push_back(Move{priorityOf(i), i, 0, {}, {}});
    std::stable_sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) { return a.priority > b.priority; });
    benchmark::DoNotOptimize(moves.data());
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * kMoves);
}
BENCHMARK(BM_VectorFillAndSort);

void BM_WalkProcedureWindow(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(walkDescriptor(kProcedureWindowClass.fields));
}
BENCHMARK(BM_WalkProcedureWindow);

}  // namespace
}  // namespace tamsil::record
