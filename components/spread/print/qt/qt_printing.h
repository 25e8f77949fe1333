// Printing the grid on a Qt printer: the printer chosen with Print Setup, a cancellable progress
// dialog showing PrintAbortMsg while pages are produced, and, without any printer, a PDF file in
// the documents folder with a note to the user. InstallQtPrinting makes PrintSheet print this way
// (print_sheet.h keeps TAMSIL_PRINT_PDF first) and the platform's printer set-up (a program's
// Print Setup) choose the printer these prints go to.
#pragma once

#include <QPrinter>
#include <string>

class QWidget;

namespace spread {
class AddressedBook;
}

namespace spread::print {

// The printer prints go to; Print Setup changes it.
QPrinter& SharedPrinter();
// The platform's print setup dialog on SharedPrinter; false when cancelled.
bool ShowPrintSetup(QWidget* parent);
// Prints the pages PrintType chooses on printer (paper and orientation from the grid's
// settings), with the progress dialog when showProgress. False, with *error, when cancelled or
// when the printer fails.
[[nodiscard]] bool PrintOn(AddressedBook& book, QPrinter& printer, bool showProgress, std::string* error);
void InstallQtPrinting();

}  // namespace spread::print
