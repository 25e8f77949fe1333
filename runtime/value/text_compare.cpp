#include "runtime/value/text_compare.h"

#include <algorithm>
#include <utility>

namespace tamsil {

namespace {

// The weights of a text from some position on, digraphs expanded, blanks after its end.
class ExpandedWeights {
 public:
  ExpandedWeights(const LocaleData& locale, std::string_view rest) : l_(locale), rest_(rest) {}

  bool done() const { return pending_ < 0 && i_ == rest_.size(); }

  int next() {
    if (pending_ >= 0) return std::exchange(pending_, -1);
    if (i_ == rest_.size()) return l_.collation[' '];
    const auto c = static_cast<std::uint8_t>(rest_[i_++]);
    for (const Digraph& d : l_.digraphs) {
      if (d.ch != c) continue;
      pending_ = l_.collation[d.second];
      return l_.collation[d.first];
    }
    return l_.collation[c];
  }

 private:
  const LocaleData& l_;
  std::string_view rest_;
  std::size_t i_ = 0;
  int pending_ = -1;
};

}  // namespace

int compareTexts(const LocaleData& l, std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  const std::size_t longest = std::max(a.size(), b.size());
  auto at = [](std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(i < s.size() ? s[i] : ' '); };
  // Equal bytes have equal weights: skip the equal start without looking anything up.
  std::size_t i = std::size_t(std::mismatch(a.begin(), a.begin() + std::ptrdiff_t(common), b.begin()).first - a.begin());
  for (; i < longest; ++i) {
    const std::uint8_t ca = at(a, i), cb = at(b, i);
    if (ca == cb) continue;
    if (!l.digraphs.empty()) {
      ExpandedWeights x(l, a.substr(std::min(i, a.size()))), y(l, b.substr(std::min(i, b.size())));
      while (!x.done() || !y.done())
        if (const int diff = x.next() - y.next(); diff != 0) return diff;
      return 0;
    }
    // Different bytes of equal weight (a collation sequence may give several the same) go on.
    if (const int diff = int(l.collation[ca]) - int(l.collation[cb]); diff != 0) return diff;
  }
  return 0;
}

}  // namespace tamsil
