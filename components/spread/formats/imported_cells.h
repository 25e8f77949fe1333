// The cells of an imported sheet, packed one after another in byte blocks: each cell's kind,
// column and row, then a text's length and bytes (texts and errors) or a number. A large sheet
// costs its texts and a few bytes a cell instead of an object each. The blocks hold whole cells
// and are filled one after another, each about kBlockBytes: a sheet grows without its bytes ever
// being copied, and the .xls reader's child hands each full block to the parent as it fills (the
// parent then reads it where it lies).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace spread::files {

enum class ImportedKind : std::uint8_t { Text, Number, Date, Time, DateTime, Boolean, Error };

// One cell as a reader makes it and as the packed cells give it back; text points into the
// reader's string or into the packed bytes.
struct ImportedCell {
  std::int32_t col = 1, row = 1;  // from 1
  ImportedKind kind = ImportedKind::Text;
  double number = 0;      // numbers; booleans 0/1; dates and times as days since 30 December 1899
  std::string_view text;  // texts and errors, UTF-8
};

class ImportedCells {
  // A packed cell: kind, column and row, then a number or a text's length and bytes.
  static constexpr std::size_t kHead = 1 + 4 + 4;
  static bool hasText(ImportedKind k) { return k == ImportedKind::Text || k == ImportedKind::Error; }
  template <class T>
  static T load(const char* at) {
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
  }

 public:
  // A block is started when the cell to come would take the last one past this size (a cell
  // larger than a block gets one of its own).
  static constexpr std::size_t kBlockBytes = std::size_t(256) << 10;

  // A block's bytes lie in the block itself, or in memory that keeper keeps (a reader's mapping).
  struct Block {
    std::string owned;
    std::shared_ptr<const void> keeper;
    std::string_view kept;
    std::size_t count = 0;  // cells
    std::string_view bytes() const { return keeper ? kept : std::string_view(owned); }
  };

  class Iterator {
   public:
    using value_type = ImportedCell;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    Iterator(const Block* block, const Block* end) : block_(block), end_(end) { enter(); }
    ImportedCell operator*() const {
      ImportedCell c;
      c.kind = ImportedKind(std::uint8_t(at_[0]));
      c.col = load<std::int32_t>(at_ + 1);
      c.row = load<std::int32_t>(at_ + 5);
      if (hasText(c.kind)) c.text = std::string_view(at_ + kHead + 4, load<std::uint32_t>(at_ + kHead));
      else c.number = load<double>(at_ + kHead);
      return c;
    }
    Iterator& operator++() {
      at_ += kHead + (hasText(ImportedKind(std::uint8_t(at_[0]))) ? 4 + load<std::uint32_t>(at_ + kHead) : sizeof(double));
      if (at_ == block_->bytes().data() + block_->bytes().size()) {
        ++block_;
        enter();
      }
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(Iterator a, Iterator b) { return a.at_ == b.at_; }

   private:
    // Moves to the first cell of this block or a later one; at the end at_ is null.
    void enter();
    const Block* block_ = nullptr;
    const Block* end_ = nullptr;
    const char* at_ = nullptr;
  };

  // Texts are at most 4 GiB less a byte (a reader's parts are far smaller).
  void push_back(const ImportedCell& cell);
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  Iterator begin() const { return Iterator(blocks_.data(), blocks_.data() + blocks_.size()); }
  Iterator end() const { return Iterator(); }
  const std::vector<Block>& blocks() const { return blocks_; }
  // Hands the blocks no more cells go into (all but the last) to pass(block), oldest first, and
  // drops them; pass answers false to stop. The cells left are those of the last block.
  template <class Pass>
  bool passFullBlocks(Pass pass);
  // Calls fn(cell) for each cell in order and leaves none; each block is let go as soon as its
  // cells are done, so what fn makes can take its memory again.
  template <class Fn>
  void drain(Fn fn);
  // Adds bytes that push_back made (in another process) as a block: false, adding nothing,
  // unless they are count whole cells of known kinds. The second form leaves them where they
  // are, kept there by keeper, which must not let them change.
  bool adopt(std::string bytes, std::size_t count);
  bool adopt(std::shared_ptr<const void> keeper, std::string_view bytes, std::size_t count);

 private:
  std::vector<Block> blocks_;
  std::size_t count_ = 0;
};

template <class Pass>
bool ImportedCells::passFullBlocks(Pass pass) {
  if (blocks_.size() < 2) return true;
  bool ok = true;
  for (auto b = blocks_.begin(); ok && b + 1 != blocks_.end(); ++b) ok = pass(*b);
  for (auto b = blocks_.begin(); b + 1 != blocks_.end(); ++b) count_ -= b->count;
  blocks_.erase(blocks_.begin(), blocks_.end() - 1);
  return ok;
}

template <class Fn>
void ImportedCells::drain(Fn fn) {
  for (Block& b : blocks_) {
    for (auto c = Iterator(&b, &b + 1); c != Iterator(); ++c) fn(*c);
    std::string().swap(b.owned);
    b.keeper.reset();
  }
  blocks_.clear();
  count_ = 0;
}

}  // namespace spread::files
