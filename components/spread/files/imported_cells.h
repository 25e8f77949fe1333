// The cells of an imported sheet, packed one after another in one byte string: each cell's kind,
// column and row, then a text's length and bytes (texts and errors) or a number. A large sheet
// costs its texts and a few bytes a cell instead of an object each, and the .xls reader's child
// hands the bytes to the parent as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

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
 public:
  class Iterator {
   public:
    using value_type = ImportedCell;
    using difference_type = std::ptrdiff_t;
    Iterator() = default;
    explicit Iterator(const char* at) : at_(at) {}
    ImportedCell operator*() const;
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(Iterator a, Iterator b) { return a.at_ == b.at_; }

   private:
    const char* at_ = nullptr;
  };

  // Texts are at most 4 GiB less a byte (a reader's parts are far smaller).
  void push_back(const ImportedCell& cell);
  // Room for the cells to come, as a reader expects them: a number cell takes 17 bytes.
  void reserveBytes(std::size_t bytes) { bytes_.reserve(bytes); }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  Iterator begin() const { return Iterator(bytes_.data()); }
  Iterator end() const { return Iterator(bytes_.data() + bytes_.size()); }
  const std::string& bytes() const { return bytes_; }
  // Takes bytes that push_back made (in another process): false, leaving no cells, unless they
  // are count whole cells of known kinds.
  bool adopt(std::string bytes, std::size_t count);

 private:
  std::string bytes_;
  std::size_t count_ = 0;
};

}  // namespace spread::files
