// Pushes onto and pops off the calling thread's value stack.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/heap/heap.h"
#include "runtime/value/decimal.h"
#include "runtime/value/value_stack.h"

namespace tamsil {

void PushText(const char* address, std::int32_t length) {
  StackEntry& e = threadValueStack().Reserve();
  if (!address || length <= 0) return;  // the empty text
  e.address = address;
  e.length = length;
}

void PushZeroText(const char* address) {
  StackEntry& e = threadValueStack().Reserve();
  if (!address) return;
  const std::size_t n = std::strlen(address);
  e.setText({address, std::min<std::size_t>(n, INT32_MAX)});
}

void PushOwnedText(char* heapBlock, std::int32_t length) {
  StackEntry& e = threadValueStack().Reserve();
  if (!heapBlock) return;
  if (length <= 0) {
    Free(heapBlock);
    return;
  }
  e.storage = EntryStorage::Owned;
  e.address = heapBlock;
  e.length = length;
  e.capacity = std::uint32_t(length);
}

void PushExtreme(bool highest) { threadValueStack().Reserve().length = highest ? 1 : -1; }

void PushFill(char fill, std::int32_t length) {
  StackEntry& e = threadValueStack().Reserve();
  e.form = EntryForm::Fill;
  e.fill = fill;
  e.length = std::max(length, 0);
}

void PushLong(std::int32_t value) {
  // The digits are produced from the right; the magnitude is taken as 64 bits so that the most
  // negative value has one.
  char digits[12];
  char* p = digits + sizeof digits;
  std::int64_t magnitude = std::llabs(std::int64_t(value));
  do {
    *--p = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) *--p = '-';
  threadValueStack().Reserve().setText({p, std::size_t(digits + sizeof digits - p)});
}

void PushReal(double value) {
  // 15 significant digits; "%g" drops a trailing decimal point and trailing zeros itself.
  char text[StackEntry::kInlineSize + 8];
  const int n = std::snprintf(text, sizeof text, "%.15g", value == 0 ? 0.0 : value);
  threadValueStack().Reserve().setText({text, std::size_t(std::max(n, 0))});
}

void PushWide(platform::Bstr wide) {
  StackEntry& e = threadValueStack().Reserve();
  e.form = EntryForm::Wide;
  e.storage = EntryStorage::Owned;
  e.wide = wide.release();
}

void PushBorrowedWide(platform::BSTR wide) {
  StackEntry& e = threadValueStack().Reserve();
  e.form = EntryForm::Wide;
  e.wide = wide;
}

void PushVariant(platform::Variant variant) {
  StackEntry& e = threadValueStack().Reserve();
  e.form = EntryForm::Variant;
  e.storage = EntryStorage::Owned;
  e.ownVariant = std::exchange(*variant.get(), platform::VARIANT{});
}

void PushBorrowedVariant(const platform::VARIANT* variant) {
  StackEntry& e = threadValueStack().Reserve();
  if (!variant) return;
  e.form = EntryForm::Variant;
  e.borrowedVariant = variant;
}

namespace {

// The top entry as text.
StackEntry takeText() {
  StackEntry e = threadValueStack().Take();
  AsText(e);
  return e;
}

}  // namespace

void PopToString(char* destination, std::size_t size) {
  const StackEntry e = takeText();
  if (!destination) return;
  if (e.isExtreme()) {
    std::memset(destination, e.length > 0 ? 0xFF : 0x00, size);
    return;
  }
  const std::string_view t = e.text();
  const std::size_t n = std::min(t.size(), size);
  if (n) std::memcpy(destination, t.data(), n);  // an empty text may have no address
  std::memset(destination + n, ' ', size - n);
}

void PopToZeroText(char* destination, std::size_t size) {
  const StackEntry e = takeText();
  if (!destination || size == 0) return;
  if (e.isExtreme() && e.length > 0) {
    std::memset(destination, 0xFF, size - 1);
    destination[size - 1] = '\0';
    return;
  }
  const std::string_view t = e.text();
  const std::size_t n = std::min(t.size(), size - 1);
  if (n) std::memcpy(destination, t.data(), n);  // an empty text may have no address
  destination[n] = '\0';
}

void PopToLengthText(unsigned char* destination, std::size_t size) {
  const StackEntry e = takeText();
  if (!destination || size == 0) return;
  // The count is one byte: a text longer than 255 characters is cut there, whatever the size.
  const std::size_t room = std::min<std::size_t>(size - 1, 255);
  if (e.isExtreme()) {
    std::memset(destination + 1, e.length > 0 ? 0xFF : 0x00, size - 1);
    destination[0] = static_cast<unsigned char>(room);
    return;
  }
  const std::string_view t = e.text();
  const std::size_t n = std::min(t.size(), room);
  if (n) std::memcpy(destination + 1, t.data(), n);  // an empty text may have no address
  destination[0] = static_cast<unsigned char>(n);
}

double PopToReal() {
  const StackEntry e = takeText();
  std::string_view t = e.text();
  t = t.substr(0, t.find_last_not_of(' ') + 1);
  return std::strtod(decimalToText(decimalFromText(t)).c_str(), nullptr);
}

std::int32_t PopToLong() {
  const double r = std::trunc(PopToReal());
  if (std::isnan(r)) return 0;
  if (r <= double(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
  if (r >= double(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(r);
}

void Drop() { threadValueStack().Take(); }

}  // namespace tamsil
