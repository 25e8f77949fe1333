// The fixture of the wrapper's tests: a temporary profile (the class registry lives there) with
// the grid component registered, the OLE container installed, the demo window open with its OLE
// control (field 20), and a wrapper whose bridge records what it is handed before passing it on
// to the runtime's. What the grid itself received is read from its call log. Message boxes and the
// Stop box are answered by hooks that record them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/window/message_box.h"
#include "tests/runtime/runtime_test.h"
#include "tests/support/call_log_tail.h"
#include "tests/support/temp_profile.h"
#include "wrapper/spread_wrapper.h"

namespace kestrel::wrapper::testing {

inline constexpr std::int16_t kSpreadField = 20;

// The runtime's bridge, with a line for each thing handed to it: "call TEXT", "put TEXT = VALUE",
// "typed TEXT CODE:VALUE" (numbers in decimal, a zero-terminated text as text) and "method TEXT";
// runtime properties by their names ("call Object").
class RecordingBridge : public GridBridge {
 public:
  tamsil::window::PropertyValue PropertyCall(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector) override;
  tamsil::window::PropertyStatus PropertyPut(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector,
                                             std::string_view value) override;
  tamsil::window::PropertyStatus PropertyPutTyped(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector,
                                                  std::uint8_t type, const void* address, std::size_t size) override;
  tamsil::window::PropertyStatus MethodCall(tamsil::window::Window* w, int field, const tamsil::window::Selector& selector) override;

  std::vector<std::string> sent;
};

using kestrel::testing::CallLogTail;

class GridTest : public tamsil::testing::RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Init on the demo window's OLE control; the bridge's record and the call log start afresh.
  void attach();
  std::vector<std::string> received() const { return log_.lines(); }
  void forget() { bridge_.sent.clear(), log_.mark(); }

  // Whether SetUp registers the grid (a test of the missing grid turns it off first).
  bool registerGrid_ = true;
  kestrel::testing::TempProfileDir profile_{"grid_test"};
  std::unique_ptr<tamsil::window::Window> window_ = std::make_unique<tamsil::window::Window>("Kestrel24$Kestr001", "P1$WINDOW");
  tamsil::window::Window& w = *window_;
  RecordingBridge bridge_;
  CallLogTail log_;
  SpreadWrapper spread;

 public:
  static std::vector<tamsil::window::MessageBoxRequest> boxes;  // every message box asked for
  static int stops;                                             // Stop boxes asked for
};

}  // namespace kestrel::wrapper::testing
