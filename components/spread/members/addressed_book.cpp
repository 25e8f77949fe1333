#include "components/spread/members/addressed_book.h"

#include <algorithm>

namespace spread {

void AddressedBook::reset() {
  Book::reset();
  address_ = Addressing{};
}

bool AddressedBook::setSheetIndex(std::int32_t n) {
  if (n < 1 || n > sheetCount()) return false;
  address_.sheet = n;
  return true;
}

std::int32_t AddressedBook::sheetIndex() const { return std::clamp(address_.sheet, 1, sheetCount()); }

bool AddressedBook::setSheetCount(std::int32_t n) {
  if (!Book::setSheetCount(n)) return false;
  address_.sheet = std::min(address_.sheet, n);
  return true;
}

Block AddressedBook::addressed() const {
  const auto [sheet, row, col, row2, col2] = address_;
  if (!settings.blockMode) return {col, row, col, row};
  Block b{std::min(col, col2), std::min(row, row2), std::max(col, col2), std::max(row, row2)};
  if (col == kAll || col2 == kAll) b.col = b.col2 = kAll;
  if (row == kAll || row2 == kAll) b.row = b.row2 = kAll;
  return b;
}

}  // namespace spread
