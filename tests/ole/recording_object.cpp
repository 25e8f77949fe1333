#include "tests/ole/recording_object.h"

#include <map>

#include "platform/com/wide_text.h"

namespace tamsil::testing {

using namespace platform;

int RecordingObject::alive = 0;
DWORD RecordingObject::miscStatus = 0;

namespace {

const std::map<std::u16string, DISPID> kNames = {
    {u"Value", kValue},           {u"Cells", kCells},     {u"Echo", kEcho},     {u"Child", kChild},   {u"Same", kSame},
    {u"MethodOnly", kMethodOnly}, {u"Raise", kRaise},     {u"Strict", kStrict}, {u"Append", kAppend}, {u"Twice", kTwice},
    {u"ColWidth", kColWidth},     {u"Nothing", kNothing}, {u"Count", kCount},
};

std::string flagText(WORD flags) {
  std::string t;
  if (flags & DISPATCH_METHOD) t += "M";
  if (flags & DISPATCH_PROPERTYGET) t += t.empty() ? "G" : "|G";
  if (flags & DISPATCH_PROPERTYPUT) t += t.empty() ? "P" : "|P";
  return t;
}

const char* typeName(VARTYPE vt) {
  switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: return "EMPTY";
    case VT_I2: return "I2";
    case VT_I4: return "I4";
    case VT_R4: return "R4";
    case VT_R8: return "R8";
    case VT_BSTR: return "BSTR";
    case VT_DISPATCH: return "DISPATCH";
    case VT_ERROR: return "ERROR";
    case VT_BOOL: return "BOOL";
    case VT_UI1: return "UI1";
    case VT_UI2: return "UI2";
    case VT_UI4: return "UI4";
    default: return "OTHER";
  }
}

}  // namespace

std::string describe(const VARIANT& v) {
  std::string t = (v.vt & VT_BYREF) ? std::string("BYREF|") + typeName(v.vt) : typeName(v.vt);
  if (v.vt & VT_BYREF) return t;
  if (v.vt == VT_DISPATCH || v.vt == VT_EMPTY) return t;
  if (v.vt == VT_ERROR) return t + " " + std::to_string(v.scode);
  Variant text;
  if (SUCCEEDED(VariantChangeType(text.get(), &v, 0, VT_BSTR))) t += " " + wideToAnsi(bstrView(text->bstrVal));
  return t;
}

HRESULT RecordingObject::InitNew(IStorage* storage) {
  log_->push_back(tag_ + "persist InitNew");
  return storage ? S_OK : E_INVALIDARG;
}

HRESULT RecordingObject::Load(IStorage* storage) {
  log_->push_back(tag_ + "persist Load");
  ComPtr<IStream> stream;
  if (FAILED(storage->OpenStream(u"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStream**>(stream.put()))))
    return STG_E_FILENOTFOUND;
  char text[256];
  ULONG read = 0;
  stream->Read(text, sizeof text, &read);
  VariantClear(value_.get());
  value_->vt = VT_BSTR;
  value_->bstrVal = Bstr(ansiToWide(std::string_view(text, read))).release();
  return S_OK;
}

HRESULT RecordingObject::Save(IStorage* storage, BOOL) {
  log_->push_back(tag_ + "persist Save");
  Variant text;
  if (FAILED(VariantChangeType(text.get(), value_.get(), 0, VT_BSTR))) return E_FAIL;
  const std::string bytes = wideToAnsi(bstrView(text->bstrVal));
  ComPtr<IStream> stream;
  const HRESULT hr =
      storage->CreateStream(u"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, reinterpret_cast<IStream**>(stream.put()));
  if (FAILED(hr)) return hr;
  return stream->Write(bytes.data(), ULONG(bytes.size()), nullptr);
}

HRESULT RecordingObject::SetClientSite(IOleClientSite* site) {
  log_->push_back(tag_ + (site ? "ole SetClientSite site" : "ole SetClientSite null"));
  site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT RecordingObject::GetClientSite(IOleClientSite** site) {
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT RecordingObject::Close(DWORD) {
  log_->push_back(tag_ + "ole Close");
  return S_OK;
}

HRESULT RecordingObject::GetMiscStatus(DWORD, DWORD* status) {
  log_->push_back(tag_ + "ole GetMiscStatus");
  *status = miscStatus;
  return S_OK;
}

HRESULT RecordingObject::Run(void*) {
  log_->push_back(tag_ + "run");
  running_ = true;
  return S_OK;
}

RecordingObject* RecordingObject::child() {
  if (!child_) {
    child_ = ComPtr<RecordingObject>(new RecordingObject(log_, "child"));
    ++alive;
  }
  return child_.get();
}

HRESULT RecordingObject::GetIDsOfNames(const IID&, OLECHAR** names, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; i < count; ++i) {
    log_->push_back(tag_ + "lookup " + wideToAnsi(names[i]));
    const auto it = kNames.find(names[i]);
    if (it == kNames.end()) return ids[i] = DISPID_UNKNOWN, DISP_E_UNKNOWNNAME;
    ids[i] = it->second;
  }
  return S_OK;
}

HRESULT RecordingObject::Invoke(DISPID member, const IID&, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                UINT* argumentError) {
  std::string line = tag_ + "invoke " + std::to_string(member) + " " + flagText(flags) + " (";
  for (UINT i = params->cArgs; i-- > 0;) {
    const UINT named = i < params->cNamedArgs ? i : UINT(-1);
    if (i + 1 != params->cArgs) line += ", ";
    if (named != UINT(-1)) line += "#" + std::to_string(params->rgdispidNamedArgs[named]) + "=";
    line += describe(params->rgvarg[i]);
  }
  log_->push_back(line + ")");
  VARIANT dummy;
  if (!result) result = &dummy;
  const VARIANT* args = params->rgvarg;
  switch (member) {
    case kValue:
      if (flags & DISPATCH_PROPERTYPUT) return VariantCopy(value_.get(), &args[0]);
      return VariantCopy(result, value_.get());
    case kCells: {
      if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
      auto* cell = new RecordingObject(log_, "cell ");
      ++alive;
      result->vt = VT_DISPATCH;
      return cell->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result->pdispVal));
    }
    case kEcho: {
      result->vt = VT_I4;
      result->lVal = LONG(params->cArgs);
      return S_OK;
    }
    case kChild: result->vt = VT_DISPATCH; return child()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&result->pdispVal));
    case kSame:
      result->vt = VT_BOOL;
      result->boolVal = params->cArgs == 1 && args[0].vt == VT_DISPATCH && args[0].pdispVal == static_cast<IDispatch*>(child()) ? VARIANT_TRUE
                                                                                                                                : VARIANT_FALSE;
      return S_OK;
    case kMethodOnly:
      if (flags != DISPATCH_METHOD) return DISP_E_MEMBERNOTFOUND;
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(u"ran");
      return S_OK;
    case kRaise:
      if (exception) {
        exception->scode = E_FAIL;
        exception->bstrDescription = SysAllocString(u"it broke");
        exception->bstrSource = SysAllocString(u"Recorder");
      }
      return DISP_E_EXCEPTION;
    case kStrict:
      for (UINT i = 0; i < params->cArgs; ++i)
        if (args[i].vt != VT_I4) return *argumentError = i, DISP_E_TYPEMISMATCH;
      return S_OK;
    case kAppend: {
      if (params->cArgs != 1 || args[0].vt != (VT_BYREF | VT_BSTR)) return DISP_E_TYPEMISMATCH;
      BSTR* slot = static_cast<BSTR*>(args[0].byref);
      const std::u16string text = std::u16string(*slot) + u"!";
      SysFreeString(*slot);
      *slot = SysAllocString(text.c_str());
      return S_OK;
    }
    case kTwice:
      if (params->cArgs != 1 || args[0].vt != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
      *static_cast<LONG*>(args[0].byref) *= 2;
      return S_OK;
    case kColWidth:
      if (flags & DISPATCH_PROPERTYPUT) return S_OK;
      result->vt = VT_R8;
      result->dblVal = 2.5;
      return S_OK;
    case kNothing:
      result->vt = VT_ERROR;
      result->scode = E_FAIL;
      return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT RecorderFactory::CreateInstance(IUnknown* outer, const IID& iid, void** object) {
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* o = new RecordingObject(log_);
  ++RecordingObject::alive;
  o->AddRef();
  const HRESULT hr = o->QueryInterface(iid, object);
  o->Release();
  return hr;
}

}  // namespace tamsil::testing
