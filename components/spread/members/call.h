// What the members' functions share: the call they carry out (the book, the arguments, where the
// error text goes), argument and result conversions, and the declarations of every member
// function the table names (RW, RO and CALL handlers).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"

namespace spread::members {

using platform::HRESULT;
using platform::VARIANT;
using platform::Variant;

struct Call {
  AddressedBook& book;
  std::span<const VARIANT> args;  // index arguments of a property, arguments of a method
  std::string* error;

  HRESULT fail(HRESULT hr, std::string text) const {
    if (error) *error = std::move(text);
    return hr;
  }
  HRESULT refuse(std::string text) const { return fail(platform::E_INVALIDARG, std::move(text)); }
  bool has(size_t i) const { return i < args.size() && args[i].vt != platform::VT_EMPTY && args[i].vt != platform::VT_ERROR; }
};

// Argument conversions as a dispatch interface makes them; each fails with VariantChangeType's
// result (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW).
HRESULT ToInt(const VARIANT& v, std::int32_t& out);
HRESULT ToShort(const VARIANT& v, std::int16_t& out);
HRESULT ToDouble(const VARIANT& v, double& out);
HRESULT ToBool(const VARIANT& v, bool& out);
HRESULT ToText(const VARIANT& v, std::string& out);  // ANSI (code page 1252)
// A colour: any number type; a negative 32-bit value is taken as its unsigned bits.
HRESULT ToColour(const VARIANT& v, std::uint32_t& out);

void SetInt(Variant& r, std::int32_t v);
void SetShort(Variant& r, std::int16_t v);
void SetDouble(Variant& r, double v);
void SetBool(Variant& r, bool v);
void SetText(Variant& r, std::string_view v);
void SetColour(Variant& r, std::uint32_t v);

// Argument i as a number, with the conversion's failure reported through the call.
HRESULT IntArg(const Call& c, size_t i, std::int32_t& out);
HRESULT TextArg(const Call& c, size_t i, std::string& out);

// A row or column number of the addressed sheet: -1 to its size (0 is the header).
bool IsRowOrAll(const AddressedBook& b, std::int32_t row);
bool IsColOrAll(const AddressedBook& b, std::int32_t col);

using Getter = HRESULT (*)(Call&, Variant&);
using Putter = HRESULT (*)(Call&, const VARIANT&);

// The functions of the RW, RO and CALL handlers of member_list.inc.
#define BOOK(field)
#define STYLE(field)
#define RW(name)                      \
  HRESULT get##name(Call&, Variant&); \
  HRESULT put##name(Call&, const VARIANT&);
#define RO(name) HRESULT get##name(Call&, Variant&);
#define CALL(name) HRESULT call##name(Call&, Variant&);
#define X(name, dispid, kind, type, minArgs, maxArgs, handler) handler
#include "components/spread/members/member_list.inc"
#undef X
#undef CALL
#undef RO
#undef RW
#undef STYLE
#undef BOOK

}  // namespace spread::members
