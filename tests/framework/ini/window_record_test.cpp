// A window's place, size and state: what SaveWindow stores for each state of the window, what
// RestoreWindow does with a stored record, and the record's own round trip.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "framework/ini/ini_store.h"
#include "platform/window/window.h"
#include "runtime/window/properties.h"
#include "tests/framework/ini/ini_test.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::framework {
namespace {

namespace win = tamsil::window;
namespace prop = win::prop;

class WindowRecordTest : public tamsil::testing::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    store.Open("Test.INI", StorageKind::IniFile);
    win::OpenWindowOp(w);
  }
  void TearDown() override {
    window_.reset();
    RuntimeTest::TearDown();
  }
  long get(std::uint16_t n) { return win::GetProperty(w, 0, n).number(); }
  void set(std::uint16_t n, long v) { ASSERT_EQ(win::SetProperty(w, 0, n, v), win::PropertyStatus::Ok); }
  std::optional<std::string> stored(const char* name) {
    const std::string v = store.ReadOrUnknown("Main", name);
    return v == kUnknownValue ? std::nullopt : std::optional(v);
  }

  kestrel::testing::TempProfileDir profile_{"window_record_test"};
  IniStore store;
  std::unique_ptr<win::Window> window_ = std::make_unique<win::Window>("RuntimeTest$Main", "P1$WINDOW");
  win::Window& w = *window_;
};

// The entries SaveWindow leaves for one state of the window (nullopt: no entry).
struct SavedCase {
  const char* name;
  bool maximize, minimize, resizable;
  const char *maximizeText, *minimizeText;
  bool position, size;
};

class SaveWindowTest : public WindowRecordTest, public ::testing::WithParamInterface<SavedCase> {};

TEST_P(SaveWindowTest, StoresTheStateAndOnlyTheKnownCoordinates) {
  const SavedCase& c = GetParam();
  // Entries of an earlier save, which an unknown coordinate must remove.
  for (const char* name : {"XPos", "YPos", "Width", "Height"}) ASSERT_TRUE(store.Write("Main", name, 1));
  set(prop::Xpos, 40);
  set(prop::Ypos, 30);
  set(prop::Width, 300);
  set(prop::Height, 200);
  set(prop::Resize, c.resizable);
  if (c.maximize) set(prop::Maximize, 1);
  if (c.minimize) set(prop::Iconize, 1);

  ASSERT_TRUE(store.SaveWindow("Main", w));
  EXPECT_EQ(stored("Maximize"), c.maximizeText);
  EXPECT_EQ(stored("Minimize"), c.minimizeText);
  auto expect = [&](const char* name, bool present, const char* value) {
    EXPECT_EQ(stored(name), present ? std::optional<std::string>(value) : std::nullopt) << name;
  };
  expect("XPos", c.position, "40");
  expect("YPos", c.position, "30");
  expect("Width", c.size, "300");
  expect("Height", c.size, "200");
}

INSTANTIATE_TEST_SUITE_P(States, SaveWindowTest,
                         ::testing::Values(SavedCase{"Normal", false, false, true, "No", "No", true, true},
                                           SavedCase{"Maximized", true, false, true, "Yes", "No", false, false},
                                           SavedCase{"Minimized", false, true, true, "No", "Yes", false, false},
                                           SavedCase{"NotResizable", false, false, false, "No", "No", true, false}),
                         [](const ::testing::TestParamInfo<SavedCase>& p) { return std::string(p.param.name); });

TEST_F(WindowRecordTest, AWindowThatIsNotOpenIsNotSavedOverTheStoredPlace) {
  ASSERT_TRUE(store.Write("Main", "XPos", 77));
  win::CloseWindowOp(w);
  EXPECT_FALSE(store.SaveWindow("Main", w));
  EXPECT_EQ(stored("XPos"), "77");
  EXPECT_EQ(stored("Maximize"), std::nullopt);
}

TEST_F(WindowRecordTest, RestoreMovesAndSizesTheWindowAsStored) {
  for (auto [name, value] :
       {std::pair{"Maximize", "No"}, {"Minimize", "No"}, {"XPos", "40"}, {"YPos", "30"}, {"Width", "300"}, {"Height", "200"}})
    ASSERT_TRUE(store.Write("Main", name, value));
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Xpos), 40);
  EXPECT_EQ(get(prop::Ypos), 30);
  EXPECT_EQ(get(prop::Width), 300);
  EXPECT_EQ(get(prop::Height), 200);
  EXPECT_EQ(get(prop::Maximize), 0);
  EXPECT_EQ(get(prop::Iconize), 0);
}

TEST_F(WindowRecordTest, RestoreLeavesTheSizeOfAWindowThatIsNotResizable) {
  set(prop::Resize, 0);
  const long width = get(prop::Width), height = get(prop::Height);
  for (auto [name, value] : {std::pair{"Maximize", "No"}, {"XPos", "40"}, {"YPos", "30"}, {"Width", "300"}, {"Height", "200"}})
    ASSERT_TRUE(store.Write("Main", name, value));
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Xpos), 40);
  EXPECT_EQ(get(prop::Width), width);
  EXPECT_EQ(get(prop::Height), height);
}

TEST_F(WindowRecordTest, RestoreMaximizesOrMinimizesAndUnmaximizes) {
  const long x = get(prop::Xpos), width = get(prop::Width);
  ASSERT_TRUE(store.Write("Main", "Maximize", "Yes"));
  ASSERT_TRUE(store.Write("Main", "Minimize", "No"));
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Maximize), 1);

  ASSERT_TRUE(store.Write("Main", "Maximize", "No"));
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Maximize), 0);
  EXPECT_EQ(get(prop::Xpos), x) << "no position stored: the window keeps its own";
  EXPECT_EQ(get(prop::Width), width);

  ASSERT_TRUE(store.Write("Main", "Minimize", "Yes"));
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Iconize), 1);
}

TEST_F(WindowRecordTest, WithoutAValidMaximizeEntryTheWindowKeepsItsDesignPlace) {
  const long x = get(prop::Xpos), y = get(prop::Ypos), width = get(prop::Width);
  for (const char* maximize : {"", "yes", "1", "Maybe"}) {
    if (*maximize) {
      ASSERT_TRUE(store.Write("Main", "Maximize", maximize));
    }
    ASSERT_TRUE(store.Write("Main", "XPos", 5));
    ASSERT_TRUE(store.Write("Main", "Width", 100));
    store.RestoreWindow("Main", w);
    EXPECT_EQ(get(prop::Xpos), x) << maximize;
    EXPECT_EQ(get(prop::Ypos), y) << maximize;
    EXPECT_EQ(get(prop::Width), width) << maximize;
  }
}

TEST_F(WindowRecordTest, SavedAndRestoredPlacesAgree) {
  set(prop::Xpos, 21);
  set(prop::Ypos, 13);
  set(prop::Width, 401);
  set(prop::Height, 233);
  ASSERT_TRUE(store.SaveWindow("Main", w));
  set(prop::Xpos, 0);
  set(prop::Width, 200);
  store.RestoreWindow("Main", w);
  EXPECT_EQ(get(prop::Xpos), 21);
  EXPECT_EQ(get(prop::Ypos), 13);
  EXPECT_EQ(get(prop::Width), 401);
  EXPECT_EQ(get(prop::Height), 233);
}

// The record alone, without a window.
struct RecordCase {
  const char* name;
  WindowRecord record;
};

class RecordRoundTripTest : public ::testing::TestWithParam<RecordCase> {
 protected:
  kestrel::testing::TempProfileDir profile_{"window_record_test"};
};

TEST_P(RecordRoundTripTest, LoadGivesBackWhatStoreWrote) {
  IniStore store;
  store.Open("Test.INI", StorageKind::IniFile);
  const WindowRecord& in = GetParam().record;
  ASSERT_TRUE(store.StoreWindowRecord("Main", in));
  WindowRecord out;
  out.X = out.Y = out.W = out.H = 1;
  store.LoadWindowRecord("Main", out);
  EXPECT_EQ(out.GOT, 1);
  EXPECT_EQ(out.MAXIMIZED, in.MAXIMIZED);
  EXPECT_EQ(out.MINIMIZED, in.MINIMIZED);
  EXPECT_EQ(out.X, in.X);
  EXPECT_EQ(out.Y, in.Y);
  EXPECT_EQ(out.W, in.W);
  EXPECT_EQ(out.H, in.H);
}

constexpr std::int32_t kU = kUnknownCoordinate;
const RecordCase kRecords[] = {
    {"Placed", {10, 20, 300, 200, 0, 0, 0}},  {"NegativeWithoutSize", {-5, -8, kU, kU, 0, 0, 0}},
    {"Maximized", {kU, kU, kU, kU, 1, 0, 0}}, {"Minimized", {kU, kU, kU, kU, 0, 1, 0}},
    {"Smallest", {0, 0, 1, 1, 0, 0, 0}},
};
INSTANTIATE_TEST_SUITE_P(Records, RecordRoundTripTest, ::testing::ValuesIn(kRecords),
                         [](const ::testing::TestParamInfo<RecordCase>& p) { return std::string(p.param.name); });

TEST(WindowRecordAbsentTest, NothingStoredLeavesGotAtZero) {
  kestrel::testing::TempProfileDir profile{"window_record_test"};
  IniStore store;
  store.Open("Test.INI", StorageKind::IniFile);
  WindowRecord record;
  record.GOT = 1;
  store.LoadWindowRecord("Main", record);
  EXPECT_EQ(record.GOT, 0);
}

}  // namespace
}  // namespace tamsil::framework
