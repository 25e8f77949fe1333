// A full pass of reads of every readable accessor of the wrapper on an attached grid (the demo
// window's OLE control on the headless backend): each read goes from the typed accessor through
// the runtime's automation bridge (member path, name lookup, Invoke, result as text) into the grid
// component and back through the read conversion. The anchor: the same property reads made
// directly on the grid's dispatch interface, the DISPIDs looked up beforehand. Both report the
// time per access; their ratio is the cost of reaching the grid by text.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "components/spread/registration.h"
#include "platform/backend.h"
#include "platform/com/variant.h"
#include "platform/com/wide_text.h"
#include "platform/headless/headless_backend.h"
#include "runtime/core/thread_context.h"
#include "runtime/ole/object_references.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/operations.h"
#include "runtime/window/property_names.h"
#include "tests/wrapper/accessor_calls.h"
#include "wrapper/spread_wrapper.h"

namespace {

using namespace platform;
namespace win = tamsil::window;
using kestrel::wrapper::Accessors;
using kestrel::wrapper::testing::kAccessorCalls;

constexpr std::int16_t kSpreadField = 20;

void ensureSetUp() {
  static const bool ready = [] {
    setenv("TAMSIL_PROFILE_DIR", "/tmp/kestrel_grid_wrapper_bench", 1);
    installBackend(headless::createBackend());
    if (FAILED(spread::RegisterSpreadComponent())) std::abort();
    tamsil::ole::InstallOleContainer();
    return true;
  }();
  (void)ready;
}

// The demo window open and the wrapper attached to its grid, sized as the demo's sheet.
struct AttachedGrid {
  AttachedGrid() {
    ensureSetUp();
    win::OpenWindowOp(w);
    spread.Init(w, kSpreadField);
    if (!spread.STRCL) std::abort();
    spread.MaxCols(2), spread.MaxRows(13), spread.Col(2), spread.Row(2);
  }
  ~AttachedGrid() {
    spread.Kill();
    win::CloseWindowOp(w);
  }
  tamsil::ThreadContextScope context;
  win::Window w{"Kestrel24$Kestr001", "P1$WINDOW"};
  kestrel::wrapper::SpreadWrapper spread;
};

void reportPerAccess(benchmark::State& state, std::size_t accesses) {
  state.SetItemsProcessed(state.iterations() * std::int64_t(accesses));
  state.counters["per_access"] =
      benchmark::Counter(double(accesses), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadPassThroughWrapper(benchmark::State& state) {
  AttachedGrid grid;
  if (grid.spread.MaxRows() != 13 || grid.spread.Row() != 2) return state.SkipWithError("the grid does not answer");
  for (auto _ : state)
    for (const auto& access : kAccessorCalls) benchmark::DoNotOptimize(access.read(grid.spread));
  reportPerAccess(state, Accessors().size());
}

void BM_ReadPassDirectInvoke(benchmark::State& state) {
  AttachedGrid grid;
  const std::string object = win::PropertyCall(grid.w, kSpreadField, 0, win::Selector{std::uint32_t(win::prop::Object)}).text;
  ComPtr<IDispatch> dispatch = tamsil::ole::findReference(object);
  tamsil::ole::releaseReference(object);
  if (!dispatch) return state.SkipWithError("no grid");
  struct Read {
    DISPID id;
    bool indexed;
  };
  std::vector<Read> reads;
  for (const kestrel::wrapper::Accessor& a : Accessors()) {
    std::u16string name = ansiToWide(a.readProperty);
    OLECHAR* names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return state.SkipWithError(("no member " + std::string(a.name)).c_str());
    reads.push_back({id, a.indexed()});
  }
  VARIANT index{};
  index.vt = VT_I4;
  index.lVal = kestrel::wrapper::testing::kSampleIndex;
  for (auto _ : state)
    for (const Read& r : reads) {
      DISPPARAMS params{r.indexed ? &index : nullptr, nullptr, r.indexed ? 1u : 0u, 0};
      Variant result;
      benchmark::DoNotOptimize(dispatch->Invoke(r.id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, result.get(), nullptr, nullptr));
    }
  reportPerAccess(state, reads.size());
}

}  // namespace

BENCHMARK(BM_ReadPassThroughWrapper)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadPassDirectInvoke)->Unit(benchmark::kMicrosecond);
