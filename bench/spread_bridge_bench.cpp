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

// The fill of the demo window, in the order it is written.
std::vector<Step> fillSteps() {
  std::vector<Step> s;
  const auto put = [&s](std::string path, Sent sent, double n) { s.push_back({std::move(path), sent, n, {}}); };
  const auto text = [&s](std::string path, std::string t) { s.push_back({std::move(path), Sent::Text, 0, std::move(t)}); };
  const auto cell = [&](int col, int row) { put("Row", Sent::Long, row), put("Col", Sent::Long, col); };
  put("AppearanceStyle", Sent::Long, 2), put("MaxRows", Sent::Long, 13), put("MaxCols", Sent::Long, 2);
  cell(1, -1);
  put("CellType", Sent::Short, 5);
  const char* labels[] = {"Date",        "Edit", "Currency", "Number",    "Percent", "PIC(Mask)",
                          "Static text", "Time", "Button",   "Combo Box", "Picture", "Check Box"};
  for (int r = 1; r <= 12; ++r) cell(1, r), text("Text", labels[r - 1]);
  cell(2, 1), put("CellType", Sent::Short, 0), put("TypeDateCentury", Sent::Short, 0), put("TypeHAlign", Sent::Short, 0);
  put("TypeSpin", Sent::Short, 0), put("TypeDateFormat", Sent::Short, 2), text("TypeDateMin", "01011900"), text("TypeDateMax", "12312199");
  text("Text", "12/23/96");
  cell(2, 2), put("CellType", Sent::Short, 1), put("TypeEditLen", Sent::Long, 255), text("Text", "Type in me");
  cell(2, 3), put("CellType", Sent::Short, 12), put("TypeCurrencyMin", Sent::Real, -9999), put("TypeCurrencyMax", Sent::Real, 9999);
  text("Text", "1000.00");
  cell(2, 4), put("CellType", Sent::Short, 13), put("TypeNumberMax", Sent::Real, 9999), put("TypeNumberMin", Sent::Real, -9999);
  text("Text", "1234");
  cell(2, 5), put("CellType", Sent::Short, 14), put("TypePercentMax", Sent::Real, 100), put("TypePercentMin", Sent::Real, 0.1);
  text("Text", "0.25");
  cell(2, 6), put("CellType", Sent::Short, 4), text("TypePicMask", "(999) 999-9999"), text("Text", "(123) 456-7890");
  cell(2, 7), put("CellType", Sent::Short, 5);
  text("Text", "This is a static text celltype. The property TypeTextWordWrap is used for wrapping.");
  put("TypeTextWordWrap", Sent::Short, 1);
  cell(2, 8), put("CellType", Sent::Short, 6), put("TypeTime24Hour", Sent::Short, 0), put("TypeTimeSeconds", Sent::Short, 0);
  put("TypeTimeSeparator", Sent::Short, 58), text("Text", "01:23 am");
  cell(2, 9), put("CellType", Sent::Short, 7), text("TypeButtonText", "Press me"), put("RowHeight(8)", Sent::Real, 35);
  cell(2, 10), put("CellType", Sent::Short, 8), text("TypeComboBoxList", "Item1\tItem2\tItem3");
  cell(2, 11), put("CellType", Sent::Short, 9), put("TypePictCenter", Sent::Short, 1), put("TypePictStretch", Sent::Short, 1);
  put("TypePictMaintainScale", Sent::Short, 1), put("CellType", Sent::Short, 9), put("RowHeight(10)", Sent::Real, 45);
  cell(2, 12), put("CellType", Sent::Short, 10), text("TypeCheckText", "Check me");
  cell(2, 13), put("CellType", Sent::Short, 11), put("TypeOwnerDrawStyle", Sent::Long, 1), put("RowHeight(12)", Sent::Real, 15);
  text("Text", "Ellipse");
  put("VisibleCols", Sent::Long, 2), put("VisibleRows", Sent::Long, 13), put("AutoSize", Sent::Long, 1);
  put("ColWidth(1)", Sent::Real, 12), put("ColWidth(2)", Sent::Real, 25), put("RowHeight(7)", Sent::Real, 32);
  s.push_back({"MaxTextRowHeight(11)", Sent::ReadReal, 0, {}});
  put("RowHeight(11)", Sent::Real, 20);
  put("ScrollBars", Sent::Long, 0);
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
