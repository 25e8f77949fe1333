// The grid's stored form on arbitrary bytes: a stream that is refused leaves the book exactly as
// it was; one that is read writes out in a form that reads back to the same book.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "components/spread/book_stream.h"
#include "components/spread/members/addressed_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  spread::AddressedBook book;
  book.settings.appearanceStyle = 2;  // something a refused stream must not undo
  const std::string before = spread::WriteBook(book);
  if (!spread::ReadBook(book, bytes)) {
    if (spread::WriteBook(book) != before) __builtin_trap();
    return 0;
  }
  const std::string written = spread::WriteBook(book);
  spread::AddressedBook again;
  if (!spread::ReadBook(again, written) || spread::WriteBook(again) != written) __builtin_trap();
  return 0;
}
