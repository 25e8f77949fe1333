#include "tools/tamsil/ole_sample.h"

#include <map>
#include <string>
#include <vector>

#include "platform/com/class_factory.h"
#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/storage.h"
#include "platform/com/variant.h"
#include "platform/com/wide_text.h"

namespace tamsil::tool {

namespace {

using namespace platform;

enum SampleMember : DISPID { kCells = 1, kFail = 2, kCount = 3, kFirstProperty = 100 };

class SampleBag final : public ComObject<Implements<IDispatch, IID_IDispatch>, Implements<IPersistStorage, IID_IPersistStorage>> {
 public:
  HRESULT GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT IsDirty() override { return S_OK; }
  HRESULT InitNew(IStorage*) override { return S_OK; }
  HRESULT SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT HandsOffStorage() override { return S_OK; }
  // The top-level properties as text, one "NAME=VALUE" line each, in stream "Properties".
  HRESULT Save(IStorage* storage, BOOL) override {
    std::string text;
    for (const auto& [id, value] : values_) {
      Variant t;
      if (FAILED(VariantChangeType(t.get(), value.get(), 0, VT_BSTR))) continue;
      text += wideToAnsi(names_[size_t(id - kFirstProperty)]) + "=" + wideToAnsi(bstrView(t->bstrVal)) + "\n";
    }
    ComPtr<IStream> stream;
    const HRESULT hr = storage->CreateStream(u"Properties", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                             reinterpret_cast<IStream**>(stream.put()));
    return FAILED(hr) ? hr : stream->Write(text.data(), ULONG(text.size()), nullptr);
  }
  HRESULT Load(IStorage* storage) override {
    ComPtr<IStream> stream;
    if (FAILED(storage->OpenStream(u"Properties", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStream**>(stream.put()))))
      return STG_E_FILENOTFOUND;
    std::string text;
    char buffer[512];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got) text.append(buffer, got);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = text.substr(start, end - start);
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      Variant& v = values_[idOf(ansiToWide(line.substr(0, eq)))];
      VariantClear(v.get());
      v->vt = VT_BSTR;
      v->bstrVal = Bstr(ansiToWide(line.substr(eq + 1))).release();
    }
    return S_OK;
  }
  HRESULT GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = idOf(names[i]);
    return S_OK;
  }
  HRESULT Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT*) override {
    VARIANT ignored;
    if (!result) result = &ignored;
    switch (member) {
      case kCells: return cell(params, result);
      case kFail:
        if (exception) exception->bstrDescription = SysAllocString(u"the sample failed on purpose");
        return DISP_E_EXCEPTION;
      case kCount:
        result->vt = VT_I4;
        result->lVal = LONG(values_.size());
        return S_OK;
      default: break;
    }
    if (member < kFirstProperty || member >= kFirstProperty + DISPID(names_.size())) return DISP_E_MEMBERNOTFOUND;
    if (flags & DISPATCH_PROPERTYPUT) {
      if (params->cArgs < 1) return DISP_E_BADPARAMCOUNT;
      return VariantCopy(values_[member].get(), &params->rgvarg[0]);
    }
    const auto it = values_.find(member);
    return it == values_.end() ? S_OK : VariantCopy(result, it->second.get());
  }

 private:
  ~SampleBag() = default;

  DISPID idOf(std::u16string_view name) {
    if (name == u"Cells") return kCells;
    if (name == u"Fail") return kFail;
    if (name == u"Count") return kCount;
    for (size_t i = 0; i < names_.size(); ++i)
      if (names_[i] == name) return kFirstProperty + DISPID(i);
    names_.emplace_back(name);
    return kFirstProperty + DISPID(names_.size() - 1);
  }

  HRESULT cell(DISPPARAMS* params, VARIANT* result) {
    if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
    Variant row, col;
    if (FAILED(VariantChangeType(row.get(), &params->rgvarg[1], 0, VT_I4)) ||
        FAILED(VariantChangeType(col.get(), &params->rgvarg[0], 0, VT_I4)))
      return DISP_E_TYPEMISMATCH;
    ComPtr<SampleBag>& c = cells_[{row->lVal, col->lVal}];
    if (!c) c = ComPtr<SampleBag>(new SampleBag);
    result->vt = VT_DISPATCH;
    return c->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result->pdispVal));
  }

  std::vector<std::u16string> names_;
  std::map<DISPID, Variant> values_;
  std::map<std::pair<LONG, LONG>, ComPtr<SampleBag>> cells_;
};

}  // namespace

void registerSampleClass() {
  static ClassFactory<SampleBag> factory;
  static const bool registered = [] {
    constexpr CLSID kSampleClsid{0x54534D4C, 0x0001, 0x4F4C, {0x53, 0x41, 0x4D, 0x50, 0x4C, 0x45, 0x30, 0x31}};
    DWORD cookie = 0;
    return SUCCEEDED(RegisterComponentClass({kSampleClsid, kSampleProgId, "Tamsil sample object", "Apartment", false, &factory}, &cookie));
  }();
  (void)registered;
}

}  // namespace tamsil::tool
