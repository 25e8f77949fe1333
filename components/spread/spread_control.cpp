// The grid control's dispatch interface: names, Invoke and the call log.
#include "components/spread/spread_control.h"

#include "components/spread/call_log.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/registration.h"
#include "components/spread/type_info.h"
#include "platform/com/com.h"
#include "platform/com/variant.h"

namespace spread {

using namespace platform;

namespace {

// The most arguments a member can take (the bridge sends at most 32 and a property's value).
constexpr UINT kMaxArguments = 33;
// The longest member name looked up (the bridge sends at most 100 characters).
constexpr size_t kMaxNameLength = 128;

// A name in the ANSI code page, for the member table; false when it is too long or has a unit
// beyond ASCII, which no member name has.
bool asciiName(const OLECHAR* name, char (&out)[kMaxNameLength], std::string_view& view) {
  size_t n = 0;
  for (; name[n]; ++n) {
    if (n + 1 >= kMaxNameLength || name[n] >= 0x80) return false;
    out[n] = char(name[n]);
  }
  view = std::string_view(out, n);
  return true;
}

// Where, counted in DISPPARAMS order (last argument first), the argument lies that a type
// mismatch is about: a put's value that does not convert to the property's type, else the first
// index argument of a property that is no number. 0 when none can be told.
UINT mismatchedArgument(const MemberInfo& m, bool put, std::span<const VARIANT> args) {
  Variant converted;
  const size_t indexes = put && !args.empty() ? args.size() - 1 : args.size();
  if (put && !args.empty() && m.type != VT_EMPTY && FAILED(VariantChangeType(converted.get(), &args.back(), 0, m.type))) return 0;
  if (m.kind != MemberKind::Property) return 0;
  for (size_t i = 0; i < indexes; ++i)
    if (FAILED(VariantChangeType(converted.get(), &args[i], 0, VT_I4))) return UINT(args.size() - 1 - i);
  return 0;
}

void writeLog(const MemberInfo& m, bool put, std::span<const VARIANT> args, const VARIANT& result) {
  CallLog* log = CallLog::process();
  if (!log) return;
  if (put) log->write(FormatCallLine(LogVerb::Put, m.name, args.first(args.size() - 1), &args.back()));
  else log->write(FormatCallLine(m.kind == MemberKind::Method ? LogVerb::Call : LogVerb::Get, m.name, args, &result));
}

// Raises a member's failure as the exception a dispatch caller reads: the class as source, the
// member's text (or the system's text of the code) as description, the code as scode.
HRESULT raise(HRESULT hr, const std::string& text, EXCEPINFO* exception) {
  if (!exception) return hr;
  *exception = EXCEPINFO{};
  exception->scode = hr;
  exception->bstrSource = SysAllocString(ansiToWide(kSpreadProgId).c_str());
  std::string description = text;
  if (description.empty()) {
    description = SystemMessageText(DWORD(hr));
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) description.pop_back();
  }
  exception->bstrDescription = SysAllocString(ansiToWide(description).c_str());
  return DISP_E_EXCEPTION;
}

}  // namespace

SpreadControl::SpreadControl() : BasicComObject(1), book_(std::make_unique<AddressedBook>()) { book_->setEventSink(this); }

SpreadControl::~SpreadControl() { book_->setEventSink(nullptr); }

HRESULT SpreadControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_INVALIDARG;
  *count = 1;
  return S_OK;
}

HRESULT SpreadControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return E_INVALIDARG;
  *info = SpreadTypeInfo();
  return S_OK;
}

HRESULT SpreadControl::GetIDsOfNames(const IID& reserved, OLECHAR** names, UINT count, LCID, DISPID* ids) {
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return S_OK;
  if (!names || !ids || !names[0]) return E_INVALIDARG;
  // The member; its parameters have no names, so any name after it is unknown.
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  char buffer[kMaxNameLength];
  std::string_view name;
  const MemberInfo* m = asciiName(names[0], buffer, name) ? FindMember(name) : nullptr;
  ids[0] = m ? m->dispid : DISPID_UNKNOWN;
  return m && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT SpreadControl::Invoke(DISPID member, const IID& reserved, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                              UINT* argumentError) {
  if (reserved != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const MemberInfo* m = FindMember(member);
  if (!m) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none;
  if (!params) params = &none;
  if (params->cArgs && !params->rgvarg) return E_INVALIDARG;
  const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  // The only named argument there is: the value of a put.
  if (params->cNamedArgs > 1 ||
      (params->cNamedArgs == 1 && (!put || !params->rgdispidNamedArgs || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)))
    return DISP_E_NONAMEDARGS;
  if (put && params->cArgs == 0) return DISP_E_PARAMNOTFOUND;
  if (params->cArgs > kMaxArguments) return DISP_E_BADPARAMCOUNT;
  // Call order is the reverse of DISPPARAMS order; a put's value (DISPPARAMS first) comes last.
  VARIANT ordered[kMaxArguments];
  for (UINT i = 0; i < params->cArgs; ++i) ordered[i] = params->rgvarg[params->cArgs - 1 - i];
  const std::span<const VARIANT> args(ordered, params->cArgs);

  Variant value;
  std::string error;
  const HRESULT hr = InvokeMember(*book_, *m, put ? WORD(DISPATCH_PROPERTYPUT) : flags, args, &value, &error);
  if (FAILED(hr)) {
    switch (hr) {
      case DISP_E_TYPEMISMATCH:
        if (argumentError) *argumentError = mismatchedArgument(*m, put, args);
        return hr;
      // Wrong flags or argument counts: the caller may try the member another way.
      case DISP_E_MEMBERNOTFOUND:
      case DISP_E_BADPARAMCOUNT:
      case DISP_E_PARAMNOTFOUND:
      case DISP_E_PARAMNOTOPTIONAL: return hr;
      default: return raise(hr, error, exception);
    }
  }
  if (put || m->kind == MemberKind::Method) dirty_ = true;
  writeLog(*m, put, args, *value.get());
  if (result && !put) {
    *result = *value.get();
    *value.get() = VARIANT{};  // the caller owns it now
  }
  return S_OK;
}

}  // namespace spread
