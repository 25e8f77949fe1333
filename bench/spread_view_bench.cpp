// The grid's view on a sheet of 100,000 rows by 20 columns (numbers, currency and text in every
// cell): opening the view on it (reading the sheet's sizes, first paint), and painting one screen
// after a jump to another place of the sheet, against a plain Qt table view painting the same
// texts from a bare table model. Milliseconds per screen are the figure that matters (goal: well
// under 16 ms, one frame).
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <cstdlib>
#include <random>

#include "components/spread/view/spread_view.h"

namespace {

constexpr int kRows = 100'000, kCols = 20;

QApplication& app() {
  static QApplication* a = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static char name[] = "spread_view_bench";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    return new QApplication(argc, argv);
  }();
  return *a;
}

// The sheet, filled once: column 1 text, 2 currency, 3 percent, the rest numbers.
spread::Book& bigBook() {
  static spread::Book* book = [] {
    auto* b = new spread::Book;
    spread::Sheet& s = b->activeSheet();
    s.setMaxRows(kRows);
    s.setMaxCols(kCols);
    s.changeStyles(spread::Block{2, spread::kAll, 2, spread::kAll},
                   [](spread::Style& st) { st.cellType = std::int16_t(spread::CellType::Currency); }, {});
    s.changeStyles(spread::Block{3, spread::kAll, 3, spread::kAll},
                   [](spread::Style& st) { st.cellType = std::int16_t(spread::CellType::Percent); }, {});
    s.changeStyles(spread::Block{4, spread::kAll, kCols, spread::kAll},
                   [](spread::Style& st) { st.cellType = std::int16_t(spread::CellType::Number); }, {});
    for (int r = 1; r <= kRows; ++r) {
      s.cellForWrite(1, r).value = "Item " + std::to_string(r);
      for (int c = 2; c <= kCols; ++c) s.cellForWrite(c, r).value = double(r * 7 + c) / 4.0;
    }
    return b;
  }();
  return *book;
}

// The same texts from a bare model, for the anchor.
class PlainModel final : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& = {}) const override { return kRows; }
  int columnCount(const QModelIndex& = {}) const override { return kCols; }
  QVariant data(const QModelIndex& i, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (i.column() == 0) return QString("Item %1").arg(i.row() + 1);
    return QString::number(double((i.row() + 1) * 7 + i.column() + 1) / 4.0, 'f', 2);
  }
};

void paintAfterJumps(benchmark::State& state, QTableView& view) {
  view.resize(1024, 768);
  view.show();
  QCoreApplication::processEvents();
  QImage screen(view.viewport()->size(), QImage::Format_RGB32);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> row(0, kRows - 60);
  for (auto _ : state) {
    view.verticalScrollBar()->setValue(row(random));
    view.viewport()->render(&screen);
  }
}

void BM_GridViewPaintAfterJump(benchmark::State& state) {
  app();
  spread::view::SpreadView view(bigBook());
  paintAfterJumps(state, view);
}
BENCHMARK(BM_GridViewPaintAfterJump)->Unit(benchmark::kMillisecond);

void BM_PlainTableViewPaintAfterJump(benchmark::State& state) {
  app();
  PlainModel model;
  QTableView view;
  view.setModel(&model);
  paintAfterJumps(state, view);
}
BENCHMARK(BM_PlainTableViewPaintAfterJump)->Unit(benchmark::kMillisecond);

void BM_GridViewOpen(benchmark::State& state) {
  app();
  spread::Book& book = bigBook();
  QImage screen(1024, 768, QImage::Format_RGB32);
  for (auto _ : state) {
    spread::view::SpreadView view(book);
    view.resize(1024, 768);
    view.show();
    QCoreApplication::processEvents();
    view.render(&screen);
  }
}
BENCHMARK(BM_GridViewOpen)->Unit(benchmark::kMillisecond);

}  // namespace
