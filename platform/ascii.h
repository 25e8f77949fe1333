// ASCII letters folded and compared without regard to case. Class, resource, menu, key, setting
// and registry names are matched this way: only A-Z and a-z fold, whatever the code page holds
// above 0x7F and whatever the C library's locale says.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace platform::ascii {

constexpr char toUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }
constexpr char toLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }
constexpr char16_t toUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

constexpr bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return toUpper(x) == toUpper(y); });
}

constexpr bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return toUpper(x) == toUpper(y); });
}

// Orders texts as their lower-case forms would be ordered.
constexpr bool lessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return toLower(x) < toLower(y); });
}

inline std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return toLower(c); });
  return out;
}

}  // namespace platform::ascii
