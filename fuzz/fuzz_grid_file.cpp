// The grid's own file on arbitrary text: refused with a reason and the grid untouched, or loaded;
// a loaded grid saved again reads back to the same file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "components/spread/formats/grid_file.h"
#include "components/spread/members/addressed_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spread;
  const std::string text(reinterpret_cast<const char*>(data), size);
  AddressedBook book;
  book.sheet().name = "Untouched";
  std::string error;
  if (!files::ReadGridFileText(book, text, &error)) {
    if (error.empty() || book.sheet().name != "Untouched") __builtin_trap();
    return 0;
  }
  const std::string saved = files::GridFileText(book, false);
  AddressedBook again;
  if (!files::ReadGridFileText(again, saved, &error) || files::GridFileText(again, false) != saved) __builtin_trap();
  return 0;
}
