#include "platform/com/wide_text.h"

#include <algorithm>
#include <array>

#include "platform/system/last_error.h"

namespace platform {

namespace {

// The bytes 0x80..0x9F, where Windows-1252 differs from Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t toWide(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c; }

// The 1252 byte of a unit, or -1 when it has none.
int toAnsi(char16_t w) {
  if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) return w;
  const auto it = std::find(kHighControls.begin(), kHighControls.end(), w);
  return it == kHighControls.end() ? -1 : int(0x80 + (it - kHighControls.begin()));
}

bool knownCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_1252; }

int fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// Input length for the "-1 means NUL-terminated, terminator included" convention.
template <class Char>
size_t inputLength(const Char* text, int count) {
  if (count >= 0) return size_t(count);
  return std::char_traits<Char>::length(text) + 1;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* multiByte, int cbMultiByte, WCHAR* wide, int cchWideChar) {
  if (!knownCodePage(codePage) || !multiByte || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 || (cchWideChar > 0 && !wide))
    return fail(ERROR_INVALID_PARAMETER);
  const size_t n = inputLength(multiByte, cbMultiByte);
  if (cchWideChar == 0) return int(n);
  if (n > size_t(cchWideChar)) return fail(ERROR_INSUFFICIENT_BUFFER);
  for (size_t i = 0; i < n; ++i) wide[i] = toWide(static_cast<unsigned char>(multiByte[i]));
  return int(n);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int cchWideChar, char* multiByte, int cbMultiByte, const char* defaultChar,
                        BOOL* usedDefaultChar) {
  if (!knownCodePage(codePage) || !wide || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 || (cbMultiByte > 0 && !multiByte))
    return fail(ERROR_INVALID_PARAMETER);
  const size_t n = inputLength(wide, cchWideChar);
  if (cbMultiByte > 0 && n > size_t(cbMultiByte)) return fail(ERROR_INSUFFICIENT_BUFFER);
  const char replacement = defaultChar ? *defaultChar : '?';
  bool used = false;
  for (size_t i = 0; i < n; ++i) {
    int c = toAnsi(wide[i]);
    if (c < 0) {
      c = static_cast<unsigned char>(replacement);
      used = true;
    }
    if (cbMultiByte > 0) multiByte[i] = char(c);
  }
  if (usedDefaultChar) *usedDefaultChar = used ? TRUE : FALSE;
  return int(n);
}

std::u16string ansiToWide(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = toWide(static_cast<unsigned char>(text[i]));
  return out;
}

std::string wideToAnsi(std::u16string_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const int c = toAnsi(text[i]);
    out[i] = char(c < 0 ? '?' : c);
  }
  return out;
}

}  // namespace platform
