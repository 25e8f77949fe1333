// The anchor of the Kestrel24 benchmark: a bare Qt program that opens a window holding a table of
// 13 rows by 2 columns of texts, shows it until its cells are painted, and exits. (Quitting from a
// zero timer right after show() would end before the first paint, leaving out the drawing that
// any program showing a window does.)
#include <QApplication>
#include <QEvent>
#include <QTableWidget>
#include <QTimer>

namespace {

// Quits once the table's cells have been painted.
class QuitAfterPaint final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTableWidget table(13, 2);
  for (int row = 0; row < 13; ++row)
    for (int col = 0; col < 2; ++col) table.setItem(row, col, new QTableWidgetItem(QString("Cell %1,%2").arg(row + 1).arg(col + 1)));
  table.resize(940, 620);
  QuitAfterPaint quit;
  table.viewport()->installEventFilter(&quit);
  table.show();
  QTimer::singleShot(10000, &app, &QApplication::quit);  // never hangs, painted or not
  return app.exec();
}
