// The grid's members on arbitrary calls: the bytes are read as a run of calls (a member, the kind
// of access, up to four arguments of the wrapper's types) carried out on one book. Every call
// ends with a result code; a failure names the member in its text; nothing crashes, overflows or
// leaks. Sheets are kept small (MaxRows and MaxCols up to 300) so a whole-column write stays
// quick, and members that open files are left out.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"
#include "platform/com/wide_text.h"

namespace {

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool more() const { return at_ < size_; }
  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::int32_t number() {
    std::int32_t v = 0;
    for (int i = 0; i < 4; ++i) v = std::int32_t(std::uint32_t(v) << 8 | byte());
    // Mostly small numbers and the -1 of whole rows and columns, sometimes anything.
    const uint8_t kind = byte() % 4;
    return kind == 0 ? v : kind == 1 ? -1 : v % 40;
  }
  std::string text() {
    const size_t n = byte() % 16;
    std::string t;
    for (size_t i = 0; i < n; ++i) t += char(byte());
    return t;
  }

 private:
  const uint8_t* data_;
  size_t size_, at_ = 0;
};

platform::VARIANT argument(Reader& in) {
  platform::VARIANT v;
  switch (in.byte() % 5) {
    case 0: v.vt = platform::VT_I2, v.iVal = std::int16_t(in.number()); break;
    case 1: v.vt = platform::VT_I4, v.lVal = in.number(); break;
    case 2: {
      v.vt = platform::VT_R8;
      std::int64_t bits = std::int64_t(in.number()) << 32 | std::uint32_t(in.number());
      std::memcpy(&v.dblVal, &bits, sizeof bits);
      break;
    }
    case 3: v.vt = platform::VT_UI4, v.ulVal = std::uint32_t(in.number()); break;
    default: v.vt = platform::VT_BSTR, v.bstrVal = platform::Bstr(platform::ansiToWide(in.text())).release(); break;
  }
  return v;
}

bool leftOut(std::string_view name, const platform::VARIANT* args, size_t count) {
  if (name == "LoadPicture" || name == "IsExcelFile") return true;
  // Members that read, write or print files would scatter files named by the fuzzer's texts.
  for (const std::string_view prefix : {"Export", "Import", "Load", "Save", "PrintSheet"})
    if (name.starts_with(prefix)) return true;
  if ((name == "MaxRows" || name == "MaxCols" || name == "SheetCount") && count > 0) {
    platform::Variant n;
    return platform::FAILED(platform::VariantChangeType(n.get(), &args[count - 1], 0, platform::VT_I4)) || n->lVal > 300;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spread;
  Reader in(data, size);
  AddressedBook book;
  book.sheet().setMaxRows(20);
  book.sheet().setMaxCols(6);
  const auto members = Members();
  for (int calls = 0; in.more() && calls < 64; ++calls) {
    const MemberInfo& m = members[(size_t(in.byte()) << 8 | in.byte()) % members.size()];
    static constexpr platform::WORD kFlags[] = {platform::DISPATCH_PROPERTYGET, platform::DISPATCH_PROPERTYPUT, platform::DISPATCH_METHOD,
                                                platform::DISPATCH_METHOD | platform::DISPATCH_PROPERTYGET};
    const platform::WORD flags = kFlags[in.byte() % 4];
    platform::VARIANT args[4];
    const size_t count = in.byte() % 5;
    for (size_t i = 0; i < count; ++i) args[i] = argument(in);
    if (!leftOut(m.name, args, count)) {
      platform::Variant result;
      std::string error;
      const platform::HRESULT hr = InvokeMember(book, m, flags, std::span(args, count), &result, &error);
      if (platform::FAILED(hr) && error.find(m.name) == std::string::npos) __builtin_trap();
    }
    for (size_t i = 0; i < count; ++i) platform::VariantClear(&args[i]);
  }
  return 0;
}
