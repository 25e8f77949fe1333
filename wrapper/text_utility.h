// TextUtility: the wrapper's text helper object, and the two text rules every text the wrapper
// sends follows: trailing blanks are cut, and a text argument of a call text goes between double
// quotes with each inner double quote doubled, which the bridge reads back as one quote, so a
// file name holding a quote stays one argument.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::wrapper {

// The wrapper creates one in Init and destroys it in Kill; it holds nothing.
class TextUtility {
 public:
  // The text without its trailing blanks (spaces).
  static std::string_view Clip(std::string_view text);
  // Appends the clipped text as a quoted call-text argument.
  static void AppendQuoted(std::string& out, std::string_view text);
};

}  // namespace kestrel::wrapper
