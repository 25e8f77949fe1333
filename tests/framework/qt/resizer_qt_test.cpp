// A procedure window with a resizer on the qt backend, offscreen: a scripted run resizes the
// window like a user, and the widgets end up where the resizer's computation puts the controls.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QImage>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "framework/window/procedure_window.h"
#include "framework/window/window_resizer.h"
#include "platform/input/script.h"
#include "platform/window/window.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "tests/framework/qt/scripted_qt_fixture.h"
#include "tests/platform/qt/qt_test_support.h"

namespace tamsil::framework {
namespace {

namespace event = window::event;
namespace prop = window::prop;

// One control as the resizer computes it, as the model has it and as its widget shows it.
struct Placement {
  int field;
  ResizeRect computed, model;  // dialog units
  QRect modelPixels, widget;   // pixels in the window's client area
};

// The demo window's layout: the grid keeps its corner and scales, the Close button keeps its
// distance to the right and bottom edges.
class GridWindow : public ProcedureWindow {
 public:
  std::uint8_t Setup() override {
    if (const std::uint8_t r = ProcedureWindow::Setup()) return r;
    win = std::make_unique<window::Window>("FrameworkTest$Windows", "P2$GRID");
    OpenWindow(*win);
    resizer = std::make_unique<WindowResizer>(*win);
    resizer->Attach(StrategyScale);
    resizer->SetStrategy(20, 0x0101, 0);
    AttachResizer(*resizer);
    return SevNone;
  }
  std::uint8_t Teardown() override {
    const std::uint8_t r = ProcedureWindow::Teardown();
    if (r == SevNone && win->handle) window::CloseWindowOp(*win);
    return r;
  }
  std::uint8_t HandleEvent() override {
    // The widgets follow the model once the loop waits: look at them on a timer after the resize.
    if (window::EventCode() == EventResizeNeeded) window::SetWindowTimer(*win, 5);
    if (window::EventCode() == event::Timer) {
      window::SetWindowTimer(*win, 0);
      look();
    }
    return ProcedureWindow::HandleEvent();
  }

  std::unique_ptr<window::Window> win;
  std::unique_ptr<WindowResizer> resizer;
  std::vector<Placement> placements;
  ResizeRect client;

 private:
  void look() {
    client = {0, 0, std::int32_t(window::GetProperty(*win, 0, prop::ClientWidth).number()),
              std::int32_t(window::GetProperty(*win, 0, prop::ClientHeight).number())};
    const ResizeRect original{0, 0, resizer->ORIGWIN.WIDTH, resizer->ORIGWIN.HEIGHT};
    for (const auto& e : *resizer->CONTROLQUEUE) {
      Placement p{e.ID, ComputeResizedRect(original, client, e.POS, {e.POSITIONALSTRATEGY, e.RESIZESTRATEGY}), {}, {}, {}};
      window::DialogRect d;
      window::GetPosition(*win, e.ID, d);
      p.model = {d.x, d.y, d.width, d.height};
      const platform::HWND h = win->control(e.ID)->hwnd;
      platform::RECT r;
      platform::GetWindowRect(h, &r);
      platform::POINT tl{r.left, r.top};
      platform::ScreenToClient(win->handle, &tl);
      p.modelPixels = QRect(tl.x, tl.y, r.width(), r.height());
      if (QWidget* w = platform::qt::testing::widgetOf(h)) p.widget = w->geometry();
      placements.push_back(p);
    }
  }
};

class ResizerOnQt : public kestrel::testing::ScriptedQtFixture {
 protected:
  ResizerOnQt() : ScriptedQtFixture("resizer") {}
};

TEST_F(ResizerOnQt, AUserResizePutsTheWidgetsWhereTheResizerComputesThem) {
  const auto before = dir_ / "before.png", after = dir_ / "after.png";
  script("snapshot " + before.string() + "\nresize 1400 900\nwait 200\nsnapshot " + after.string() + "\n");
  GridWindow pw;
  pw.Execute();

  ASSERT_EQ(pw.placements.size(), 2u);  // the grid and the Close button
  EXPECT_GT(pw.client.WIDTH, pw.resizer->ORIGWIN.WIDTH);
  for (const Placement& p : pw.placements) {
    SCOPED_TRACE(p.field);
    EXPECT_EQ(p.model.XPOS, p.computed.XPOS);
    EXPECT_EQ(p.model.YPOS, p.computed.YPOS);
    EXPECT_EQ(p.model.WIDTH, p.computed.WIDTH);
    EXPECT_EQ(p.model.HEIGHT, p.computed.HEIGHT);
    EXPECT_EQ(p.widget, p.modelPixels);
  }
  const Placement& grid = pw.placements[0];
  EXPECT_EQ(grid.computed.XPOS, 3);  // the corner stays
  EXPECT_EQ(grid.computed.YPOS, 4);
  EXPECT_GT(grid.computed.WIDTH, 528);
  const Placement& close = pw.placements[1];
  EXPECT_EQ(pw.client.WIDTH - close.computed.XPOS, 536 - 487);  // the distance to the right edge
  EXPECT_EQ(pw.client.HEIGHT - close.computed.YPOS, 358 - 341);

  const QImage first(QString::fromStdString(before.string())), second(QString::fromStdString(after.string()));
  ASSERT_FALSE(first.isNull());
  ASSERT_FALSE(second.isNull());
  EXPECT_GT(second.width(), first.width());
  EXPECT_GT(second.height(), first.height());
}

}  // namespace
}  // namespace tamsil::framework
