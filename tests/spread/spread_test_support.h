// Helpers of the grid tests: variants of the types the wrapper sends, member calls by name, and
// a sink that records the events a book raises.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "components/spread/control_events.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"
#include "components/spread/model/user_ops.h"
#include "platform/ascii.h"
#include "platform/com/wide_text.h"

namespace spread::test {

// An owned argument list (the variants are cleared with the list).
class Args {
 public:
  Args() = default;
  Args(std::initializer_list<platform::VARIANT> values) : values_(values) {}
  Args(const Args&) = delete;
  Args(Args&& o) noexcept : values_(std::move(o.values_)) {}
  ~Args() {
    for (auto& v : values_) platform::VariantClear(&v);
  }
  std::span<const platform::VARIANT> span() const { return values_; }

 private:
  std::vector<platform::VARIANT> values_;
};

inline constexpr auto I2 = platform::VariantOfI2;
inline constexpr auto I4 = platform::VariantOfI4;
inline constexpr auto UI4 = platform::VariantOfUI4;
inline constexpr auto UI1 = platform::VariantOfUI1;
inline constexpr auto Bool = platform::VariantOfBool;
inline constexpr auto R8 = platform::VariantOfR8;
inline platform::VARIANT Str(std::string_view text) {
  platform::VARIANT x;
  x.vt = platform::VT_BSTR;
  x.bstrVal = platform::Bstr(platform::ansiToWide(text)).release();
  return x;
}

inline std::string TextOf(const platform::Variant& v) {
  platform::Variant t;
  if (platform::FAILED(platform::VariantChangeType(t.get(), v.get(), 0, platform::VT_BSTR))) return "<not text>";
  return platform::wideToAnsi(platform::bstrView(t->bstrVal));
}
inline double NumberOf(const platform::Variant& v) {
  platform::Variant t;
  if (platform::FAILED(platform::VariantChangeType(t.get(), v.get(), 0, platform::VT_R8))) return -12345.678;
  return t->dblVal;
}

// Calls a member by name; the error text (if any) lands in error.
inline platform::HRESULT Invoke(AddressedBook& book, std::string_view name, platform::WORD flags, const Args& args, platform::Variant* result,
                                std::string* error = nullptr) {
  const MemberInfo* m = FindMember(name);
  if (!m) {
    ADD_FAILURE() << "no member " << name;
    return platform::DISP_E_UNKNOWNNAME;
  }
  return InvokeMember(book, *m, flags, args.span(), result, error);
}

// Writes a property (index arguments first, the value last).
inline platform::HRESULT Put(AddressedBook& book, std::string_view name, Args args, std::string* error = nullptr) {
  return Invoke(book, name, platform::DISPATCH_PROPERTYPUT, args, nullptr, error);
}
inline platform::Variant Get(AddressedBook& book, std::string_view name, Args index = {}) {
  platform::Variant r;
  const platform::HRESULT hr = Invoke(book, name, platform::DISPATCH_PROPERTYGET, index, &r);
  EXPECT_EQ(hr, platform::S_OK) << name;
  return r;
}
inline std::string GetText(AddressedBook& book, std::string_view name, Args index = {}) { return TextOf(Get(book, name, std::move(index))); }
inline double GetNumber(AddressedBook& book, std::string_view name, Args index = {}) { return NumberOf(Get(book, name, std::move(index))); }
inline platform::HRESULT CallMethod(AddressedBook& book, std::string_view name, Args args, platform::Variant* result = nullptr,
                                    std::string* error = nullptr) {
  return Invoke(book, name, platform::DISPATCH_METHOD, args, result, error);
}

// Addresses a cell the way the wrapper does: Row, then Col.
inline void At(AddressedBook& book, std::int32_t row, std::int32_t col) {
  ASSERT_EQ(Put(book, "Row", {I4(row)}), platform::S_OK);
  ASSERT_EQ(Put(book, "Col", {I4(col)}), platform::S_OK);
}

// Records every event as its name and its arguments as text ("LeaveCell 1 1 2 3 0").
class RecordingSink : public VariantEventSink {
 public:
  void deliver(SpreadEvent e, std::span<const platform::VARIANT> args) override {
    std::string line(EventName(e));
    EXPECT_EQ(args.size(), EventArgumentTypes(e).size()) << line;
    for (size_t i = 0; i < args.size(); ++i) {
      EXPECT_EQ(args[i].vt, EventArgumentTypes(e)[i]) << line << " argument " << i;
      platform::Variant v;
      platform::VariantCopy(v.get(), &args[i]);
      line += " " + std::to_string(std::int64_t(NumberOf(v)));
    }
    events.push_back(line);
    if (onFire) onFire(e, args);
  }
  std::vector<std::string> events;
  std::function<void(SpreadEvent, std::span<const platform::VARIANT>)> onFire;
};

}  // namespace spread::test
