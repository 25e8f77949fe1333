#include "components/spread/print/qt/qt_printing.h"

#include <QApplication>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <filesystem>

#include "components/spread/members/addressed_book.h"
#include "components/spread/print/print_layout.h"
#include "components/spread/print/print_sheet.h"
#include "components/spread/print/qt/qt_page_canvas.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_text.h"

namespace spread::print {
namespace {

class QtPrintHook : public files::PrintHook {
 public:
  bool print(AddressedBook& book, std::string* error) override {
    if (QPrinterInfo::availablePrinters().isEmpty()) {
      // No printer: a PDF in the documents folder, and the user is told where it went.
      const std::string path = files::DefaultPrintPdfPath(book);
      std::error_code ec;
      std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
      if (!files::PrintToPdf(book, path, error)) return false;
      QMessageBox::information(
          QApplication::activeWindow(), platform::qt::toQt(book.settings.printJobName),
          QObject::tr("No printer is set up. The sheet was printed to the PDF file %1.").arg(QString::fromStdString(path)));
      return true;
    }
    return PrintOn(book, SharedPrinter(), true, error);
  }
};

}  // namespace

QPrinter& SharedPrinter() {
  static QPrinter printer(QPrinter::HighResolution);
  return printer;
}

bool ShowPrintSetup(QWidget* parent) {
  QPrintDialog dialog(&SharedPrinter(), parent);
  return dialog.exec() == QDialog::Accepted;
}

bool PrintOn(AddressedBook& book, QPrinter& printer, bool showProgress, std::string* error) {
  const files::PrintLayout layout = files::LayOutPrint(book);
  if (layout.chosen.empty()) {
    if (error) *error = "no page to print";
    return false;
  }
  printer.setDocName(platform::qt::toQt(book.settings.printJobName));
  printer.setFullPage(true);  // the layout places its own margins
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter),
                                    layout.pageWidth > layout.pageHeight ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
  QPainter painter;
  if (!painter.begin(&printer)) {
    if (error) *error = "the printer cannot start";
    return false;
  }
  const double scale = printer.resolution() / 72.0;
  QtPageCanvas canvas(painter, scale);
  std::unique_ptr<QProgressDialog> progress;
  const auto total = int(layout.chosen.size());
  if (showProgress) {
    progress = std::make_unique<QProgressDialog>(platform::qt::toQt(book.settings.printAbortMsg), QObject::tr("Cancel"), 0, total);
    progress->setWindowModality(Qt::ApplicationModal);
    progress->setMinimumDuration(0);
  }
  const std::string date = files::PrintDate(), time = files::PrintTime();
  for (int i = 0; i < total; ++i) {
    if (progress) {
      progress->setValue(i);
      QApplication::processEvents();
      if (progress->wasCanceled()) {
        printer.abort();
        painter.end();
        if (error) *error = "printing cancelled";
        return false;
      }
    }
    if (i > 0) printer.newPage();
    files::DrawPage(book, layout, layout.chosen[size_t(i)], canvas, date, time);
  }
  if (progress) progress->setValue(total);
  if (!painter.end()) {
    if (error) *error = "the printer failed";
    return false;
  }
  return true;
}

void InstallQtPrinting() {
  static QtPrintHook hook;
  files::InstallPrintHook(&hook);
  platform::qt::SetPrintSetupHandler(&ShowPrintSetup);
}

}  // namespace spread::print
