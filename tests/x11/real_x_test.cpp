// The qt backend driven by real X input (Xvfb and xdotool): what a person meets in the first
// seconds with a mouse and a keyboard. Each case starts a program, acts on its real window and
// checks that the program is still alive, did what was asked, and ends cleanly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/x11/x_session.h"

namespace kestrel::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kDemoModule = "Kestrel24$Kestr001";
constexpr const char* kDemoTitle = "Ostrevane Spread DEMO";

class RealXTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XServer::shared().available()) GTEST_SKIP() << XServer::shared().why();
  }
  // `tamsil show --values MODULE LABEL`: one line per event the window's loop receives, then what
  // each control holds.
  static XProgram show(const std::string& module, const std::string& label) {
    return XProgram(TAMSIL_TOOL_PATH, {"show", "--values", module, label});
  }
  // Clicks inside `window` at client position (x, y).
  static void click(const std::string& window, int x, int y, int button = 1) {
    xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y)});
    xdo({"click", std::to_string(button)});
    settle();
  }
  // Keys typed with the pointer resting on `window` (with no window manager, the keyboard follows
  // the pointer), one chord at a time with time to take each in.
  static void keys(const std::string& window, const std::vector<std::string>& chords) {
    xdo({"mousemove", "--window", window, "40", "40"});
    for (const std::string& c : chords) {
      xdo({"key", c});
      settle(200ms);
    }
  }
  // Characters without a key of their own are typed through a key that xdotool maps for the
  // moment and maps back afterwards; a slower pace lets the program read each one before that.
  static void type(const std::string& window, const std::string& text, int delayMs = 30) {
    xdo({"mousemove", "--window", window, "40", "40"});
    xdo({"type", "--delay", std::to_string(delayMs), text});
    settle();
  }
};

TEST_F(RealXTest, AClickInAMultiLineTextBoxPutsTheCaretThere) {
  XProgram p = show("FWEIP", "$TXTWINDOW");
  const std::string w = p.window("Edit Text");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  type(w, "abc");
  click(w, 3, 3, 3);  // a right click, and a drag, anywhere in the text
  xdo({"mousemove", "--window", w, "30", "30", "mousedown", "1", "mousemove", "--window", w, "120", "60", "mouseup", "1"});
  settle();
  click(w, 9, 11);  // before the first character
  ASSERT_TRUE(p.running()) << p.wait(1s).describe();
  type(w, "X");
  keys(w, {"Return"});  // an alerted key: the window reports, and shows what it holds
  const Ending e = p.wait(1s);
  EXPECT_NE(e.out.find("value 1000 \"Xabc\""), std::string::npos) << e.describe();
}

// Characters the ANSI code page cannot hold arrive as '?' rather than vanishing; those it holds
// arrive as themselves.
TEST_F(RealXTest, CharactersOutsideTheCodePageArriveAsQuestionMarks) {
  XProgram p = show("FWEIP", "$TXTWINDOW");
  const std::string w = p.window("Edit Text");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  type(w, "a\u0142b\u00e9c", 250);  // l with stroke (not in the code page), e acute (in it)
  keys(w, {"Return"});
  const Ending e = p.wait(1s);
  EXPECT_NE(e.out.find("value 1000 \"a?b\xe9"
                       "c\""),
            std::string::npos)
      << e.describe();
}

// Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z and Ctrl+A act in an entry as they do everywhere else, and a
// selection never outlives the text it was made in.
TEST_F(RealXTest, EntriesTakeTheStandardEditingKeys) {
  XProgram p(EXAMPLE_PROGRAM, {});
  const std::string w = p.window("Platform example");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  type(w, "abc");
  keys(w, {"ctrl+a", "ctrl+x", "ctrl+v", "ctrl+v", "ctrl+z", "ctrl+a", "ctrl+c", "End", "ctrl+v", "shift+Home", "Return"});
  // Enter pressed Add: the entry's text went into the list and the entry was emptied.
  keys(w, {"alt+f", "x"});
  const std::string box = p.window("Close");  // "The list is not empty. Close anyway?"
  ASSERT_FALSE(box.empty()) << p.wait(1s).describe();
  keys(box, {"shift+Tab", "space"});  // from the default No to Yes
  const Ending e = p.wait();
  EXPECT_EQ(e.exitCode, 0) << e.describe();
  EXPECT_EQ(e.err.find("setSelection"), std::string::npos) << e.describe();
  EXPECT_NE(e.out.find("status: Added abcabc\n"), std::string::npos) << e.describe();
}

// A right click on an entry opens no toolkit menu that would edit the widget behind the
// platform's back; typing still reaches the entry afterwards.
TEST_F(RealXTest, ARightClickOnAnEntryOpensNoToolkitMenu) {
  XProgram p(EXAMPLE_PROGRAM, {});
  const std::string w = p.window("Platform example");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  const std::string before = xdo({"search", "--onlyvisible", "--name", ".*"});
  type(w, "abc");
  click(w, 30, 38, 3);  // on the entry, below the menu bar
  const std::string after = xdo({"search", "--onlyvisible", "--name", ".*"});
  EXPECT_EQ(after, before) << "a window opened on the right click";
  keys(w, {"Escape", "Return", "alt+f", "x"});
  const std::string box = p.window("Close");
  ASSERT_FALSE(box.empty()) << p.wait(1s).describe();
  keys(box, {"shift+Tab", "space"});
  const Ending e = p.wait();
  EXPECT_EQ(e.exitCode, 0) << e.describe();
  EXPECT_NE(e.out.find("status: Added abc\n"), std::string::npos) << e.describe();
}

// A window destroyed by another X client (a window manager gone wrong, `xdotool windowclose`)
// ends the program as a close would, instead of leaving it running with no window.
TEST_F(RealXTest, AWindowDestroyedFromOutsideEndsTheProgram) {
  struct Target {
    const char* title;
    XProgram program;
  };
  Target targets[] = {{"Platform example", XProgram(EXAMPLE_PROGRAM, {})}, {"Edit Text", show("FWEIP", "$TXTWINDOW")}};
  for (Target& t : targets) {
    const std::string w = t.program.window(t.title);
    ASSERT_FALSE(w.empty()) << t.program.wait(1s).describe();
    xdo({"windowclose", w});
    const Ending e = t.program.wait(5s);
    EXPECT_FALSE(e.timedOut) << t.title << ": " << e.describe();
    EXPECT_EQ(e.signal, 0) << t.title << ": " << e.describe();
  }
}

// Sizing a window below what it allows leaves the model and the X window the same size, with a
// client area of at least one pixel (the menu bar is 20 pixels above it in the X window).
TEST_F(RealXTest, AWindowSizedBelowItsMinimumKeepsModelAndScreenEqual) {
  const std::string log = "/tmp/kestrel-x11-size-" + std::to_string(::getpid()) + ".log";
  XProgram p(EXAMPLE_PROGRAM, {}, {"EXAMPLE_LOG=" + log});
  const std::string w = p.window("Platform example");
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  xdo({"windowsize", w, "50", "10"});
  settle(700ms);
  const XGeometry g = geometryOf(w);
  std::ifstream in(log);
  unsigned long size = 0;
  for (std::string line; std::getline(in, line);)
    if (const size_t at = line.find(" WM_SIZE 0 "); at != std::string::npos) size = std::stoul(line.substr(at + 11), nullptr, 16);
  std::remove(log.c_str());
  const int clientWidth = int(size & 0xFFFF), clientHeight = int(size >> 16);
  EXPECT_GE(clientHeight, 1);
  EXPECT_EQ(g.width, clientWidth);
  EXPECT_EQ(g.height, clientHeight + 20);
}

// Toolkit dialogs and menus leave objects behind that the toolkit itself must outlive; the
// program must still end with 0 through File > Exit.
struct ExitCase {
  const char* name;
  std::vector<std::string> open;    // chords typed into the main window first
  const char* dialog;               // the title of the window they open, or null
  std::vector<std::string> answer;  // chords typed into that window
};

class RealXExitTest : public RealXTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(RealXExitTest, FileExitEndsWithZero) {
  const ExitCase& c = GetParam();
  XProgram p = show(kDemoModule, "P1$WINDOW");
  const std::string w = p.window(kDemoTitle);
  ASSERT_FALSE(w.empty()) << p.wait(1s).describe();
  keys(w, c.open);
  if (c.dialog) {
    const std::string d = p.window(c.dialog);
    ASSERT_FALSE(d.empty()) << p.wait(1s).describe();
    keys(d, c.answer);
  }
  settle(500ms);
  keys(w, {"alt+f", "x"});
  const Ending e = p.wait();
  EXPECT_FALSE(e.timedOut) << e.describe();
  EXPECT_EQ(e.signal, 0) << e.describe();
  EXPECT_EQ(e.exitCode, 0) << e.describe();
}

INSTANTIATE_TEST_SUITE_P(AfterDialogs, RealXExitTest,
                         ::testing::Values(ExitCase{"Nothing", {}, nullptr, {}}, ExitCase{"HelpContents", {"alt+h", "c"}, "Help", {}},
                                           ExitCase{"PrintSetupCancelled", {"alt+f", "p"}, "Page Setup", {"Escape"}},
                                           ExitCase{"PrintSetupConfirmed", {"alt+f", "p"}, "Page Setup", {"Return"}}),
                         [](const ::testing::TestParamInfo<ExitCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kestrel::testing
