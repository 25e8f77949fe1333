// The qt backend driven by real X input (Xvfb and xdotool): what a person meets in the first
// seconds with a mouse and a keyboard. Each case starts a program, acts on its real window and
// checks that the program is still alive, did what was asked, and ends cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/x11/x_session.h"

namespace kestrel::testing {
namespace {

using namespace std::chrono_literals;

class RealXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XServer::shared().available()) GTEST_SKIP() << XServer::shared().why();
  }
  // `tamsil show MODULE LABEL`, which prints one line per event the window's loop receives.
  static XProgram show(const std::string& module, const std::string& label) { return XProgram(TAMSIL_TOOL_PATH, {"show", module, label}); }
  // Clicks inside `window` at client position (x, y).
  static void click(const std::string& window, int x, int y, int button = 1) {
    xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    xdo({"click", std::to_string(button)});
    settle();
  }
  static void closeWith(const std::string& window, const std::string& keys) { xdo({"key", "--window", window, keys}); }
};

TEST_F(RealXTest, AClickInAMultiLineTextBoxDoesNotCrash) {
  XProgram p = show("FWEIP", "$TXTWINDOW");
  const std::string w = p.window("Edit Text");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  for (int button : {1, 3}) click(w, 60, 40, button);
  xdo({"mousemove", "--window", w, "30", "30", "mousedown", "1", "mousemove", "--window", w, "120", "60", "mouseup", "1"});
  settle();
  ASSERT_TRUE(p.running()) << p.wait(1s).describe();
  xdo({"key", "Escape"});
  const Ending e = p.wait();
  EXPECT_EQ(e.signal, 0) << e.describe();
}

}  // namespace
}  // namespace kestrel::testing
