// The key navigator: which alert keys each kind of control gets, what arming gives the demo
// window's controls (excluded controls and tab-stop pairs too), and the moves Enter, the arrows,
// Tab and Shift+Tab make on the running window.
#include <gtest/gtest.h>

#include "app/key_navigator.h"
#include "platform/input/script.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/window_object.h"
#include "tests/app/demo_test.h"

namespace kestrel::testing {
namespace {

namespace win = tamsil::window;

struct AlertCase {
  const char* name;
  int type;
  std::uint8_t flag;
  bool single;
  std::vector<std::uint32_t> keys;
};
void PrintTo(const AlertCase& c, std::ostream* os) { *os << c.name; }

class AlertKeysTest : public ::testing::TestWithParam<AlertCase> {};

TEST_P(AlertKeysTest, EachKindGetsItsKeys) {
  const AlertCase& c = GetParam();
  EXPECT_EQ(AlertKeysFor(c.type, c.flag, c.single), c.keys);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AlertKeysTest,
                         ::testing::Values(AlertCase{"Entry", 8, 0, false, {KeyDown, KeyEnter, KeyUp}},
                                           AlertCase{"Button", 9, 0, false, {KeyUp, KeyDown, KeyRight, KeyLeft}},
                                           AlertCase{"Check", 12, 1, false, {KeyEnter, KeyUp, KeyDown, KeyRight, KeyLeft}},
                                           AlertCase{"ListArmedWithZero", 14, 0, false, {KeyEnter, KeyRight, KeyLeft}},
                                           AlertCase{"ListArmedWithOne", 14, 1, false, {KeyEnter}},
                                           AlertCase{"ListVariant", 33, 0, false, {KeyEnter, KeyRight, KeyLeft}},
                                           AlertCase{"Fifteen", 15, 0, false, {KeyEnter}}, AlertCase{"Spin", 16, 0, false, {KeyEnter}},
                                           AlertCase{"DropVariant", 34, 0, false, {KeyEnter}},
                                           AlertCase{"MultiLineText", 17, 0, false, {KeyEnter}},
                                           AlertCase{"SingleLineText", 17, 0, true, {KeyEnter, KeyDown, KeyUp}},
                                           AlertCase{"TextVariantSingle", 40, 0, true, {KeyEnter, KeyDown, KeyUp}},
                                           AlertCase{"Radio", 21, 0, false, {KeyEnter}}, AlertCase{"OleControl", 0x20, 0, false, {}},
                                           AlertCase{"Prompt", 10, 0, false, {}}),
                         [](const auto& p) { return std::string(p.param.name); });

class KeyNavigatorTest : public DemoTest {};

std::vector<std::uint32_t> keysOf(DemoProcedureState& s, int field) { return s.window->control(field)->alertKeys; }

TEST_F(KeyNavigatorTest, TheDemoWindowArmsTheCloseButtonWithTheArrowsAndTheGridWithNothing) {
  std::vector<std::uint32_t> close, spread;
  runDemo("menu File > Exit\n", [&](DemoProcedureState& s) {
    close = keysOf(s, FieldClose);
    spread = keysOf(s, FieldSpread);
    EXPECT_EQ(s.Navigator.INITED, 1);
  });
  EXPECT_EQ(close, (std::vector<std::uint32_t>{KeyUp, KeyDown, KeyRight, KeyLeft}));
  EXPECT_TRUE(spread.empty());
}

TEST_F(KeyNavigatorTest, ExcludedControlsGetNoKeysButTabStopPairsStillApply) {
  std::vector<std::uint32_t> close, spread;
  runDemo("menu File > Exit\n", [&](DemoProcedureState& s) {
    for (int field : {FieldClose, FieldSpread}) s.window->control(field)->alertKeys.clear();
    KeyNavigator n;
    n.Init();
    n.EXCLUDEDCONTROL->push_back(FieldClose);
    n.NEXTTABSTOPCONTROLQ->push_back({FieldClose, FieldSpread});
    n.Arm(*s.window, 0);
    n.Arm(*s.window, 0);  // arming twice adds nothing twice
    close = keysOf(s, FieldClose);
    spread = keysOf(s, FieldSpread);
    n.Kill();
  });
  EXPECT_EQ(close, (std::vector<std::uint32_t>{KeyTab}));
  EXPECT_EQ(spread, (std::vector<std::uint32_t>{KeyShiftTab}));
}

struct MoveCase {
  const char* name;
  const char* script;                            // after the window opened (#ID: field + 0x4000)
  std::vector<std::int32_t> excluded;            // EXCLUDEDCONTROL
  std::vector<KeyNavigator::TabStopPair> pairs;  // NEXTTABSTOPCONTROLQ
  std::vector<std::string> seen;                 // what the loop body saw after the focus was put
};
void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

// The navigator on a window of entries, a button and a check box: the loop body hands every
// event to it first, as the demo window's HandleEvent does, and notes what it handled and which
// control each Selected event went to.
class KeyMoveTest : public DemoTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(KeyMoveTest, KeysMoveAsTabAndShiftTabWould) {
  const MoveCase& c = GetParam();
  auto parsed = platform::script::parse(std::string(c.script) + "\nclose\n", "nav.script");
  ASSERT_TRUE(parsed.errors.empty()) << parsed.errors.front();
  platform::script::start(std::move(parsed.lines), "nav.script");
  win::Window w("Kestrel24Test$NavTest", "P1$NAV");
  win::OpenWindowOp(w);
  KeyNavigator navigator;
  navigator.Init();
  navigator.EXCLUDEDCONTROL->assign(c.excluded.begin(), c.excluded.end());
  navigator.NEXTTABSTOPCONTROLQ->assign(c.pairs.begin(), c.pairs.end());
  navigator.Arm(w, 0);
  std::vector<std::string> seen;
  win::Accept([&] {
    const int code = win::EventCode(), field = win::EventField();
    if (navigator.TakeEvent()) {
      seen.push_back("handled " + std::to_string(field));
    } else if (code == win::event::Selected) {
      seen.push_back("selected " + std::to_string(field));
    }
    win::EndEventPass(0);
  });
  if (w.handle) win::CloseWindowOp(w);
  navigator.Kill();
  // The opening selection and the scripted focus come before the first key the navigator takes.
  EXPECT_EQ(from(seen, "handled"), c.seen) << ::testing::PrintToString(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyMoveTest,
    ::testing::Values(MoveCase{"DownInAnEntryActsAsTab", "focus #16385\nkey Down", {}, {}, {"handled 1", "selected 2"}},
                      MoveCase{"UpOnAButtonActsAsShiftTab", "focus #16386\nkey Up", {}, {}, {"handled 2", "selected 1"}},
                      MoveCase{"RightOnACheckBoxActsAsTab", "focus #16387\nkey Right", {}, {}, {"handled 3", "selected 4"}},
                      MoveCase{"EnterInAnEntryActsAsTab", "focus #16385\nkey Enter", {}, {}, {"handled 1", "selected 2"}},
                      MoveCase{"APairOverridesTab", "focus #16385\nkey Enter", {}, {{1, 4}}, {"handled 1", "handled 1", "selected 4"}},
                      MoveCase{"APairOverridesShiftTab", "focus #16388\nkey Up", {}, {{1, 4}}, {"handled 4", "handled 4", "selected 1"}},
                      MoveCase{"AnExcludedControlKeepsItsKeys", "focus #16386\nkey Down", {2}, {}, {}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kestrel::testing
