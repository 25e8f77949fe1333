#include "tests/spread/spread_test.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "components/spread/registration.h"
#include "platform/com/com.h"
#include "platform/com/wide_text.h"

namespace spread::testing {

using namespace platform;

Variant I4(LONG n) {
  Variant v;
  v->vt = VT_I4;
  v->lVal = n;
  return v;
}

Variant R8(double d) {
  Variant v;
  v->vt = VT_R8;
  v->dblVal = d;
  return v;
}

Variant Text(std::u16string_view s) {
  Variant v;
  v->vt = VT_BSTR;
  v->bstrVal = Bstr(s).release();
  return v;
}

Variant Bool(bool b) {
  Variant v;
  v->vt = VT_BOOL;
  v->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

std::string textOf(const VARIANT& v) {
  Variant t;
  if (FAILED(VariantChangeType(t.get(), &v, 0, VT_BSTR))) return "?";
  return wideToAnsi(bstrView(t->bstrVal));
}

const std::string& LogTail::path() {
  // Set before the first member is carried out, which is when the component reads it.
  static const std::string p = [] {
    const std::string made = (std::filesystem::temp_directory_path() / ("spread_com_calllog." + std::to_string(getpid()))).string();
    setenv("OVSPREAD_CALLLOG", made.c_str(), 1);
    return made;
  }();
  return p;
}

LogTail::LogTail() {
  std::error_code ignored;
  const auto size = std::filesystem::file_size(path(), ignored);
  start_ = ignored ? 0 : std::size_t(size);
}

std::vector<std::string> LogTail::lines() const {
  std::ifstream in(path());
  in.seekg(std::streamoff(start_));
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

void SpreadTest::SetUp() {
  ASSERT_EQ(RegisterSpreadComponent(), S_OK);
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgIDA(kSpreadProgId, &clsid), S_OK);
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, grid.put()), S_OK);
  ASSERT_TRUE(grid);
}

DISPID SpreadTest::dispid(const char16_t* name) {
  std::u16string text(name);
  OLECHAR* names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  grid->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  return id;
}

HRESULT SpreadTest::invoke(IDispatch* object, const char16_t* name, WORD flags, std::vector<const VARIANT*> args, VARIANT* result,
                           EXCEPINFO* exception, UINT* argumentError) {
  std::u16string text(name);
  OLECHAR* names[] = {text.data()};
  DISPID id = DISPID_UNKNOWN;
  if (const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id); FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(args.size());
  size_t i = args.size();
  for (const VARIANT* a : args) reversed[--i] = *a;
  DISPID putId = DISPID_PROPERTYPUT;
  const bool put = flags & DISPATCH_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), put ? &putId : nullptr, UINT(reversed.size()), put ? 1u : 0u};
  return object->Invoke(id, IID_NULL, 0, flags, &params, result, exception, argumentError);
}

HRESULT SpreadTest::put(const char16_t* name, std::vector<const VARIANT*> indexes, const Variant& value) {
  indexes.push_back(value.get());
  return invoke(grid.get(), name, DISPATCH_PROPERTYPUT, std::move(indexes));
}

Variant SpreadTest::get(const char16_t* name, std::vector<const VARIANT*> args) {
  Variant result;
  if (FAILED(invoke(grid.get(), name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args), result.get()))) VariantClear(result.get());
  return result;
}

}  // namespace spread::testing
