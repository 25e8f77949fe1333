// InvokeMember: the argument counts and the kind of access checked once, then the member's
// handler from member_list.inc carries the call out and the result takes the member's type.
#include <functional>

#include "components/spread/members/fields.h"

namespace spread {

namespace {

using namespace members;
using platform::DISPATCH_METHOD;
using platform::DISPATCH_PROPERTYGET;
using platform::DISPATCH_PROPERTYPUT;
using platform::DISPATCH_PROPERTYPUTREF;

struct Handler {
  Getter get = nullptr;
  Putter put = nullptr;
  Getter call = nullptr;
};

#define BOOK(field) Handler{&GetBook<&BookSettings::field>, &PutBook<&BookSettings::field>, nullptr},
#define STYLE(field) Handler{&GetStyle<&Style::field>, &PutStyle<&Style::field>, nullptr},
#define RW(name) Handler{&get##name, &put##name, nullptr},
#define RO(name) Handler{&get##name, nullptr, nullptr},
#define CALL(name) Handler{nullptr, nullptr, &call##name},
#define X(name, dispid, kind, type, minArgs, maxArgs, handler) handler
const Handler kHandlers[] = {
#include "components/spread/members/member_list.inc"
};
#undef X
#undef CALL
#undef RO
#undef RW
#undef STYLE
#undef BOOK

}  // namespace

HRESULT InvokeMember(AddressedBook& book, const MemberInfo& m, WORD flags, std::span<const platform::VARIANT> args, platform::Variant* result,
                     std::string* error) {
  platform::Variant local;
  platform::Variant& out = result ? *result : local;
  platform::VariantClear(out.get());
  std::string text;
  const auto fail = [&](HRESULT hr, std::string why) {
    if (error) *error = std::string(m.name) + ": " + why;
    return hr;
  };
  // m is one of the table's entries; anything else is no member of this grid.
  const std::span<const MemberInfo> table = Members();
  const std::less<const MemberInfo*> before;  // a total order, also for pointers into other objects
  if (before(&m, table.data()) || !before(&m, table.data() + table.size()))
    return fail(platform::DISP_E_MEMBERNOTFOUND, "is not a member of the grid");
  const Handler& h = kHandlers[&m - table.data()];
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put && (m.kind == MemberKind::Method || args.empty())) return fail(platform::DISP_E_MEMBERNOTFOUND, "cannot be written");
  const std::span<const platform::VARIANT> given = put ? args.first(args.size() - 1) : args;
  if (given.size() < m.minArgs || given.size() > m.maxArgs)
    return fail(platform::DISP_E_BADPARAMCOUNT, "takes " + std::to_string(m.minArgs) + " to " + std::to_string(m.maxArgs) + " arguments");
  Call call{book, given, &text};
  HRESULT hr;
  if (put) {
    if (!h.put) return fail(platform::DISP_E_MEMBERNOTFOUND, "is read-only");
    hr = h.put(call, args.back());
  } else if (m.kind == MemberKind::Method) {
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return fail(platform::DISP_E_MEMBERNOTFOUND, "is a method");
    hr = h.call(call, out);
  } else {
    hr = h.get(call, out);
  }
  if (platform::FAILED(hr)) return fail(hr, text);
  // A written property or a called method may have changed what a view shows.
  if (put || m.kind == MemberKind::Method) book.changes.notify();
  // The result takes the member's type (a handler gives its natural one).
  if (!put && m.type != platform::VT_EMPTY && m.type != platform::VT_DISPATCH && out->vt != m.type && out->vt != platform::VT_EMPTY) {
    hr = platform::VariantChangeType(out.get(), out.get(), 0, m.type);
    if (platform::FAILED(hr)) return fail(hr, "the result does not fit its type");
  }
  return platform::S_OK;
}

}  // namespace spread
