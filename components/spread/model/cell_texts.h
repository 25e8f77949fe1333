// A cell's note and formula, which most cells leave empty: both together take a pointer's room
// until either is set, so a large sheet's cells stay small.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace spread {

class CellTexts {
 public:
  enum Which : std::uint8_t { kNote, kFormula };

  CellTexts() = default;
  CellTexts(const CellTexts& o) : texts_(o.texts_ ? std::make_unique<Pair>(*o.texts_) : nullptr) {}
  CellTexts(CellTexts&&) noexcept = default;
  CellTexts& operator=(const CellTexts& o) {
    if (this != &o) texts_ = o.texts_ ? std::make_unique<Pair>(*o.texts_) : nullptr;
    return *this;
  }
  CellTexts& operator=(CellTexts&&) noexcept = default;

  const std::string& get(Which which) const { return texts_ ? (*texts_)[which] : none(); }
  const std::string& note() const { return get(kNote); }
  const std::string& formula() const { return get(kFormula); }
  // An empty text is kept as none; with both empty the pair goes.
  void set(Which which, std::string_view text) {
    if (!texts_) {
      if (text.empty()) return;
      texts_ = std::make_unique<Pair>();
    }
    (*texts_)[which].assign(text);
    if ((*texts_)[kNote].empty() && (*texts_)[kFormula].empty()) texts_.reset();
  }
  void setNote(std::string_view text) { set(kNote, text); }
  void setFormula(std::string_view text) { set(kFormula, text); }
  bool empty() const { return !texts_; }
  void clear() { texts_.reset(); }

 private:
  using Pair = std::array<std::string, 2>;
  static const std::string& none() {
    static const std::string empty;
    return empty;
  }
  std::unique_ptr<Pair> texts_;  // null while both are empty
};

}  // namespace spread
