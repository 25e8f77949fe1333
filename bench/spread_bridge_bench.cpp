// The demo window's sheet fill sent to the grid component as the program sends it: each write
// through the runtime's automation bridge (scalars from typed variables with PropertyPutTyped,
// texts with PropertyPut, the one read with PropertyCall), on the OLE control of an open window
// holding a grid created by its ProgID, the path `tamsil ole` takes. The anchor: the same writes
// carried out directly with InvokeMember on a AddressedBook, the members found and the arguments made
// beforehand. One iteration is the whole fill; the picture's file is not loaded (file input is no
// part of the bridge), its cell's writes are.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/ole_window.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"
#include "components/spread/registration.h"
#include "platform/backend.h"
#include "platform/com/variant.h"
#include "platform/headless/headless_backend.h"
#include "runtime/eval/binding.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/operations.h"
#include "tests/support/sample_sheet.h"

namespace {

using namespace platform;
using tamsil::StorageType;

// How a step travels: the wrapper's accessor types, a text, or a read of a real.
enum class Sent { Short, Long, Real, Text, ReadReal };

struct Step {
  std::string path;  // the property text, index included ("ColWidth(2)")
  Sent sent;
  double number = 0;
  std::string text;
};

// The fill of the demo window (tests/support/sample_sheet.h), in the order it is written; the
// picture cell gets its type but no picture.
std::vector<Step> fillSteps() {
  namespace sheet = kestrel::testing::sample_sheet;
  std::vector<Step> s;
  for (const sheet::Step& step : sheet::kSteps) {
    const std::string member(step.member), indexed = member + "(" + std::to_string(step.index) + ")";
    switch (step.sent) {
      case sheet::Sent::Short: s.push_back({member, Sent::Short, step.number, {}}); break;
      case sheet::Sent::Long: s.push_back({member, Sent::Long, step.number, {}}); break;
      case sheet::Sent::Real: s.push_back({member, Sent::Real, step.number, {}}); break;
      case sheet::Sent::RealAt: s.push_back({indexed, Sent::Real, step.number, {}}); break;
      case sheet::Sent::Text: s.push_back({member, Sent::Text, 0, std::string(step.text)}); break;
      case sheet::Sent::Picture: s.push_back({"CellType", Sent::Short, 9, {}}); break;
      case sheet::Sent::FittedRowHeight:
        s.push_back({"MaxTextRowHeight(" + std::to_string(step.index) + ")", Sent::ReadReal, 0, {}});
        s.push_back({indexed, Sent::Real, 20, {}});
        break;
    }
  }
  return s;
}

constexpr int kOle = bench::kOleControl;

void ensureSetUp() {
  static const bool ready = [] {
    setenv("TAMSIL_PROFILE_DIR", "/tmp/kestrel_spread_bench", 1);
    installBackend(headless::createBackend());
    if (FAILED(spread::RegisterSpreadComponent())) std::abort();
    tamsil::ole::InstallOleContainer();
    return true;
  }();
  (void)ready;
}

// Sends one step as the wrapper's accessor does; false when the bridge refused it.
bool sendThroughBridge(tamsil::window::Window& w, const Step& s) {
  namespace win = tamsil::window;
  const win::Selector selector{s.path};
  switch (s.sent) {
    case Sent::Short: {
      const std::int16_t v = std::int16_t(s.number);
      return win::PropertyPutTyped(w, kOle, 0, selector, std::uint8_t(StorageType::Short), &v, sizeof v) == win::PropertyStatus::Ok;
    }
    case Sent::Long: {
      const std::int32_t v = std::int32_t(s.number);
      return win::PropertyPutTyped(w, kOle, 0, selector, std::uint8_t(StorageType::Long), &v, sizeof v) == win::PropertyStatus::Ok;
    }
    case Sent::Real:
      return win::PropertyPutTyped(w, kOle, 0, selector, std::uint8_t(StorageType::Real), &s.number, sizeof s.number) ==
             win::PropertyStatus::Ok;
    case Sent::Text: return win::PropertyPut(w, kOle, 0, selector, s.text) == win::PropertyStatus::Ok;
    case Sent::ReadReal: return win::PropertyCall(w, kOle, 0, selector).status == win::PropertyStatus::Ok;
  }
  return false;
}

void BM_FillThroughBridge(benchmark::State& state) {
  bench::OleWindow grid(ensureSetUp, "OVSpreadADO.ovSpread.6");
  const std::vector<Step> steps = fillSteps();
  for (const Step& s : steps)
    if (!sendThroughBridge(grid.w, s)) state.SkipWithError(("refused: " + s.path).c_str());
  for (auto _ : state)
    for (const Step& s : steps) benchmark::DoNotOptimize(sendThroughBridge(grid.w, s));
  state.SetItemsProcessed(state.iterations() * std::int64_t(steps.size()));
}
BENCHMARK(BM_FillThroughBridge)->Unit(benchmark::kMicrosecond);

// A step made ready for InvokeMember: the member, its flags and its arguments in call order.
struct Direct {
  const spread::MemberInfo* member;
  WORD flags;
  std::vector<Variant> args;
};

void BM_FillDirect(benchmark::State& state) {
  std::vector<Direct> direct;
  for (const Step& s : fillSteps()) {
    const size_t open = s.path.find('(');
    Direct d{
        spread::FindMember(s.path.substr(0, open)), s.sent == Sent::ReadReal ? WORD(DISPATCH_PROPERTYGET) : WORD(DISPATCH_PROPERTYPUT), {}};
    if (!d.member) return state.SkipWithError(("no member " + s.path).c_str());
    if (open != std::string::npos) {
      Variant& index = d.args.emplace_back();
      index->vt = VT_I4;
      index->lVal = std::atoi(s.path.c_str() + open + 1);
    }
    if (s.sent != Sent::ReadReal) {
      Variant& value = d.args.emplace_back();
      switch (s.sent) {
        case Sent::Short: value->vt = VT_I2, value->iVal = std::int16_t(s.number); break;
        case Sent::Long: value->vt = VT_I4, value->lVal = LONG(s.number); break;
        case Sent::Real: value->vt = VT_R8, value->dblVal = s.number; break;
        default: value->vt = VT_BSTR, value->bstrVal = Bstr(ansiToWide(s.text)).release(); break;
      }
    }
    direct.push_back(std::move(d));
  }
  spread::AddressedBook book;
  std::vector<std::vector<VARIANT>> args;
  for (const Direct& d : direct) {
    std::vector<VARIANT>& a = args.emplace_back();
    for (const Variant& v : d.args) a.push_back(*v.get());
  }
  for (auto _ : state)
    for (size_t i = 0; i < direct.size(); ++i) {
      Variant result;
      benchmark::DoNotOptimize(spread::InvokeMember(book, *direct[i].member, direct[i].flags, args[i], &result, nullptr));
    }
  state.SetItemsProcessed(state.iterations() * std::int64_t(direct.size()));
}
BENCHMARK(BM_FillDirect)->Unit(benchmark::kMicrosecond);

}  // namespace
