// Printing the addressed sheet: drawing a laid-out page on a canvas, the print to a PDF file,
// and where PrintSheet sends a print.
//
// PrintSheet goes, in this order: to the PDF file named by the environment setting
// TAMSIL_PRINT_PDF when it is set (scripts and headless runs); to the installed print hook (the
// Qt print library: the printer chosen with Print Setup, with a cancellable progress dialog
// showing PrintAbortMsg); else to a PDF file "<job name>.pdf" in the documents folder
// ($XDG_DOCUMENTS_DIR, else ~/Documents), made when missing.
#pragma once

#include <functional>
#include <string>

#include "components/spread/print/page_canvas.h"
#include "components/spread/print/print_layout.h"

namespace spread {
class AddressedBook;
}

namespace spread::files {

// Draws page `index` of layout.pages. date and time are the texts "/d" and "/t" give.
void DrawPage(const AddressedBook& book, const PrintLayout& layout, std::int32_t index, PageCanvas& canvas, const std::string& date,
              const std::string& time);

// Today's date ("MM/DD/YYYY") and the time ("HH:MM") for headers and footers.
std::string PrintDate();
std::string PrintTime();

// Prints the pages PrintType chooses to a PDF file. progress(done, total) is called before each
// page; when it answers false the print stops and nothing is written (*error says cancelled).
[[nodiscard]] bool PrintToPdf(const AddressedBook& book, const std::string& path, std::string* error,
                              const std::function<bool(int, int)>& progress = {});

// Installed by a library that can reach a real printer.
class PrintHook {
 public:
  virtual ~PrintHook() = default;
  [[nodiscard]] virtual bool print(AddressedBook& book, std::string* error) = 0;
};
void InstallPrintHook(PrintHook* hook);  // null removes it
PrintHook* InstalledPrintHook();

// The PDF file a print goes to without a printer.
std::string DefaultPrintPdfPath(const AddressedBook& book);
[[nodiscard]] bool PrintSheet(AddressedBook& book, std::string* error);

}  // namespace spread::files
