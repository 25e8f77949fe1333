// Workbook import on arbitrary bytes: a file starting like a zip goes through the .xlsx reader, one
// starting like a compound file through the .xls reader (in its child process), anything else is
// refused. Whatever is read must go into a grid without fault, and a refusal leaves it alone.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include <unistd.h>

#include "components/spread/files/workbook_import.h"
#include "components/spread/model/book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spread::files;
  static const std::string path = "/tmp/fuzz_workbook_import_" + std::to_string(::getpid());
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  spread::Book book;
  book.sheet().name = "Untouched";
  const ImportStatus status = ImportWorkbook(book, path, "");
  if (status != ImportStatus::Ok && book.sheet().name != "Untouched") __builtin_trap();
  if (status == ImportStatus::Ok && book.sheetCount() < 1) __builtin_trap();
  return 0;
}
