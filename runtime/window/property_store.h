// What a window or control keeps of its runtime properties: the values of the properties that are
// only stored and read back, by number and index, and a window's open batch of deferred moves.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace tamsil::window {

class PropertyStore {
 public:
  std::optional<std::string> get(std::uint16_t number, int index = 0) const {
    const auto it = values_.find({number, index});
    if (it == values_.end()) return std::nullopt;
    return it->second;
  }
  void set(std::uint16_t number, int index, std::string value) { values_[{number, index}] = std::move(value); }

 private:
  std::map<std::pair<std::uint16_t, int>, std::string> values_;
};

// A control rectangle in the window's dialog units.
struct DialogRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const DialogRect&) const = default;
};

// Moves collected while a DeferMove batch is open; they are carried out together when it closes.
struct DeferredMoves {
  int open = 0;                     // negative while a batch is open (minus the expected moves)
  std::map<int, DialogRect> moves;  // by field number, the last move of each control
};

}  // namespace tamsil::window
