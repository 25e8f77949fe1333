// The generic members: a setting of the whole grid (BOOK) or a cell-level property (STYLE) is
// read and written through its field alone, converted by the field's C++ type.
#pragma once

#include <type_traits>

#include "components/spread/members/call.h"

namespace spread::members {

// Field values to and from variants, by the field's type. Dates travel as "MMDDYYYY", times as
// "HHMMSS" (a VT_DATE is taken too).
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, bool& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, std::int16_t& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, std::int32_t& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, std::uint32_t& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, double& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, std::string& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, DateValue& out, std::string* why);
[[nodiscard]] HRESULT FromVariant(const VARIANT& v, TimeValue& out, std::string* why);
void ToVariant(bool v, Variant& r);
void ToVariant(std::int16_t v, Variant& r);
void ToVariant(std::int32_t v, Variant& r);
void ToVariant(std::uint32_t v, Variant& r);
void ToVariant(double v, Variant& r);
void ToVariant(const std::string& v, Variant& r);
void ToVariant(DateValue v, Variant& r);
void ToVariant(TimeValue v, Variant& r);

// The addressed block is inside the sheet (rows and columns -1 to the sheet's size).
HRESULT CheckAddress(const Call& c);

template <auto Field>
HRESULT GetBook(Call& c, Variant& r) {
  ToVariant(c.book.settings.*Field, r);
  return platform::S_OK;
}

template <auto Field>
HRESULT PutBook(Call& c, const VARIANT& v) {
  std::remove_cvref_t<decltype(c.book.settings.*Field)> value{};
  std::string why;
  if (const HRESULT hr = FromVariant(v, value, &why); platform::FAILED(hr)) return c.fail(hr, why);
  c.book.settings.*Field = std::move(value);
  return platform::S_OK;
}

template <auto Field>
HRESULT GetStyle(Call& c, Variant& r) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  const Block b = c.book.addressed();
  ToVariant((*c.book.sheet().styleAt(b.col, b.row)).*Field, r);
  return platform::S_OK;
}

template <auto Field>
HRESULT PutStyle(Call& c, const VARIANT& v) {
  if (const HRESULT hr = CheckAddress(c); platform::FAILED(hr)) return hr;
  std::remove_cvref_t<decltype(Style{}.*Field)> value{};
  std::string why;
  if (const HRESULT hr = FromVariant(v, value, &why); platform::FAILED(hr)) return c.fail(hr, why);
  if (!c.book.changeStyle(
          c.book.sheet(), c.book.addressed(), [&value](Style& s) { s.*Field = value; }, &why))
    return c.refuse(why);
  return platform::S_OK;
}

}  // namespace spread::members
