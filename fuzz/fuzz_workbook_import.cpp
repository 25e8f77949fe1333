// Workbook import on arbitrary bytes: a file starting like a zip goes through the .xlsx reader, one
// starting like a compound file through the .xls reader (in its child process), anything else is
// refused. Whatever is read must go into a grid without fault, and a refusal leaves it alone.
// Each sheet read is also written as text straight from its imported cells, which must give the
// grid's text of the same sheet.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "components/spread/formats/imported_text.h"
#include "components/spread/formats/workbook_import.h"
#include "components/spread/members/addressed_book.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spread::files;
  static const std::string path = "/tmp/fuzz_workbook_import_" + std::to_string(::getpid());
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  spread::AddressedBook book;
  book.sheet().name = "Untouched";
  ImportedBook imported;
  const ImportStatus status = ReadWorkbook(path, imported);
  const TextLayout csv{"", ",", "\r\n", 0, false};
  std::vector<std::string> direct;  // each sheet's text from its cells; none after one not taken
  for (size_t i = 0; status == ImportStatus::Ok && i < imported.sheets.size() && i < size_t(spread::kSheetLimit); ++i) {
    ImportedSheetText text(imported.sheets[i], csv);
    if (!text.taken()) break;
    text.appendRows(direct.emplace_back(), text.rows());
  }
  if (status == ImportStatus::Ok) ApplyImport(book, imported);
  if (status != ImportStatus::Ok && book.sheet().name != "Untouched") __builtin_trap();
  if (status == ImportStatus::Ok && book.sheetCount() < 1) __builtin_trap();
  for (size_t i = 0; i < direct.size(); ++i) {
    book.setSheetIndex(std::int32_t(i) + 1);
    if (TextOf(book, book.sheet(), spread::Block{spread::kAll, spread::kAll, spread::kAll, spread::kAll}, csv) != direct[i]) __builtin_trap();
  }
  return 0;
}
