#include "components/spread/formats/text_codec.h"

#include <cstdint>

#include "platform/com/wide_text.h"

namespace spread::files {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// The next code point of a UTF-8 text; U+FFFD for a broken sequence (one byte consumed).
char32_t NextUtf8(std::string_view s, size_t& i) {
  const auto b = std::uint8_t(s[i++]);
  if (b < 0x80) return b;
  const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
  if (extra < 0 || i + size_t(extra) > s.size()) return 0xFFFD;
  char32_t c = b & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    const auto n = std::uint8_t(s[i + size_t(k)]);
    if ((n & 0xC0) != 0x80) return 0xFFFD;
    c = c << 6 | (n & 0x3F);
  }
  i += size_t(extra);
  return c;
}

}  // namespace

namespace {

// ASCII is the same bytes in every encoding here.
bool IsAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  std::string out;
  out.reserve(ansi.size());
  for (const char16_t u : platform::ansiToWide(ansi)) AppendUtf8(out, u);
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::u16string wide;
  wide.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = NextUtf8(utf8, i);
    wide += c > 0xFFFF ? u'?' : char16_t(c);
  }
  return platform::wideToAnsi(wide);
}

std::string AnsiToUtf16File(std::string_view ansi) {
  std::string out = "\xFF\xFE";
  for (const char16_t u : platform::ansiToWide(ansi)) {
    out += char(u & 0xFF);
    out += char(u >> 8);
  }
  return out;
}

std::string FileTextToAnsi(std::string_view bytes) {
  const auto unit = [&](size_t i, bool little) {
    return char16_t(little ? std::uint8_t(bytes[i]) | std::uint8_t(bytes[i + 1]) << 8
                           : std::uint8_t(bytes[i]) << 8 | std::uint8_t(bytes[i + 1]));
  };
  if (bytes.size() >= 2 && (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))) {
    const bool little = bytes[0] == '\xFF';
    std::u16string wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) wide += unit(i, little);
    return platform::wideToAnsi(wide);
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) return Utf8ToAnsi(bytes.substr(3));
  return std::string(bytes);
}

}  // namespace spread::files
