// A window showing the grid's view on the demo's sample sheet, for tests that drive it with real
// input. Writes to the file named by its argument: "cell ROW COL X Y" (the cell's centre in the
// window) for every cell and "border COL X Y" for the right border of every column header once the
// window is shown, then "ready"; "event NAME ARGS" for every event
// the book raises; and, when F12 is pressed, "value ROW COL TEXT" for every cell, "active COL ROW",
// then "done" and the program ends.
#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "components/spread/control_events.h"
#include "components/spread/view/spread_view.h"
#include "tests/spread_view/view_test_support.h"

namespace {

constexpr std::int16_t kKeyF12 = 123;

class FileSink final : public spread::VariantEventSink {
 public:
  explicit FileSink(std::ofstream& out) : out_(out) {}
  void deliver(spread::SpreadEvent e, std::span<const platform::VARIANT> args) override {
    out_ << "event " << spread::EventName(e);
    for (const auto& a : args) {
      platform::Variant v;
      platform::VariantCopy(v.get(), &a);
      out_ << ' ' << std::int64_t(spread::test::NumberOf(v));
    }
    out_ << std::endl;
    if (e == spread::SpreadEvent::KeyDown && args[0].vt == (platform::VT_I2 | platform::VT_BYREF) &&
        *static_cast<const std::int16_t*>(args[0].byref) == kKeyF12)
      quit = true;
  }
  bool quit = false;

 private:
  std::ofstream& out_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: spread_view_probe OUTPUT\n");
    return 2;
  }
  QApplication app(argc, argv);
  std::ofstream out(argv[1]);
  spread::AddressedBook book;
  spread::view::SpreadView view(book);
  spread::view::test::FillSampleSheet(book, spread::view::test::SamplePicturePath());
  view.refresh();
  view.setWindowTitle("Grid view probe");
  view.resize(view.sizeHint());
  view.show();
  FileSink sink(out);
  book.setEventSink(&sink);
  QTimer::singleShot(200, &view, [&] {
    for (int r = 1; r <= book.activeSheet().maxRows(); ++r)
      for (int c = 1; c <= book.activeSheet().maxCols(); ++c) {
        const QPoint p = view.viewport()->mapTo(&view, view.visualRect(view.model()->index(r - 1, c - 1)).center());
        out << "cell " << r << ' ' << c << ' ' << p.x() << ' ' << p.y() << std::endl;
      }
    // Where each column header's right border is, for a drag that resizes the column.
    QHeaderView* header = view.horizontalHeader();
    for (int c = 1; c <= book.activeSheet().maxCols(); ++c) {
      const int x = header->sectionViewportPosition(c - 1) + header->sectionSize(c - 1) - 1;
      const QPoint p = header->viewport()->mapTo(&view, QPoint(x, header->height() / 2));
      out << "border " << c << ' ' << p.x() << ' ' << p.y() << std::endl;
    }
    out << "ready" << std::endl;
  });
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!sink.quit) return;
    for (int r = 1; r <= book.activeSheet().maxRows(); ++r)
      for (int c = 1; c <= book.activeSheet().maxCols(); ++c)
        out << "value " << r << ' ' << c << ' ' << book.cellValueText(book.sheet(), c, r) << std::endl;
    out << "active " << book.activeSheet().activeCol << ' ' << book.activeSheet().activeRow << std::endl << "done" << std::endl;
    app.quit();
  });
  watch.start(50);
  return app.exec();
}
