#include "app/text_matcher.h"

#include <algorithm>
#include <initializer_list>

namespace kestrel {

namespace {

TextMatcher* gProgramMatcher = nullptr;

// Each row weighs the first positions of a text most; every row adds up to 100.
constexpr std::initializer_list<std::uint8_t> kWeightRows[TextMatcher::kRows] = {
    {100},
    {65, 35},
    {50, 30, 20},
    {40, 30, 20, 10},
    {34, 27, 20, 13, 6},
    {29, 24, 19, 14, 9, 5},
    {25, 21, 17, 14, 11, 8, 4},
    {20, 18, 15, 14, 11, 10, 7, 5},
    {20, 17, 15, 13, 11, 9, 7, 5, 3},
    {19, 17, 15, 13, 11, 9, 7, 5, 3, 1},
};

}  // namespace

TextMatcher::TextMatcher() {
  for (std::size_t row = 0; row < kRows; ++row) std::ranges::copy(kWeightRows[row], weights_[row].begin());
}

void TextMatcher::Init() {
  option1_ = 0;
  option2_ = 0;
  gProgramMatcher = this;
}

void TextMatcher::SetOption(int option, std::uint8_t value) {
  if (option == 1) {
    if (value != option1_) cached_.clear();
    option1_ = value;
  } else if (option == 2) {
    option2_ = value;
  }
}

std::uint8_t TextMatcher::Option(int option) const { return option == 1 ? option1_ : option == 2 ? option2_ : 0; }

std::span<const std::uint8_t> TextMatcher::Weights(std::size_t n) const {
  if (n == 0 || n > kRows) return {};
  return std::span<const std::uint8_t>(weights_[n - 1].data(), n);
}

TextMatcher* programTextMatcher() { return gProgramMatcher; }

}  // namespace kestrel
