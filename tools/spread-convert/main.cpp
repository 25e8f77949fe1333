// spread-convert [--sheet N] IN OUT: reads IN into a grid and writes it as OUT, each format told
// by the file's extension. In: .xls, .xlsx, .csv, .txt/.tab/.tsv (tab-separated), .kgrid (the
// grid's own file). Out: .xlsx (every sheet), .csv, .txt/.tab/.tsv, .html, .xml, .pdf (printed
// with the grid's print settings), .kgrid. The one-sheet outputs take sheet N (default: the
// first sheet of a workbook or text file, the sheet a .kgrid file was saved addressing).
// Large files show their progress on stderr. Exit status: 0 done, 1 IN could not be read, 2 OUT
// could not be written, 3 bad arguments.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/spread/formats/atomic_write.h"
#include "components/spread/formats/exports.h"
#include "components/spread/formats/grid_file.h"
#include "components/spread/formats/imported_text.h"
#include "components/spread/formats/workbook_import.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/print/print_sheet.h"

namespace {

using namespace spread;
using namespace spread::files;

constexpr std::int32_t kProgressRows = 20'000;  // files with more rows show their progress

std::string Extension(const std::string& path) {
  const size_t dot = path.rfind('.');
  std::string e = dot == std::string::npos || path.find('/', dot) != std::string::npos ? "" : path.substr(dot + 1);
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return e;
}

// A conversion builds the whole book at once, many megabytes of small blocks. The process's heap
// grows in one step and that stretch asks the system for huge pages, so the kernel sets up a few
// large pages instead of thousands of small ones (on systems where huge pages are off, or given
// on request only and refused, nothing changes but the step).
void GrowHeapInHugePages() {
  constexpr std::size_t kStep = std::size_t(64) << 20, kHugePage = std::size_t(2) << 20;
  mallopt(M_TOP_PAD, int(kStep));
  mallopt(M_MMAP_THRESHOLD, int(kStep / 2));      // large buffers come from the same stretch
  void* volatile block = std::malloc(kHugePage);  // volatile: the pair must not be left out
  std::free(block);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  if (end == std::uintptr_t(-1) || end < kStep) return;
  const std::uintptr_t first = (end - kStep + kHugePage - 1) & ~(kHugePage - 1), last = end & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

bool IsTab(const std::string& e) { return e == "txt" || e == "tab" || e == "tsv"; }

TextLayout CsvLayout() { return TextLayout{"", ",", "\r\n", 0, false}; }

bool Read(AddressedBook& book, const std::string& in, std::string& error) {
  const std::string e = Extension(in);
  if (e == "xls" || e == "xlsx") {
    const ImportStatus s = ImportWorkbook(book, in, "");
    error = std::string(ImportStatusText(s));
    return s == ImportStatus::Ok;
  }
  if (e == "kgrid") return LoadGridFile(book, in, &error);
  if (e == "csv" || IsTab(e)) {
    std::vector<std::string> problems;
    const bool ok = LoadText(book, book.sheet(), in, e == "csv" ? CsvLayout() : TextLayout{}, problems, &error);
    for (const std::string& p : problems) std::fprintf(stderr, "spread-convert: %s: %s\n", in.c_str(), p.c_str());
    return ok;
  }
  error = "unknown input format ." + e;
  return false;
}

// Text output a block of rows at a time, so a large sheet shows how far it got: append(text,
// first, last) adds rows first..last of rows.
bool WriteText(const std::string& out, std::int32_t rows, const std::function<void(std::string&, std::int32_t, std::int32_t)>& append,
               std::string& error) {
  const std::string tmp = TempPathBeside(out);
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return error = "cannot create " + tmp, false;
  const bool progress = rows > kProgressRows;
  bool ok = true;
  std::string text;  // one buffer for every part
  for (std::int32_t r = 1; r <= rows && ok; r += kProgressRows) {
    text.clear();
    append(text, r, std::min(r + kProgressRows - 1, rows));
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (progress) std::fprintf(stderr, "\rspread-convert: %d of %d rows", std::min(r + kProgressRows - 1, rows), rows);
  }
  if (progress) std::fprintf(stderr, "\n");
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::remove(tmp.c_str());
    return error = "cannot write " + out, false;
  }
  return CommitTempFile(tmp, out, &error);
}

bool WriteText(const AddressedBook& book, const std::string& out, const TextLayout& layout, std::string& error) {
  const Block all = DataBlock(book.sheet(), Block{kAll, kAll, kAll, kAll});
  return WriteText(
      out, all.row2,
      [&](std::string& text, std::int32_t first, std::int32_t last) {
        AppendTextOf(text, book, book.sheet(), Block{all.col, first, all.col2, last}, layout);
      },
      error);
}

// The layout of a text output, or none for the other outputs.
std::optional<TextLayout> TextOutput(const std::string& out) {
  const std::string e = Extension(out);
  if (e == "csv") return CsvLayout();
  if (IsTab(e)) return TextLayout{};
  return std::nullopt;
}

bool Write(AddressedBook& book, const std::string& out, std::string& error) {
  const std::string e = Extension(out);
  const Block all{kAll, kAll, kAll, kAll};
  if (e == "xlsx") return ExportXlsx(book, out, 0, "", 0, &error);
  if (const auto layout = TextOutput(out)) return WriteText(book, out, *layout, error);
  if (e == "html" || e == "htm") return ExportHtml(book, book.sheet(), all, out, false, &error);
  if (e == "xml") return ExportXml(book, book.sheet(), all, out, "", "", 0, &error);
  if (e == "kgrid") return SaveGridFile(book, out, false, &error);
  if (e == "pdf") {
    const bool progress = book.sheet().dataRowCount() > kProgressRows;
    const bool ok = PrintToPdf(book, out, &error, [&](int done, int total) {
      if (progress) std::fprintf(stderr, "\rspread-convert: page %d of %d", done + 1, total);
      return true;
    });
    if (progress) std::fprintf(stderr, "\n");
    return ok;
  }
  error = "unknown output format ." + e;
  return false;
}

// A workbook written as text: the chosen sheet goes from the imported cells straight to the text
// when it can (ImportedSheetText), else through the book as any other conversion. The exit status
// as main's.
int WorkbookToText(AddressedBook& book, const std::string& in, const std::string& out, std::int32_t sheet, const TextLayout& layout) {
  ImportedBook imported;
  const ImportStatus status = ReadWorkbook(in, imported);
  if (status != ImportStatus::Ok) {
    std::fprintf(stderr, "spread-convert: %s: %s\n", in.c_str(), std::string(ImportStatusText(status)).c_str());
    return 1;
  }
  // The sheets the book would have: at least one, at most kSheetLimit.
  const auto count = std::int32_t(std::clamp<std::size_t>(imported.sheets.size(), 1, std::size_t(kSheetLimit)));
  if (sheet != 0 && (sheet < 1 || sheet > count)) {
    std::fprintf(stderr, "spread-convert: %s has no sheet %d\n", in.c_str(), sheet);
    return 3;
  }
  const std::int32_t index = sheet == 0 ? 1 : sheet;
  std::optional<ImportedSheetText> direct;
  if (std::size_t(index) <= imported.sheets.size()) direct.emplace(imported.sheets[std::size_t(index - 1)], layout);
  std::string error;
  bool written = false;
  if (direct && direct->taken()) {
    written = WriteText(
        out, direct->rows(), [&](std::string& part, std::int32_t, std::int32_t last) { direct->appendRows(part, last); }, error);
  } else {
    ApplyImport(book, imported);
    book.setSheetIndex(index);
    written = WriteText(book, out, layout, error);
  }
  if (!written) {
    std::fprintf(stderr, "spread-convert: %s: %s\n", out.c_str(), error.c_str());
    return 2;
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: spread-convert [--sheet N] IN OUT\n"
               "  IN:  .xls .xlsx .csv .txt .tab .tsv .kgrid\n"
               "  OUT: .xlsx .csv .txt .tab .tsv .html .xml .pdf .kgrid\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::int32_t sheet = 0;  // as read
  if (args.size() == 4 && args[0] == "--sheet") {
    sheet = std::atoi(args[1].c_str());
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 2) return Usage();
  GrowHeapInHugePages();
  // The book lives as long as the process: freeing a large sheet cell by cell would take a good
  // part of a conversion, and the system takes the memory back at once when the process ends.
  static AddressedBook& book = *new AddressedBook;
  std::string error;
  const std::string inFormat = Extension(args[0]);
  if (const auto layout = TextOutput(args[1]); layout && (inFormat == "xls" || inFormat == "xlsx"))
    return WorkbookToText(book, args[0], args[1], sheet, *layout);
  if (!Read(book, args[0], error)) {
    std::fprintf(stderr, "spread-convert: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  if (sheet != 0 && !book.setSheetIndex(sheet)) {
    std::fprintf(stderr, "spread-convert: %s has no sheet %d\n", args[0].c_str(), sheet);
    return 3;
  }
  if (!Write(book, args[1], error)) {
    std::fprintf(stderr, "spread-convert: %s: %s\n", args[1].c_str(), error.c_str());
    return 2;
  }
  return 0;
}
