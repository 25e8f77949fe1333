// The grid on Qt: printing through a QPrinter (here writing PDF, read back with poppler) and cut,
// copy and paste through the platform clipboard, and the platform's printer set-up on the grid's
// printer.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "components/spread/clipboard/qt/qt_clipboard.h"
#include "components/spread/members/addressed_book.h"
#include "components/spread/print/print_layout.h"
#include "components/spread/print/qt/qt_printing.h"
#include "platform/qt/qt_dialogs.h"

namespace spread::print {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "spread_print_tests";
  static char* argv[] = {name, nullptr};
  static const bool offscreen = (qputenv("QT_QPA_PLATFORM", "offscreen"), true);
  static QApplication app(argc, argv);
  (void)offscreen;
  return app;
}

std::string RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[4096];
  while (pipe && fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
  return out;
}

void Fill(AddressedBook& book, std::int32_t rows) {
  for (std::int32_t r = 1; r <= rows; ++r)
    for (std::int32_t c = 1; c <= 3; ++c)
      ASSERT_TRUE(book.writeText(book.sheet(), Block{c, r, c, r}, "c" + std::to_string(c) + "r" + std::to_string(r), nullptr));
}

TEST(QtPrinting, PrinterPagesMatchThePageCountAndCarryTheTexts) {
  App();
  AddressedBook book;
  Fill(book, 500);
  book.settings.printHeader = "/fb1H E A D E R/fb0";
  book.settings.printFooter = "F O O T E R /p";
  book.settings.printJobName = "Grid";
  const std::string path = (std::filesystem::temp_directory_path() / ("spread_print_" + std::to_string(::getpid()) + ".pdf")).string();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(path));
  std::string error;
  ASSERT_TRUE(PrintOn(book, printer, false, &error)) << error;
  const std::string info = RunCommand("pdfinfo " + path);
  const size_t at = info.find("Pages:");
  ASSERT_NE(at, std::string::npos) << info;
  EXPECT_EQ(std::atoi(info.c_str() + at + 6), std::int32_t(files::LayOutPrint(book).pages.size()));
  const std::string text = RunCommand("pdftotext -raw " + path + " -");
  for (const char* expected : {"H E A D E R", "F O O T E R 1", "c1r1", "c3r500"}) EXPECT_NE(text.find(expected), std::string::npos) << expected;
  std::filesystem::remove(path);
}

TEST(QtClipboard, CopyPasteAndCutTheSelection) {
  App();
  AddressedBook book;
  Fill(book, 3);
  book.activeSheet().selection = {Block{1, 1, 2, 2}};
  CopySelection(book);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), "c1r1\tc2r1\r\nc1r2\tc2r2\r\n");
  EXPECT_TRUE(data->html().contains("<td>c2r2</td>"));
  book.activeSheet().selection.clear();
  book.activeSheet().activeCol = 3;
  book.activeSheet().activeRow = 5;
  EXPECT_EQ(PasteClipboard(book), 0);
  EXPECT_EQ(book.cellText(book.sheet(), 3, 5), "c1r1");
  EXPECT_EQ(book.cellText(book.sheet(), 4, 6), "c2r2");
  book.activeSheet().selection = {Block{1, 3, 3, 3}};
  CutSelection(book);
  EXPECT_EQ(book.cellText(book.sheet(), 2, 3), "");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "c1r3\tc2r3\tc3r3\r\n");
}

// The platform's printer set-up (a program's Print Setup) shows the grid's printer dialog once the
// grid's printing is installed, so the printer chosen there is the one the grid prints on. In a
// process of its own: a test process that ends with the printer support loaded by a dialog and
// its application a static object crashes in Qt's own clean-up.
bool PrintSetupShowsTheGridsPrinter() {
  App();
  InstallQtPrinting();
  QString shown;
  bool sharedPrinter = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* dialog = qobject_cast<QPrintDialog*>(modal);
    shown = modal ? QString::fromLatin1(modal->metaObject()->className()) : QString("nothing");
    sharedPrinter = dialog && dialog->printer() == &SharedPrinter();
    if (modal) modal->close();
  });
  const bool accepted = platform::qt::runPrintSetup(nullptr);
  std::fprintf(stderr, "shown %s, shared printer %d, accepted %d\n", shown.toStdString().c_str(), int(sharedPrinter), int(accepted));
  return !accepted && shown == "QPrintDialog" && sharedPrinter;
}

TEST(QtPrintingDeathTest, ThePlatformsPrinterSetUpChoosesTheGridsPrinter) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::_Exit(PrintSetupShowsTheGridsPrinter() ? 0 : 1), ::testing::ExitedWithCode(0), "shown QPrintDialog, shared printer 1");
}

}  // namespace
}  // namespace spread::print
