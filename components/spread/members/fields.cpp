#include "components/spread/members/fields.h"

namespace spread::members {

namespace {

HRESULT failed(HRESULT hr, std::string* why, std::string_view what) {
  if (platform::FAILED(hr) && why) *why = "the value is not " + std::string(what);
  return hr;
}

}  // namespace

HRESULT FromVariant(const VARIANT& v, bool& out, std::string* why) { return failed(ToBool(v, out), why, "a boolean"); }
HRESULT FromVariant(const VARIANT& v, std::int16_t& out, std::string* why) { return failed(ToShort(v, out), why, "a 16-bit number"); }
HRESULT FromVariant(const VARIANT& v, std::int32_t& out, std::string* why) { return failed(ToInt(v, out), why, "a 32-bit number"); }
HRESULT FromVariant(const VARIANT& v, std::uint32_t& out, std::string* why) { return failed(ToColour(v, out), why, "a colour"); }
HRESULT FromVariant(const VARIANT& v, double& out, std::string* why) { return failed(ToDouble(v, out), why, "a number"); }
HRESULT FromVariant(const VARIANT& v, std::string& out, std::string* why) { return failed(ToText(v, out), why, "a text"); }

HRESULT FromVariant(const VARIANT& v, DateValue& out, std::string* why) {
  if (v.vt == platform::VT_DATE) {
    out = DateValue{std::int32_t(v.date)};
    return platform::S_OK;
  }
  std::string text;
  if (platform::SUCCEEDED(ToText(v, text)))
    if (auto d = ParseMonthDayYear(text)) {
      out = *d;
      return platform::S_OK;
    }
  if (why) *why = "a date limit is written MMDDYYYY";
  return platform::E_INVALIDARG;
}

HRESULT FromVariant(const VARIANT& v, TimeValue& out, std::string* why) {
  std::string text;
  if (platform::SUCCEEDED(ToText(v, text)))
    if (auto t = ParseTimeDigits(text)) {
      out = *t;
      return platform::S_OK;
    }
  if (why) *why = "a time limit is written HHMMSS";
  return platform::E_INVALIDARG;
}

void ToVariant(bool v, Variant& r) { SetBool(r, v); }
void ToVariant(std::int16_t v, Variant& r) { SetShort(r, v); }
void ToVariant(std::int32_t v, Variant& r) { SetInt(r, v); }
void ToVariant(std::uint32_t v, Variant& r) { SetColour(r, v); }
void ToVariant(double v, Variant& r) { SetDouble(r, v); }
void ToVariant(const std::string& v, Variant& r) { SetText(r, v); }
void ToVariant(DateValue v, Variant& r) { SetText(r, MonthDayYearText(v)); }
void ToVariant(TimeValue v, Variant& r) { SetText(r, TimeDigitsText(v)); }

HRESULT CheckAddress(const Call& c) {
  const Block b = c.book.addressed();
  for (std::int32_t r : {b.row, b.row2})
    if (!IsRowOrAll(c.book, r))
      return c.refuse("Row " + std::to_string(r) + " is outside the sheet (MaxRows " + std::to_string(c.book.sheet().maxRows()) + ")");
  for (std::int32_t col : {b.col, b.col2})
    if (!IsColOrAll(c.book, col))
      return c.refuse("Col " + std::to_string(col) + " is outside the sheet (MaxCols " + std::to_string(c.book.sheet().maxCols()) + ")");
  return platform::S_OK;
}

}  // namespace spread::members
