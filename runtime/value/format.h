// FORMAT: lays a value out by a compiled picture. The result is exactly the picture's width
// (month-name positions that the name does not fill are dropped and blanks pad the end); a bad
// picture gives empty text. Results live in a fixed buffer, so formatting never allocates.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/value/decimal.h"
#include "runtime/value/picture.h"

namespace tamsil {

class FormattedText {
 public:
  std::string_view view() const { return {chars_.data(), size_}; }
  std::string str() const { return std::string(view()); }
  size_t size() const { return size_; }

  // For the formatters: the picture's width of blanks to write into.
  char* reset(size_t width) {
    size_ = width;
    // The whole buffer: a constant size compiles to a few vector stores, far cheaper than a
    // variable-length fill.
    std::memset(chars_.data(), ' ', chars_.size());
    return chars_.data();
  }
  // Drops the character at position i, padding the end with a blank.
  void drop(size_t i) {
    for (size_t k = i; k + 1 < size_; ++k) chars_[k] = chars_[k + 1];
    chars_[size_ - 1] = ' ';
  }

 private:
  std::array<char, kMaxPositions> chars_;
  size_t size_ = 0;
};

// Reads the value as the picture's value kind wants it: text as is for @S and @K; for @N and
// @P the exact digits of the decimal number the text starts with (no number reads as 0); for
// @D, @T and @E the number through a double and 15 significant digits (a day or time number
// for dates and times, its whole part).
FormattedText format(std::string_view value, const CompiledPicture& picture);

// A number: 15 significant digits. Under a text picture it is written like the value stack
// writes reals.
FormattedText format(double value, const CompiledPicture& picture);

// A decimal value keeping every digit (numeric pictures); for dates and times its whole part.
FormattedText format(const DecimalDigits& value, const CompiledPicture& picture);

}  // namespace tamsil
