#include "runtime/ole/ole_site.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "platform/ascii.h"
#include "platform/com/wide_text.h"
#include "runtime/core/error_state.h"
#include "runtime/core/runtime_error.h"
#include "runtime/ole/argument_block.h"
#include "runtime/ole/client_site.h"
#include "runtime/ole/event_sink.h"
#include "runtime/ole/object_references.h"
#include "runtime/ole/site_failure.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/property_names.h"

namespace tamsil::ole {

using namespace platform;
using window::PropertyStatus;
using window::PropertyValue;

namespace {

// The event the site raises to the program when a call into its control fails with an exception;
// named "ErrorEvent" when the control's type information has no name for it.
constexpr DISPID kErrorEvent = -608;

// The flag sequences of one member: with a result wanted and without, for a member written with
// parentheses and without.
constexpr WORD kMethod = DISPATCH_METHOD, kGet = DISPATCH_PROPERTYGET, kBoth = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
constexpr WORD kFlagSequence[2][2][3] = {
    {{kBoth, kGet, kMethod}, {kBoth, kMethod, kGet}},  // result wanted: without, with parentheses
    {{kMethod, kGet, kBoth}, {kMethod, kBoth, kGet}},  // no result wanted
};

// The boolean runtime properties that are flags of the site.
struct FlagProperty {
  std::uint16_t number;
  std::uint32_t flag;
};
constexpr FlagProperty kFlagProperties[] = {
    {window::prop::WindowUI, kWindowUI},       {window::prop::DesignMode, kDesignMode}, {window::prop::Ctrl, kCtrl},
    {window::prop::GrabHandles, kGrabHandles}, {window::prop::IsRadio, kIsRadio},
};

void setRuntimeError(int code, std::string_view detail) { storeError(code, RuntimeErrorLine(code, detail)); }

std::optional<long> numberOf(std::string_view text) {
  long n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

void clearException(EXCEPINFO& info) {
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  info = EXCEPINFO{};
}

}  // namespace

OleSite::OleSite(window::Window& window, window::Control& control) : window_(window), control_(control), clientSite_(new ClientSite) {
  CoInitialize(nullptr);
}

OleSite::~OleSite() {
  release();
  CoUninitialize();
}

IDispatch* OleSite::dispatch() {
  if (alternate_) return alternate_.get();
  if (!dispatch_ && object_ && SUCCEEDED(OleRun(object_.get()))) object_->QueryInterface(IID_IDispatch, dispatch_.put());
  return dispatch_.get();
}

void OleSite::release() {
  if (sink_) sink_->disconnect();
  sink_.reset();
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
  }
  oleObject_.reset();
  alternate_.reset();
  dispatch_.reset();
  object_.reset();
  storage_.reset();
  flags_ &= ~(kAutomationOnly | kApartment | kBothThreading);
}

bool OleSite::create(std::string_view text) {
  release();
  CLSID clsid{};
  const HRESULT found = !text.empty() && text.front() == '{' ? CLSIDFromStringA(text, &clsid) : CLSIDFromProgIDA(text, &clsid);
  if (FAILED(found)) return false;  // not registered: nothing is created
  return createClass(clsid, text, nullptr);
}

bool OleSite::createClass(const CLSID& clsid, std::string_view label, IStorage* from) {
  release();
  const std::string model = ClassThreadingModel(clsid);
  if (ascii::equalsNoCase(model, "APARTMENT")) flags_ |= kApartment;
  if (ascii::equalsNoCase(model, "BOTH")) flags_ |= kBothThreading;
  HRESULT hr = S_OK;
  if (ClassHasKey(clsid, "Control")) {
    ComPtr<IClassFactory> factory;
    hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory, factory.put());
    if (FAILED(hr)) return report(Failure::failed("CoGetClassObject", hr, label)), false;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, object_.put());
    if (FAILED(hr)) return report(Failure::failed("CreateInstance", hr, label)), false;
    object_->QueryInterface(IID_IOleObject, oleObject_.put());
  } else if (ClassHasKey(clsid, "Insertable")) {
    // An insertable document object: made embedded in one step, new or loaded.
    if (!from)
      hr = StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStorage**>(storage_.put()));
    else storage_ = ComPtr<IStorage>(from);
    if (SUCCEEDED(hr))
      hr = from ? OleLoad(from, IID_IOleObject, clientSite_.get(), reinterpret_cast<void**>(oleObject_.put()))
                : OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, clientSite_.get(), storage_.get(),
                            reinterpret_cast<void**>(oleObject_.put()));
    if (FAILED(hr)) return report(Failure::failed(from ? "OleLoad" : "OleCreate", hr, label)), release(), false;
    oleObject_->QueryInterface(IID_IUnknown, object_.put());
    return connectObject(clsid), true;
  } else {
    // An automation server: any kind of server first, then without remote ones.
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object_.put());
    if (FAILED(hr))
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, IID_IUnknown, object_.put());
    if (FAILED(hr)) return report(Failure::failed("CoCreateInstance", hr, label)), false;
    hr = OleRun(object_.get());
    if (FAILED(hr)) return report(Failure::failed("OleRun", hr, label)), release(), false;
    flags_ |= kAutomationOnly;
  }
  // A control that asks for its client site first gets it before it is initialised.
  DWORD misc = 0;
  const bool siteFirst = oleObject_ && SUCCEEDED(oleObject_->GetMiscStatus(DVASPECT_CONTENT, &misc)) && (misc & OLEMISC_SETCLIENTSITEFIRST);
  if (siteFirst && !setClientSite(label)) return false;
  // An object that keeps its state in a storage starts from a new one or loads itself.
  ComPtr<IPersistStorage> persist;
  if (SUCCEEDED(object_->QueryInterface(IID_IPersistStorage, persist.put())) && persist) {
    if (from) {
      storage_ = ComPtr<IStorage>(from);
      hr = persist->Load(from);
    } else {
      hr = StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, reinterpret_cast<IStorage**>(storage_.put()));
      if (SUCCEEDED(hr)) hr = persist->InitNew(storage_.get());
    }
    if (FAILED(hr)) {
      report(Failure::failed(from ? "Load" : "InitNew", hr, label));
      release();
      return false;
    }
  }
  if (oleObject_ && !siteFirst && !setClientSite(label)) return false;
  connectObject(clsid);
  return true;
}

void OleSite::connectObject(const CLSID& clsid) {
  clsid_ = clsid;
  sink_ = ComPtr<EventSink>(new EventSink(*this));
  sink_->connect(object_.get());
}

bool OleSite::setClientSite(std::string_view label) {
  const HRESULT hr = oleObject_->SetClientSite(clientSite_.get());
  if (SUCCEEDED(hr)) return true;
  report(Failure::failed("SetClientSite", hr, label));
  release();
  return false;
}

namespace {

// "FILE\!STORAGE" split at its "\!"; false without one.
bool splitStorageName(std::string_view text, std::string& file, std::string_view& storage) {
  const size_t at = text.find("\\!");
  if (at == std::string_view::npos) return false;
  file = text.substr(0, at);
  storage = text.substr(at + 2);
  return true;
}

}  // namespace

PropertyStatus OleSite::saveInto(const std::string& file, std::string_view storage) {
  ComPtr<IPersistStorage> persist;
  if (!object_ || FAILED(object_->QueryInterface(IID_IPersistStorage, persist.put())) || !persist) {
    report(Failure::failed("QueryInterface", E_NOINTERFACE, "IPersistStorage"));
    return PropertyStatus::BadValue;
  }
  constexpr DWORD kMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED;
  ComPtr<IStorage> root, inner;
  HRESULT hr = StgOpenStorage(file.c_str(), nullptr, kMode, nullptr, 0, reinterpret_cast<IStorage**>(root.put()));
  if (FAILED(hr)) hr = StgCreateDocfile(file.c_str(), kMode | STGM_CREATE, 0, reinterpret_cast<IStorage**>(root.put()));
  const std::u16string name = ansiToWide(storage);
  if (SUCCEEDED(hr))
    hr =
        root->CreateStorage(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, reinterpret_cast<IStorage**>(inner.put()));
  if (SUCCEEDED(hr)) hr = WriteClassStg(inner.get(), clsid_);
  if (SUCCEEDED(hr)) hr = persist->Save(inner.get(), FALSE);
  if (SUCCEEDED(hr)) persist->SaveCompleted(nullptr);
  if (SUCCEEDED(hr)) hr = inner->Commit(0);
  if (SUCCEEDED(hr)) hr = root->Commit(0);
  if (FAILED(hr)) {
    report(Failure::failed("SaveAs", hr, file));
    return PropertyStatus::BadValue;
  }
  return PropertyStatus::Ok;
}

PropertyStatus OleSite::saveAs(std::string_view text) {
  std::string file;
  std::string_view storage;
  if (!splitStorageName(text, file, storage)) return setRuntimeError(kBadStorageName, text), PropertyStatus::BadValue;
  return saveInto(file, storage);
}

PropertyStatus OleSite::open(std::string_view text) {
  std::string file;
  std::string_view storage;
  if (!splitStorageName(text, file, storage)) return setRuntimeError(kBadStorageName, text), PropertyStatus::BadValue;
  ComPtr<IStorage> root, inner;
  HRESULT hr = StgOpenStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, reinterpret_cast<IStorage**>(root.put()));
  const std::u16string name = ansiToWide(storage);
  if (SUCCEEDED(hr))
    hr = root->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, reinterpret_cast<IStorage**>(inner.put()));
  CLSID clsid{};
  if (SUCCEEDED(hr)) hr = ReadClassStg(inner.get(), &clsid);
  if (FAILED(hr)) {
    report(Failure::failed("Open", hr, text));
    return PropertyStatus::BadValue;
  }
  return createClass(clsid, text, inner.get()) ? PropertyStatus::Ok : PropertyStatus::BadValue;
}

std::string OleSite::blob() {
  char path[] = "/tmp/tamsil-blob-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return {};
  close(fd);
  std::string bytes;
  if (saveInto(path, "blob") == PropertyStatus::Ok) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  unlink(path);
  return bytes;
}

bool OleSite::resolve(IDispatch* object, std::string_view name, DISPID& id) {
  if (isDispidName(name)) {
    const auto n = numberOf(name);
    id = DISPID(n.value_or(0));
    return true;
  }
  // Names are at most kMaxNameLength characters, each one UTF-16 unit in the ANSI code page.
  OLECHAR wide[kMaxNameLength + 1];
  const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), int(std::min(name.size(), kMaxNameLength)), wide, int(kMaxNameLength));
  wide[length] = 0;
  OLECHAR* names[] = {wide};
  const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, locale_, &id);
  if (SUCCEEDED(hr)) return true;
  report(Failure::unknownName(name));
  return false;
}

bool OleSite::invokeMember(IDispatch* object, const PathMember& member, Want want, VARIANT& result) {
  ArgumentBlock args;
  for (const PathArgument& a : member.arguments) {
    DISPID named = DISPID_UNKNOWN;
    if (!a.name.empty() && !resolve(object, a.name, named)) return false;
    if (const ArgumentFault fault = args.add(a, named); fault != ArgumentFault::None) {
      setRuntimeError(int(fault), a.value);
      return false;
    }
  }
  HRESULT hr = S_OK;
  EXCEPINFO info{};
  UINT argumentError = 0;
  for (const WORD flags : kFlagSequence[want == Want::Nothing][member.parenthesised]) {
    DISPID id = 0;
    if (!resolve(object, member.name, id)) return false;
    VariantClear(&result);
    clearException(info);
    hr = object->Invoke(id, IID_NULL, locale_, flags, args.params(), &result, &info, &argumentError);
    if (SUCCEEDED(hr)) {
      args.copyBack();
      return true;
    }
    if (hr == DISP_E_EXCEPTION) break;  // the member ran and raised: running it again would repeat it
  }
  if (hr == DISP_E_TYPEMISMATCH) report(Failure::typeMismatch(args.positionOf(argumentError)));
  else if (hr == DISP_E_EXCEPTION) report(Failure::raised(hr, info));
  else if (want == Want::Result) report(Failure::readFailed(hr, member.name));
  else report(Failure::failed("Invoke", hr, member.name));
  clearException(info);
  return false;
}

ComPtr<IDispatch> OleSite::startOf(const MemberPath& path) {
  if (path.object.empty()) return ComPtr<IDispatch>(dispatch());
  ComPtr<IDispatch> object = findReference(path.object);
  if (!object) setRuntimeError(kNotAnObject, path.object);
  return object;
}

bool OleSite::evaluate(std::string_view text, Want want, std::string* out) {
  Variant result;
  if (!walk(text, want, *result.get())) return false;
  return !out || resultText(*result.get(), *out);
}

bool OleSite::walk(std::string_view text, Want want, VARIANT& result) {
  const auto path = parseMemberPath(text);
  if (!path) return false;
  ComPtr<IDispatch> object = startOf(*path);
  if (!object) return false;
  if (path->members.empty()) {
    result.vt = VT_DISPATCH;
    result.pdispVal = object.release();
    return true;
  }
  for (size_t i = 0; i < path->members.size(); ++i) {
    const bool last = i + 1 == path->members.size();
    if (!invokeMember(object.get(), path->members[i], last ? want : Want::Result, result)) return false;
    if (last) return true;
    if ((result.vt != VT_DISPATCH && result.vt != VT_UNKNOWN) || !result.punkVal) return false;
    ComPtr<IDispatch> next;
    if (FAILED(result.punkVal->QueryInterface(IID_IDispatch, next.put()))) return false;
    VariantClear(&result);
    object = std::move(next);
  }
  return true;
}

PropertyValue OleSite::call(std::string_view text) {
  if (!dispatch()) return {PropertyStatus::NotHandled, std::string(kNoAutomation)};
  std::string out;
  if (!evaluate(text, Want::Result, &out)) return {PropertyStatus::BadValue, std::string(kGetPropertyFailed)};
  return {PropertyStatus::Ok, std::move(out)};
}

PropertyStatus OleSite::invoke(std::string_view text) {
  if (!dispatch()) return PropertyStatus::NotHandled;
  return evaluate(text, Want::Nothing, nullptr) ? PropertyStatus::Ok : PropertyStatus::BadValue;
}

PropertyStatus OleSite::put(std::string_view text, std::string_view value) {
  if (!dispatch()) return window::SetProperty(window_, control_.field, text, value);
  VARIANT v{};
  v.vt = VT_BSTR;
  v.bstrVal = Bstr(ansiToWide(value)).release();
  return write(text, v);
}

PropertyStatus OleSite::putTyped(std::string_view text, std::uint8_t type, const void* address, std::size_t size) {
  if (!dispatch()) return ControlAutomation::putTyped(text, type, address, size);
  VARIANT v{};
  if (!typedVariant(type, address, size, v)) return PropertyStatus::BadValue;
  return write(text, v);
}

PropertyStatus OleSite::write(std::string_view text, VARIANT value) {
  Variant owned;
  *owned.get() = value;
  const size_t split = writeSplit(text);
  ComPtr<IDispatch> object;
  if (split == std::string_view::npos) {
    object = ComPtr<IDispatch>(dispatch());
  } else {
    Variant target;
    const std::string_view prefix = text.substr(0, split);
    if (!walk(prefix, Want::Result, *target.get()) || target->vt != VT_DISPATCH || !target->pdispVal) {
      setRuntimeError(kNotAnObject, prefix);
      return PropertyStatus::BadValue;
    }
    object = ComPtr<IDispatch>(target->pdispVal);
  }
  const auto path = parseMemberPath(split == std::string_view::npos ? text : text.substr(split + 1));
  if (!path || !path->object.empty() || path->members.size() != 1) return PropertyStatus::BadValue;
  const PathMember& member = path->members.front();
  ArgumentBlock args;
  for (const PathArgument& a : member.arguments) {
    DISPID named = DISPID_UNKNOWN;
    if (!a.name.empty() && !resolve(object.get(), a.name, named)) return PropertyStatus::BadValue;
    if (const ArgumentFault fault = args.add(a, named); fault != ArgumentFault::None) {
      setRuntimeError(int(fault), a.value);
      return PropertyStatus::BadValue;
    }
  }
  args.addPropertyValue(*owned.get());
  *owned.get() = VARIANT{};  // the block owns it now
  DISPID id = 0;
  if (!resolve(object.get(), member.name, id)) return PropertyStatus::BadValue;
  EXCEPINFO info{};
  UINT argumentError = 0;
  const HRESULT hr = object->Invoke(id, IID_NULL, locale_, DISPATCH_PROPERTYPUT, args.params(), nullptr, &info, &argumentError);
  if (SUCCEEDED(hr)) {
    args.copyBack();
    return PropertyStatus::Ok;
  }
  if (hr == DISP_E_TYPEMISMATCH) report(Failure::typeMismatch(args.positionOf(argumentError)));
  else if (hr == DISP_E_EXCEPTION) report(Failure::raised(hr, info));
  else report(Failure::failed("Invoke", hr, member.name));
  clearException(info);
  return PropertyStatus::BadValue;
}

std::optional<PropertyValue> OleSite::getRuntime(std::uint16_t number, int) {
  namespace prop = window::prop;
  for (const FlagProperty& f : kFlagProperties)
    if (f.number == number) return PropertyValue{PropertyStatus::Ok, flags_ & f.flag ? "1" : "0"};
  switch (number) {
    case prop::Object: return PropertyValue{PropertyStatus::Ok, handOutReference(dispatch())};
    case prop::ProgID: return PropertyValue{PropertyStatus::Ok, object_ ? ProgIDFromCLSIDA(clsid_) : std::string()};
    case prop::CLSID: return PropertyValue{PropertyStatus::Ok, object_ ? GuidText(clsid_) : std::string()};
    case prop::LastEventName: return PropertyValue{PropertyStatus::Ok, lastEventName()};
    case prop::Blob: return PropertyValue{PropertyStatus::Ok, blob()};
    case prop::SizeMode: return PropertyValue{PropertyStatus::Ok, std::to_string(flags_ & kSizeModeMask)};
    case prop::ReportException: return PropertyValue{PropertyStatus::Ok, flags_ & kReportOleErrors ? "2" : flags_ & kReportErrors ? "1" : "0"};
    default: return std::nullopt;
  }
}

std::optional<PropertyStatus> OleSite::setRuntime(std::uint16_t number, std::string_view value, int) {
  namespace prop = window::prop;
  const long n = numberOf(value).value_or(0);
  for (const FlagProperty& f : kFlagProperties)
    if (f.number == number) return flags_ = n ? flags_ | f.flag : flags_ & ~f.flag, PropertyStatus::Ok;
  switch (number) {
    case prop::Create: return create(value) ? PropertyStatus::Ok : PropertyStatus::BadValue;
    case prop::Release:
      if (value.empty()) return release(), PropertyStatus::Ok;
      if (releaseReference(value)) return PropertyStatus::Ok;
      setRuntimeError(kNotAnObject, value);
      return PropertyStatus::BadValue;
    case prop::Deactivate: return PropertyStatus::Ok;  // nothing is active in place
    case prop::SaveAs: return saveAs(value);
    case prop::Open: return open(value);
    case prop::SizeMode: return flags_ = (flags_ & ~kSizeModeMask) | (std::uint32_t(n) & kSizeModeMask), PropertyStatus::Ok;
    case prop::ReportException:
      flags_ &= ~(kReportErrors | kReportOleErrors);
      if (n) flags_ |= kReportErrors;
      if (n == 2) flags_ |= kReportOleErrors;
      return PropertyStatus::Ok;
    case prop::SelectInterface: {
      if (value.empty()) return alternate_.reset(), PropertyStatus::Ok;
      ComPtr<IDispatch> chosen = findReference(value);
      if (!chosen) return setRuntimeError(kNotAnObject, value), PropertyStatus::BadValue;
      alternate_ = std::move(chosen);
      return PropertyStatus::Ok;
    }
    default: return std::nullopt;
  }
}

void OleSite::bindValue(const BoundVariable& variable) {
  bound_ = variable;
  control_.display = [this] {
    if (bound_) put("0", readVariable(*bound_).asText());
  };
}

void OleSite::propertyChanged(DISPID member) {
  IDispatch* d = dispatch();
  if (!d) return;
  if (!valueDispid_) {
    std::u16string name = u"Value";
    OLECHAR* names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    valueDispid_ = SUCCEEDED(d->GetIDsOfNames(IID_NULL, names, 1, locale_, &id)) ? id : DISPID_UNKNOWN;
  }
  if (member != DISPID_VALUE && member != *valueDispid_) return;
  std::string text;
  if (!evaluate("0", Want::Result, &text)) return;
  if (bound_) {
    storeText(*bound_, text);
    window::PostEvent(window::event::Accepted, control_.field);
  }
  // Radio-like controls: the one that turned true turns the others of the window off.
  if (member != DISPID_VALUE || !(flags_ & kIsRadio) || realFromText(text) == 0) return;
  for (auto& [field, other] : window_.controls) {
    auto* site = &other != &control_ ? dynamic_cast<OleSite*>(other.automation.get()) : nullptr;
    if (site && (site->flags() & kIsRadio)) site->put("0", "0");
  }
}

void OleSite::deliverEvent(DISPID dispid, DISPPARAMS* params) {
  currentEvent_ = dispid;
  if (callback_) callback_(params, control_.field);
}

std::string OleSite::lastEventName() {
  std::string name;
  ITypeInfo* raw = nullptr;
  IDispatch* d = dispatch();
  const ComPtr<ITypeInfo> info = ComPtr<ITypeInfo>::adopt(d && SUCCEEDED(d->GetTypeInfo(0, locale_, &raw)) ? raw : nullptr);
  if (info) {
    BSTR names[1] = {};
    UINT count = 0;
    if (SUCCEEDED(info->GetNames(currentEvent_, names, 1, &count)) && count == 1) name = wideToAnsi(bstrView(names[0]));
    if (count == 1) SysFreeString(names[0]);
  }
  if (name.empty() && currentEvent_ == kErrorEvent) name = "ErrorEvent";
  return name;
}

void OleSite::raiseErrorEvent(const EXCEPINFO& info) {
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT args[7] = {};  // in call order; reversed below
  args[0].vt = VT_I2;
  args[0].iVal = std::int16_t(info.wCode ? info.wCode : info.scode);
  args[1].vt = VT_BSTR;
  args[1].bstrVal = SysAllocStringLen(info.bstrDescription, SysStringLen(info.bstrDescription));
  args[2].vt = VT_ERROR;
  args[2].scode = info.scode;
  args[3].vt = VT_BSTR;
  args[3].bstrVal = SysAllocStringLen(info.bstrSource, SysStringLen(info.bstrSource));
  args[4].vt = VT_BSTR;
  args[4].bstrVal = SysAllocStringLen(info.bstrHelpFile, SysStringLen(info.bstrHelpFile));
  args[5].vt = VT_I4;
  args[5].lVal = 0;
  args[6].vt = VT_BYREF | VT_BOOL;
  args[6].byref = &cancel;
  VARIANT reversed[7];
  for (int i = 0; i < 7; ++i) reversed[i] = args[6 - i];
  DISPPARAMS params{reversed, nullptr, 7, 0};
  deliverEvent(kErrorEvent, &params);
  for (VARIANT& v : args) VariantClear(&v);
}

namespace {

OleSite* siteOf(window::Window& w, window::Control& c) {
  if (c.kind != std::uint8_t(window::Kind::Ole)) return nullptr;
  if (!c.automation) c.automation = std::make_shared<OleSite>(w, c);
  return dynamic_cast<OleSite*>(c.automation.get());
}

}  // namespace

void InstallOleContainer() {
  window::SetAutomationProvider(std::uint8_t(window::Kind::Ole), [](window::Window& w, window::Control& c) {
    return std::static_pointer_cast<window::ControlAutomation>(std::make_shared<OleSite>(w, c));
  });
}

namespace {

window::Control* currentWindowControl(int field, window::Window** window = nullptr) {
  ThreadContext* context = currentThreadContext();
  window::Window* w = context ? context->currentWindow() : nullptr;
  if (window) *window = w;
  return w ? w->control(field) : nullptr;
}

OleSite* currentWindowSite(int field) {
  window::Window* w = nullptr;
  window::Control* c = currentWindowControl(field, &w);
  return c ? siteOf(*w, *c) : nullptr;
}

}  // namespace

bool BindOleValue(int field, StorageType type, void* address, std::size_t size) {
  OleSite* site = currentWindowSite(field);
  if (!site) return false;
  site->bindValue(BoundVariable{type, address, size});
  return true;
}

bool RegisterOleEventCallback(int field, OleEventCallback callback) {
  OleSite* site = currentWindowSite(field);
  if (!site) return false;
  site->setEventCallback(std::move(callback));
  return true;
}

bool SetOleView(int field, std::shared_ptr<platform::WindowView> view) {
  // The view belongs to the control's window, not to its site: no object needs to be created.
  const window::Control* c = currentWindowControl(field);
  if (!c || c->kind != std::uint8_t(window::Kind::Ole) || !c->hwnd) return false;
  return platform::SetWindowView(c->hwnd, std::move(view));
}

}  // namespace tamsil::ole
