// The demo's sheet fill and the view tests' application.
#include "tests/spread_view/view_test_support.h"

#include <QImage>
#include <QPainter>
#include <filesystem>

#include <unistd.h>

#include "tests/spread/sample_sheet_fill.h"

namespace spread::view::test {

QApplication& App() {
  static int argc = 1;
  static char name[] = "spread_view_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

const std::string& SamplePicturePath() {
  static const std::string path = [] {
    App();
    const auto file = std::filesystem::temp_directory_path() / ("spread_view_cover_" + std::to_string(::getpid()) + ".png");
    QImage image(60, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(0, 30, 60, 10, Qt::blue);
    image.save(QString::fromStdString(file.string()));
    std::atexit(
        [] { std::filesystem::remove(std::filesystem::temp_directory_path() / ("spread_view_cover_" + std::to_string(::getpid()) + ".png")); });
    return file.string();
  }();
  return path;
}

void FillSampleSheet(AddressedBook& book, const std::string& picturePath) { spread::test::FillSampleSheet(book, picturePath); }

}  // namespace spread::view::test
