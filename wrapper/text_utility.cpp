#include "wrapper/text_utility.h"

namespace kestrel::wrapper {

std::string_view TextUtility::Clip(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

void TextUtility::AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : Clip(text)) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace kestrel::wrapper
