// A monkey under a real X server: a fixed-seed random run of clicks, keys, typing, resizes and
// menu choices on every stored window and on the example program. Whatever the person does, the
// program neither crashes nor hangs: it is still there, or it ended with 0, and it ends when its
// windows are closed. KESTREL_MONKEY_ACTIONS sets the number of actions per program (default 150).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/x11/x_session.h"

namespace kestrel::testing {
namespace {

using namespace std::chrono_literals;

struct Target {
  const char* name;
  std::vector<std::string> args;  // empty: the example program
};

int actionCount() {
  const char* n = std::getenv("KESTREL_MONKEY_ACTIONS");
  return n && std::atoi(n) > 0 ? std::atoi(n) : 150;
}

const std::vector<std::string> kKeys = {"Tab",   "shift+Tab", "Return",    "Escape", "space",      "Up",     "Down",   "Left",   "Right",
                                        "Home",  "End",       "BackSpace", "Delete", "ctrl+a",     "ctrl+c", "ctrl+x", "ctrl+v", "ctrl+z",
                                        "alt+f", "alt+e",     "alt+t",     "alt+h",  "shift+Home", "F1",     "Prior",  "Next"};
const std::vector<std::string> kTexts = {"abc", "12", "Hello world", "x", "-3.5", "\u00e9t\u00e9", "a\u0142b", "  "};

// One random action on one of the program's windows, as the arguments of one xdotool call.
std::vector<std::string> randomAction(std::mt19937& rng, const std::string& window, const XGeometry& g) {
  auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
  const std::string x = std::to_string(pick(std::max(1, g.width))), y = std::to_string(pick(std::max(1, g.height)));
  switch (pick(10)) {
    case 0:
    case 1:
    case 2: return {"mousemove", "--window", window, x, y, "click", "1"};
    case 3: return {"mousemove", "--window", window, x, y, "click", "3"};
    case 4: return {"mousemove", "--window", window, x, y, "mousedown", "1", "mousemove", "--window", window, y, x, "mouseup", "1"};
    case 5:
    case 6: return {"mousemove", "--window", window, x, y, "key", kKeys[size_t(pick(int(kKeys.size())))]};
    case 7: return {"mousemove", "--window", window, x, y, "type", "--delay", "5", kTexts[size_t(pick(int(kTexts.size())))]};
    case 8: return {"windowsize", window, std::to_string(60 + pick(800)), std::to_string(40 + pick(600))};
    default:
      return {"mousemove", "--window", window, "30", "8", "key", "alt+" + std::string(1, char('a' + pick(26))), "key", "Down", "key", "Return"};
  }
}

std::string joined(const std::vector<std::string>& words) {
  std::ostringstream s;
  for (const std::string& w : words) s << w << ' ';
  return s.str();
}

std::vector<std::string> windowsOf(XProgram& p) {
  std::vector<std::string> out;
  std::istringstream in(xdo({"search", "--onlyvisible", "--pid", std::to_string(p.pid()), "--name", ".*"}));
  for (std::string id; std::getline(in, id);)
    if (!id.empty()) out.push_back(id);
  return out;
}

class RealXMonkeyTest : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    if (!XServer::shared().available()) GTEST_SKIP() << XServer::shared().why();
  }
  static std::unique_ptr<XProgram> start(const Target& t) {
    return t.args.empty() ? std::make_unique<XProgram>(EXAMPLE_PROGRAM, std::vector<std::string>{})
                          : std::make_unique<XProgram>(TAMSIL_TOOL_PATH, t.args);
  }
};

TEST_P(RealXMonkeyTest, NeitherCrashesNorHangs) {
  const Target& t = GetParam();
  std::mt19937 rng(std::hash<std::string>{}(t.name) & 0xFFFF);
  std::vector<std::string> done;  // the actions so far, to repeat a failure by hand
  auto history = [&] {
    std::string h;
    for (size_t i = done.size() > 15 ? done.size() - 15 : 0; i < done.size(); ++i) h += "  xdotool " + done[i] + "\n";
    return h;
  };
  auto p = start(t);
  for (int i = 0, restarts = 0; i < actionCount(); ++i) {
    std::vector<std::string> windows = windowsOf(*p);
    if (windows.empty()) {
      settle(100ms);
      if (p->running()) windows = windowsOf(*p);
    }
    if (windows.empty()) {
      // The person closed the program through its own commands: it must have ended cleanly.
      const Ending e = p->wait(5s);
      ASSERT_TRUE(!e.timedOut && e.signal == 0 && e.exitCode == 0) << e.describe() << "after\n" << history();
      ASSERT_LT(++restarts, 50);
      p = start(t);
      p->window(".*");
      continue;
    }
    const std::string w = windows[size_t(std::uniform_int_distribution<int>(0, int(windows.size()) - 1)(rng))];
    const std::vector<std::string> action = randomAction(rng, w, geometryOf(w));
    done.push_back(joined(action));
    xdo(action);
    settle(20ms);
  }
  // Closing every window the program shows ends it, whatever state the run left it in.
  for (int round = 0; round < 5 && p->running(); ++round) {
    for (const std::string& w : windowsOf(*p)) xdo({"windowclose", w});
    settle(500ms);
  }
  const Ending e = p->wait(5s);
  EXPECT_FALSE(e.timedOut) << "did not end when its windows were closed\n" << e.describe() << "after\n" << history();
  EXPECT_EQ(e.signal, 0) << e.describe() << "after\n" << history();
}

INSTANTIATE_TEST_SUITE_P(Windows, RealXMonkeyTest,
                         ::testing::Values(Target{"Example", {}}, Target{"Demo", {"show", "Kestrel24$Kestr001", "P1$WINDOW"}},
                                           Target{"Error", {"show", "FWERROR", "$WINDOW"}}, Target{"EditText", {"show", "FWEIP", "$TXTWINDOW"}},
                                           Target{"Popup", {"show", "FWPOPUP", "$WINDOW"}}, Target{"Query", {"show", "FWQUERY", "$WINDOW"}},
                                           Target{"MultiQuery", {"show", "FWQUERY", "$MULTIWINDOW"}},
                                           Target{"Utility", {"show", "FWUTIL", "P91$SCREEN"}},
                                           Target{"DriverStringBuilder", {"show", "ASCMEON", "P3$BUILDERWINDOW"}}),
                         [](const ::testing::TestParamInfo<Target>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kestrel::testing
