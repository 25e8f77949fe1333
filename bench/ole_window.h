// An open window of the demo's definition whose OLE control holds an object created from a
// ProgID: what the benchmarks of the automation bridge send their calls through. The set-up
// function (backend, class registration, container) runs before the window opens.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "runtime/core/thread_context.h"
#include "runtime/window/control_access.h"
#include "runtime/window/operations.h"

namespace bench {

// The demo window's OLE control.
inline constexpr int kOleControl = 20;

struct OleWindow {
  OleWindow(void (*setUp)(), const char* progId) {
    setUp();
    tamsil::window::OpenWindowOp(w);
    if (tamsil::window::PropertyPut(w, kOleControl, 0, tamsil::window::Selector{std::uint32_t(tamsil::window::prop::Create)}, progId) !=
        tamsil::window::PropertyStatus::Ok)
      std::abort();
  }
  ~OleWindow() { tamsil::window::CloseWindowOp(w); }
  OleWindow(const OleWindow&) = delete;
  OleWindow& operator=(const OleWindow&) = delete;

  tamsil::ThreadContextScope context;
  tamsil::window::Window w{"Kestrel24$Kestr001", "P1$WINDOW"};
};

}  // namespace bench
