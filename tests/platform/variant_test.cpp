// BSTR, the Windows-1252 <-> UTF-16 conversions and VARIANT: allocation, conversions with their
// results, comparison.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/com/wide_text.h"
#include "platform/system/last_error.h"

namespace platform {
namespace {

TEST(BstrTest, LengthPrefixedWithEmbeddedNulsAndNull) {
  Bstr b(std::u16string_view(u"a\0b", 3));
  EXPECT_EQ(SysStringLen(b.get()), 3u);
  EXPECT_EQ(SysStringByteLen(b.get()), 6u);
  EXPECT_EQ(b.get()[3], u'\0');  // terminated as well
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  SysFreeString(nullptr);
  BSTR zeros = SysAllocStringLen(nullptr, 2);
  EXPECT_EQ(bstrView(zeros), std::u16string_view(u"\0\0", 2));
  SysFreeString(zeros);
  EXPECT_EQ(SysAllocStringLen(u"x", 0x80000000u), nullptr);  // byte count would not fit
}

TEST(WideTextTest, EveryByteRoundTripsAndWin32Conventions) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(char(c));
  EXPECT_EQ(wideToAnsi(ansiToWide(all)), all);
  EXPECT_EQ(ansiToWide("\x80\x9F\xE9"), u"\u20AC\u0178\u00E9");

  WCHAR out[8];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);  // NUL counted
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, out, 8), 4);
  EXPECT_EQ(out[3], u'\0');
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, out, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(MultiByteToWideChar(65001, 0, "abc", 3, out, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  char bytes[8];
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u0100\u20AC", 2, bytes, 8, nullptr, &usedDefault), 2);
  EXPECT_EQ(std::string(bytes, 2), "?\x80");
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\U0001F600", 2, bytes, 8, "#", nullptr), 2);
  EXPECT_EQ(std::string(bytes, 2), "##");
}

VARIANT of(VARTYPE vt) {
  VARIANT v;
  v.vt = vt;
  return v;
}

std::u16string asText(const VARIANT& v, std::uint16_t flags = 0, HRESULT* hr = nullptr) {
  Variant out;
  const HRESULT r = VariantChangeType(out.get(), &v, flags, VT_BSTR);
  if (hr) *hr = r;
  return SUCCEEDED(r) ? std::u16string(bstrView(out->bstrVal)) : u"<fail>";
}

TEST(VariantTest, ToText) {
  VARIANT i4 = of(VT_I4), r8 = of(VT_R8), boolean = of(VT_BOOL), cy = of(VT_CY), date = of(VT_DATE), dec = of(VT_DECIMAL), ui8 = of(VT_UI8),
          null = of(VT_NULL);
  i4.lVal = INT32_MIN;
  r8.dblVal = 0.1;
  boolean.boolVal = VARIANT_TRUE;
  cy.cyVal.int64 = -125000;
  date.date = 39780.5;  // 28 Nov 2008, noon
  dec.decVal.Lo64 = 12345;
  dec.decVal.scale = 3;
  dec.decVal.sign = 0x80;
  ui8.ullVal = UINT64_MAX;
  EXPECT_EQ(asText(i4), u"-2147483648");
  EXPECT_EQ(asText(r8), u"0.1");
  EXPECT_EQ(asText(boolean), u"-1");
  EXPECT_EQ(asText(boolean, VARIANT_ALPHABOOL), u"True");
  EXPECT_EQ(asText(cy), u"-12.5");
  EXPECT_EQ(asText(date), u"11/28/2008 12:00:00 PM");
  EXPECT_EQ(asText(dec), u"-12.345");
  EXPECT_EQ(asText(ui8), u"18446744073709551615");
  HRESULT hr;
  EXPECT_EQ(asText(null, 0, &hr), u"<fail>");
  EXPECT_EQ(hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(asText(of(VT_EMPTY)), u"");
}

TEST(VariantTest, FromTextAndBetweenNumbers) {
  const struct {
    std::u16string text;
    VARTYPE vt;
    HRESULT hr;
    double value;
  } cases[] = {
      {u" 42 ", VT_I4, S_OK, 42},
      {u"2.5", VT_I2, S_OK, 2},  // half to even
      {u"3.5", VT_I2, S_OK, 4},
      {u"-1e3", VT_R8, S_OK, -1000},
      {u"40000", VT_I2, DISP_E_OVERFLOW, 0},
      {u"-1", VT_UI4, DISP_E_OVERFLOW, 0},
      {u"abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {u"inf", VT_R8, DISP_E_TYPEMISMATCH, 0},
      {u"1.5", VT_CY, S_OK, 15000},
      {u"true", VT_BOOL, S_OK, -1},
      {u"0", VT_BOOL, S_OK, 0},
      {u"1e39", VT_R4, DISP_E_OVERFLOW, 0},
      {u"", VT_I4, DISP_E_TYPEMISMATCH, 0},
  };
  for (const auto& c : cases) {
    Variant text;
    text->vt = VT_BSTR;
    text->bstrVal = Bstr(c.text).release();
    Variant out;
    EXPECT_EQ(VariantChangeType(out.get(), text.get(), 0, c.vt), c.hr) << std::string(c.text.begin(), c.text.end());
    if (c.hr != S_OK) {
      EXPECT_EQ(out->vt, VT_EMPTY);
      continue;
    }
    double got = 0;
    switch (c.vt) {
      case VT_I4: got = out->lVal; break;
      case VT_I2: got = out->iVal; break;
      case VT_R8: got = out->dblVal; break;
      case VT_CY: got = double(out->cyVal.int64); break;
      case VT_BOOL: got = out->boolVal; break;
    }
    EXPECT_EQ(got, c.value);
  }
}

TEST(VariantTest, ChangeInPlaceCopyAndBadTypes) {
  Variant v;
  v->vt = VT_BSTR;
  v->bstrVal = Bstr(u"17").release();
  EXPECT_EQ(VariantChangeType(v.get(), v.get(), 0, VT_I4), S_OK);  // the BSTR is freed
  EXPECT_EQ(v->vt, VT_I4);
  EXPECT_EQ(v->lVal, 17);

  Variant copy;
  Variant text;
  text->vt = VT_BSTR;
  text->bstrVal = Bstr(u"abc").release();
  EXPECT_EQ(VariantCopy(copy.get(), text.get()), S_OK);
  EXPECT_NE(copy->bstrVal, text->bstrVal);  // duplicated, each freed once
  VARIANT bad = of(0x0FFF);
  EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantChangeType(copy.get(), &bad, 0, VT_BSTR), DISP_E_BADVARTYPE);

  LONG target = 5;
  VARIANT ref = of(VT_I4 | VT_BYREF);
  ref.byref = &target;
  EXPECT_EQ(asText(ref), u"5");
  VARIANT nullRef = of(VT_I4 | VT_BYREF);
  nullRef.byref = nullptr;
  EXPECT_EQ(VariantChangeType(copy.get(), &nullRef, 0, VT_BSTR), E_INVALIDARG);
  VARIANT loop = of(VT_VARIANT | VT_BYREF);
  loop.byref = &loop;  // refers to itself
  EXPECT_EQ(VariantChangeType(copy.get(), &loop, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
}

TEST(VariantTest, Compare) {
  auto number = [](double d) {
    VARIANT v = of(VT_R8);
    v.dblVal = d;
    return v;
  };
  Bstr ten(u"10"), abc(u"abc");
  VARIANT tenText = of(VT_BSTR), abcText = of(VT_BSTR);
  tenText.bstrVal = ten.get();
  abcText.bstrVal = abc.get();
  const VARIANT two = number(2), nine = number(9.5), null = of(VT_NULL);
  EXPECT_EQ(VarCmp(&two, &nine, 0, 0), VARCMP_LT);
  EXPECT_EQ(VarCmp(&tenText, &nine, 0, 0), VARCMP_GT);  // the text reads as 10
  EXPECT_EQ(VarCmp(&abcText, &nine, 0, 0), VARCMP_GT);  // text that is no number is above
  EXPECT_EQ(VarCmp(&abcText, &tenText, 0, 0), VARCMP_GT);
  EXPECT_EQ(VarCmp(&null, &two, 0, 0), VARCMP_NULL);
  EXPECT_EQ(VarBstrCmp(ten.get(), nullptr, 0, 0), VARCMP_GT);
}

}  // namespace
}  // namespace platform
