// TextMatcher: the framework's fuzzy text matcher as far as this program needs it: the table of
// positional weights (row n holds n weights that add up to 100) and its two options. The program
// makes one at start and keeps it for the whole run; nothing in the demo matches texts with it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

class TextMatcher {
 public:
  static constexpr std::size_t kRows = 10;

  TextMatcher();

  // Clears both options and makes this the program's matcher (program-wide reference).
  void Init();
  // Releasing the matcher does nothing; it lives as long as the program.
  void Kill() {}

  // Option 1 decides how texts are compared; changing it empties the cached text, which was
  // prepared under the old setting. Option 2 is a plain flag.
  void SetOption(int option, std::uint8_t value);
  std::uint8_t Option(int option) const;

  // The n weights of row n (1..kRows); empty for any other n.
  std::span<const std::uint8_t> Weights(std::size_t n) const;

  const std::string& cachedText() const { return cached_; }
  void cacheText(std::string text) { cached_ = std::move(text); }

 private:
  std::array<std::array<std::uint8_t, kRows>, kRows> weights_{};
  std::uint8_t option1_ = 0, option2_ = 0;
  std::string cached_;
};

// The matcher the last Init made the program's; null before.
TextMatcher* programTextMatcher();

}  // namespace kestrel
