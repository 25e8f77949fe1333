// BSTR: the component model's string. A BSTR points at UTF-16 units that are preceded by their
// length in bytes (32 bits) and followed by a NUL unit, so it can be passed where a plain
// NUL-terminated wide string is expected and can still hold embedded NULs. A null BSTR is the
// empty string to every function here.
#pragma once

#include <string_view>
#include <utility>

#include "platform/com/wide_text.h"
#include "platform/types.h"

namespace platform {

using BSTR = OLECHAR*;

// A new BSTR holding the NUL-terminated text; null for a null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` units copied from text (zeros when text is null); null when memory runs
// out or the length does not fit the 32-bit byte count.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// Frees a BSTR made by the functions above; null is ignored.
void SysFreeString(BSTR text);
// Units in the string (embedded NULs included); 0 for null.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// The units of a BSTR as a view; empty for null.
inline std::u16string_view bstrView(BSTR text) { return {text, SysStringLen(text)}; }

// Owns one BSTR and frees it when it goes away.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::u16string_view text);
  static Bstr adopt(BSTR text) {
    Bstr b;
    b.text_ = text;
    return b;
  }
  ~Bstr() { SysFreeString(text_); }
  Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(text_);
      text_ = std::exchange(other.text_, nullptr);
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return text_; }
  BSTR release() { return std::exchange(text_, nullptr); }
  std::u16string_view view() const { return bstrView(text_); }
  UINT length() const { return SysStringLen(text_); }

 private:
  BSTR text_ = nullptr;
};

}  // namespace platform
