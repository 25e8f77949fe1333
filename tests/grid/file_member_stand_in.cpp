#include "tests/grid/file_member_stand_in.h"

#include <algorithm>
#include <vector>

#include "components/spread/call_log.h"
#include "components/spread/members/members.h"
#include "components/spread/registration.h"
#include "platform/com/variant.h"

namespace kestrel::grid::testing {

using namespace platform;

namespace {

class StandIn final : public ComObject<Implements<IDispatch, IID_IDispatch>> {
 public:
  explicit StandIn(ComPtr<IDispatch> grid) : grid_(std::move(grid)) {}

  HRESULT GetTypeInfoCount(UINT* count) override { return grid_->GetTypeInfoCount(count); }
  HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override { return grid_->GetTypeInfo(index, locale, info); }
  HRESULT GetIDsOfNames(const IID& iid, OLECHAR** names, UINT count, LCID locale, DISPID* ids) override {
    return grid_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT Invoke(DISPID member, const IID& iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                 UINT* argumentError) override {
    EXCEPINFO raised{};
    const HRESULT hr = grid_->Invoke(member, iid, locale, flags, params, result, &raised, argumentError);
    const spread::MemberInfo* info = spread::FindMember(member);
    if (hr != DISP_E_EXCEPTION || raised.scode != E_NOTIMPL || !info || info->kind != spread::MemberKind::Method) {
      if (exception) *exception = raised;
      else SysFreeString(raised.bstrSource), SysFreeString(raised.bstrDescription), SysFreeString(raised.bstrHelpFile);
      return hr;
    }
    SysFreeString(raised.bstrSource), SysFreeString(raised.bstrDescription), SysFreeString(raised.bstrHelpFile);
    std::vector<VARIANT> args(params->rgvarg, params->rgvarg + params->cArgs);
    std::reverse(args.begin(), args.end());
    Variant answer;
    answer->vt = info->type;
    answer->lVal = 1;
    if (answer->vt == VT_I2) answer->iVal = 1;
    if (spread::CallLog* log = spread::CallLog::process())
      log->write(spread::FormatCallLine(spread::LogVerb::Call, info->name, args, answer.get()));
    if (result) VariantCopy(result, answer.get());
    return S_OK;
  }

 private:
  ComPtr<IDispatch> grid_;
};

}  // namespace

HRESULT StandInFactory::CreateInstance(IUnknown* outer, const IID& iid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  ComPtr<IDispatch> grid;
  if (const HRESULT hr = CoCreateInstance(spread::kSpreadClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, grid.put()); FAILED(hr))
    return hr;
  ComPtr<StandIn> standIn(new StandIn(std::move(grid)));
  return standIn->QueryInterface(iid, object);
}

}  // namespace kestrel::grid::testing
