// The automation bridge against a direct call, in the same run: writing `ColWidth(2)` from a
// real variable (PropertyPutTyped) and reading it back (PropertyCall) through the whole bridge
// of an OLE control on an open window (selector routing, member-path parsing, argument
// conversion, name lookup, Invoke, result text), against calling the same object's Invoke
// directly with a ready-made DISPID and arguments.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/ole_window.h"
#include "platform/backend.h"
#include "platform/com/class_factory.h"
#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"
#include "platform/headless/headless_backend.h"
#include "runtime/eval/binding.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/operations.h"

namespace {

using namespace platform;

// A grid-like object with one indexed real property, ColWidth(col).
class Columns final : public ComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, UINT, LCID, DISPID* ids) override {
    if (std::u16string_view(names[0]) != u"ColWidth") return DISP_E_UNKNOWNNAME;
    ids[0] = 7;
    return S_OK;
  }
  HRESULT Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (member != 7 || params->cArgs < 1) return DISP_E_MEMBERNOTFOUND;
    const VARIANT& column = params->rgvarg[params->cArgs - 1];
    if (column.vt != VT_I4 || column.lVal < 0 || column.lVal >= 64) return E_INVALIDARG;
    if (flags & DISPATCH_PROPERTYPUT) {
      Variant width;
      if (FAILED(VariantChangeType(width.get(), &params->rgvarg[0], 0, VT_R8))) return DISP_E_TYPEMISMATCH;
      widths_[column.lVal] = width->dblVal;
      return S_OK;
    }
    result->vt = VT_R8;
    result->dblVal = widths_[column.lVal];
    return S_OK;
  }

 private:
  ~Columns() = default;
  double widths_[64] = {};
};

constexpr int kOle = bench::kOleControl;
constexpr CLSID kColumnsClsid{0x4B455354, 0x0003, 0x4F4C, {0x42, 0x45, 0x4E, 0x43, 0x48, 0x43, 0x4F, 0x4C}};

// The headless backend, the class and the container, made once for the whole run.
void ensureSetUp() {
  static const bool ready = [] {
    setenv("TAMSIL_PROFILE_DIR", "/tmp/kestrel_ole_bench", 1);
    installBackend(headless::createBackend());
    static ClassFactory<Columns> factory;
    DWORD cookie = 0;
    if (FAILED(RegisterComponentClass({kColumnsClsid, "Kestrel.BenchColumns.1", "Bench columns", "Apartment", false, &factory}, &cookie)))
      std::abort();
    tamsil::ole::InstallOleContainer();
    return true;
  }();
  (void)ready;
}

void BM_BridgeWriteByText(benchmark::State& state) {
  bench::OleWindow grid(ensureSetUp, "Kestrel.BenchColumns.1");
  const tamsil::window::Selector selector{std::string("ColWidth(2)")};
  double width = 12.5;
  for (auto _ : state) {
    width += 0.25;
    benchmark::DoNotOptimize(
        tamsil::window::PropertyPutTyped(grid.w, kOle, 0, selector, std::uint8_t(tamsil::StorageType::Real), &width, sizeof width));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BridgeWriteByText);

void BM_BridgeReadByText(benchmark::State& state) {
  bench::OleWindow grid(ensureSetUp, "Kestrel.BenchColumns.1");
  const tamsil::window::Selector selector{std::string("ColWidth(2)")};
  for (auto _ : state) benchmark::DoNotOptimize(tamsil::window::PropertyCall(grid.w, kOle, 0, selector));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BridgeReadByText);

// The anchor: the same object's Invoke called directly with the DISPID and arguments ready.
void BM_DirectInvokeWrite(benchmark::State& state) {
  ComPtr<IDispatch> columns;
  ClassFactory<Columns> factory;
  if (FAILED(factory.CreateInstance(nullptr, IID_IDispatch, columns.put()))) std::abort();
  VARIANT args[2] = {};
  args[1].vt = VT_I4;
  args[1].lVal = 2;
  args[0].vt = VT_R8;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{args, &put, 2, 1};
  for (auto _ : state) {
    args[0].dblVal += 0.25;
    benchmark::DoNotOptimize(columns->Invoke(7, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DirectInvokeWrite);

}  // namespace
