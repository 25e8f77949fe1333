// The anchor of the Kestrel24 benchmark: a bare Qt program that opens a window holding a table of
// 13 rows by 2 columns of texts, shows it until it is painted, and exits.
#include <QApplication>
#include <QTableWidget>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTableWidget table(13, 2);
  for (int row = 0; row < 13; ++row)
    for (int col = 0; col < 2; ++col) table.setItem(row, col, new QTableWidgetItem(QString("Cell %1,%2").arg(row + 1).arg(col + 1)));
  table.resize(940, 620);
  table.show();
  QTimer::singleShot(0, &app, &QApplication::quit);
  return app.exec();
}
