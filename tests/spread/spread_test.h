// The fixture of the grid's COM tests: a temporary profile (the class registry lives there), the
// grid registered and one grid made through CoCreateInstance by its ProgID, the process's call
// log in a temporary file, and helpers that call members through IDispatch as a container does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
#include "tests/support/temp_profile.h"

namespace spread::testing {

// Variants for arguments; a text's BSTR is owned by the Variant.
platform::Variant I4(platform::LONG n);
platform::Variant R8(double d);
platform::Variant Text(std::u16string_view s);
platform::Variant Bool(bool b);

// The lines the process's call log (OVSPREAD_CALLLOG, a temporary file set before any member is
// carried out) received since the object was made.
class LogTail {
 public:
  LogTail();
  std::vector<std::string> lines() const;
  static const std::string& path();

 private:
  std::size_t start_;
};

class SpreadTest : public ::testing::Test {
 protected:
  void SetUp() override;

  platform::DISPID dispid(const char16_t* name);
  // Invoke with the arguments in call order (reversed into DISPPARAMS here); a put's value goes
  // as the named DISPID_PROPERTYPUT argument.
  platform::HRESULT invoke(platform::IDispatch* object, const char16_t* name, platform::WORD flags, std::vector<const platform::VARIANT*> args,
                           platform::VARIANT* result = nullptr, platform::EXCEPINFO* exception = nullptr,
                           platform::UINT* argumentError = nullptr);
  platform::HRESULT put(const char16_t* name, std::vector<const platform::VARIANT*> indexes, const platform::Variant& value);
  // A property read (or a method called for its result); the value, VT_EMPTY on failure.
  platform::Variant get(const char16_t* name, std::vector<const platform::VARIANT*> args = {});

  kestrel::testing::TempProfileDir profile_{"spread_com"};
  LogTail log_;
  platform::ComPtr<platform::IDispatch> grid;
};

// The text of a variant changed to a BSTR, in the ANSI code page ("?" when it does not convert).
std::string textOf(const platform::VARIANT& v);

}  // namespace spread::testing
