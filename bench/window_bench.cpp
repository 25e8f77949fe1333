// Opening a stored window against a plain Qt window start, in the same run: the demo window built
// from its definition (menu bar, controls, dialog units) and closed again on the qt backend,
// against creating, showing and deleting a bare QWidget with a menu bar and one button.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>
#include <cstdlib>

#include "platform/backend.h"
#include "platform/qt/qt_backend.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/operations.h"

namespace {

// The qt backend on Qt's offscreen platform, made once for the whole run.
void ensureBackend() {
  static const bool ready = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static char name[] = "window_bench";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    std::string error;
    auto b = platform::qt::createBackend(argc, argv, &error);
    if (!b) std::abort();
    platform::installBackend(std::move(b));
    return true;
  }();
  (void)ready;
}

void BM_OpenStoredWindow(benchmark::State& state) {
  ensureBackend();
  tamsil::ThreadContextScope context;
  for (auto _ : state) {
    tamsil::window::Window w("Kestrel24$Kestr001", "P1$WINDOW");
    tamsil::window::OpenWindowOp(w);
    QCoreApplication::processEvents();
    tamsil::window::CloseWindowOp(w);
  }
}
BENCHMARK(BM_OpenStoredWindow);

void BM_PlainQtWindow(benchmark::State& state) {
  ensureBackend();
  for (auto _ : state) {
    auto* w = new QWidget;
    auto* bar = new QMenuBar(w);
    for (const char* m : {"&File", "&Edit", "&Tools", "&Help"}) bar->addMenu(QString::fromLatin1(m))->addAction("Item");
    new QPushButton(QStringLiteral("Close"), w);
    w->resize(804, 582);
    w->show();
    QCoreApplication::processEvents();
    delete w;
  }
}
BENCHMARK(BM_PlainQtWindow);

}  // namespace
