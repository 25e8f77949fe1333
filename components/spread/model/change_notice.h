// How a book tells whoever shows it what changed. Every user operation (user_ops.h) tells what it
// changed as it changes it: cell values, the active cell, the selection, the top-left cell, line
// sizes, the active sheet. The member table (every property written and method called from
// outside) and a load from a container's storage tell that anything may have changed (Whole). A
// view subscribes and draws from what it is told; it never looks every so often.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "components/spread/model/sheet.h"

namespace spread {

// What one notice says changed; parts may come together.
struct Change {
  enum Part : std::uint8_t {
    kCells = 1,       // the values of `cells` (of the active sheet)
    kActiveCell = 2,  // the active cell of the active sheet
    kSelection = 4,   // the selection of the active sheet
    kTopLeft = 8,     // the top-left cell of the active sheet
    kSizes = 16,      // row heights or column widths of the active sheet
    kSheet = 32,      // which sheet is active
    kWhole = 64,      // anything at all (automation, a load)
  };
  std::uint8_t parts = kWhole;
  Block cells{};

  bool has(Part p) const { return (parts & (p | kWhole)) != 0; }
  static Change of(Part p) { return {std::uint8_t(p), {}}; }
  static Change ofCell(std::int32_t col, std::int32_t row) { return {kCells, Block{col, row, col, row}}; }
};

class ChangeNotice {
 public:
  using Listener = std::function<void(const Change&)>;

  // Unsubscribes when it goes; the notice must outlive it.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(ChangeNotice& notice, int id) : notice_(&notice), id_(id) {}
    Subscription(Subscription&& other) noexcept : notice_(std::exchange(other.notice_, nullptr)), id_(other.id_) {}
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();

   private:
    ChangeNotice* notice_ = nullptr;
    int id_ = 0;
  };

  ChangeNotice() = default;
  // A book copied or assigned keeps its own listeners and count: they follow the book object,
  // not its contents (a load into a scratch book assigned back still reaches the view).
  ChangeNotice(const ChangeNotice&) {}
  ChangeNotice& operator=(const ChangeNotice&) { return *this; }

  // Listeners are called in the order they subscribed, on the thread that changed the book, while
  // the change may still be under way: they note it and take their look later.
  [[nodiscard]] Subscription subscribe(Listener listener);
  void notify(const Change& change = Change{});
  // Changes told so far.
  std::uint64_t count() const { return count_; }

 private:
  std::map<int, Listener> listeners_;
  int nextId_ = 1;
  std::uint64_t count_ = 0;
};

}  // namespace spread
