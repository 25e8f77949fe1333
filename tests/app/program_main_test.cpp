// ProgramMain's order of things: the settings store opened as "Kestrel24.INI", drag-full-windows
// switched off only while the window runs and only when it was on, the store flushed before the
// setting comes back and closed after; the text matcher's table and options; and the setting
// given back after a run that ended abnormally.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "app/drag_full_windows.h"
#include "app/program_errors.h"
#include "app/program_main.h"
#include "app/text_matcher.h"
#include "framework/ini/ini_store.h"
#include "platform/desktop/system.h"
#include "platform/messages.h"
#include "tests/support/temp_profile.h"

namespace kestrel {
namespace {

// Everything the parts were asked, in order, as one log.
std::vector<std::string> gLog;
// What the fake platform answers for the setting, and whether its read fails.
bool gSettingOn = true, gReadFails = false;
tamsil::framework::IniStore* gStore = nullptr;

platform::BOOL fakeSystemParameters(platform::UINT action, platform::UINT value, void* out, platform::UINT flags) {
  if (action == platform::SPI_GETDRAGFULLWINDOWS) {
    gLog.push_back("get");
    if (gReadFails) return platform::FALSE;
    *static_cast<platform::BOOL*>(out) = gSettingOn;
    return platform::TRUE;
  }
  gLog.push_back("set " + std::to_string(value) + " flags " + std::to_string(flags) +
                 (gStore && gStore->SECTORS ? " (store open)" : " (store closed)"));
  gSettingOn = value != 0;
  return platform::TRUE;
}

class RecordingStore : public tamsil::framework::IniStore {
 public:
  void Flush() override { gLog.push_back("flush"); }
};

void fakeMainWindow() { gLog.push_back(std::string("window, setting ") + (gSettingOn ? "on" : "off")); }

struct DragCase {
  const char* name;
  bool on, readFails;
  std::vector<std::string> log;
};
void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class ProgramMainTest : public ::testing::TestWithParam<DragCase> {
 protected:
  void SetUp() override {
    gLog.clear();
    gSettingOn = GetParam().on;
    gReadFails = GetParam().readFails;
    gStore = &store_;
  }
  void TearDown() override { gStore = nullptr; }

  testing::TempProfileDir profile_{"program_main_test"};
  tamsil::framework::ErrorReporter reporter_;
  ReporterErrors errors_{reporter_};
  TextMatcher matcher_;
  RecordingStore store_;
};

TEST_P(ProgramMainTest, TheSettingIsOffExactlyWhileTheWindowRuns) {
  RunProgramMain({errors_, matcher_, store_, fakeSystemParameters, false, fakeMainWindow});
  EXPECT_EQ(gLog, GetParam().log);
  EXPECT_EQ(store_.FILENAME, "Kestrel24.INI");
  EXPECT_EQ(store_.NVTYPE, tamsil::framework::StorageKind::IniFile);
  EXPECT_FALSE(store_.SECTORS.has_value()) << "closed at the end";
  EXPECT_EQ(programTextMatcher(), &matcher_);
  EXPECT_EQ(matcher_.Option(1), 1);
  EXPECT_EQ(matcher_.Option(2), 0);
}

// Set calls carry 3: update the user's profile and broadcast the change.
INSTANTIATE_TEST_SUITE_P(
    Settings, ProgramMainTest,
    ::testing::Values(
        DragCase{"OnAtStart", true, false, {"get", "set 0 flags 3 (store open)", "window, setting off", "flush", "set 1 flags 3 (store open)"}},
        DragCase{"OffAtStart", false, false, {"get", "window, setting off", "flush"}},
        DragCase{"ReadFails", true, true, {"get", "window, setting on", "flush"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(TextMatcherTest, EveryRowOfWeightsHasItsLengthAndAddsUpToAHundred) {
  const TextMatcher m;
  for (std::size_t n = 1; n <= TextMatcher::kRows; ++n) {
    const auto row = m.Weights(n);
    ASSERT_EQ(row.size(), n);
    EXPECT_EQ(std::accumulate(row.begin(), row.end(), 0), 100) << "row " << n;
    EXPECT_TRUE(std::is_sorted(row.rbegin(), row.rend())) << "row " << n << " weighs the first positions most";
  }
  EXPECT_TRUE(m.Weights(0).empty());
  EXPECT_TRUE(m.Weights(TextMatcher::kRows + 1).empty());
  EXPECT_EQ(m.Weights(5)[4], 6);
}

TEST(TextMatcherTest, ChangingOptionOneForgetsTheCachedTextOptionTwoDoesNot) {
  TextMatcher m;
  m.Init();
  m.cacheText("prepared");
  m.SetOption(2, 1);
  EXPECT_EQ(m.cachedText(), "prepared");
  m.SetOption(1, 0);
  EXPECT_EQ(m.cachedText(), "prepared") << "setting the value it has changes nothing";
  m.SetOption(1, 1);
  EXPECT_EQ(m.cachedText(), "");
  m.Init();
  EXPECT_EQ(m.Option(1), 0);
  EXPECT_EQ(m.Option(2), 0);
}

// The real setting, kept in the test's own profile.
bool settingOn() {
  platform::BOOL on = 0;
  platform::SystemParametersInfoA(platform::SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
  return on != 0;
}

void setSetting(bool on) {
  platform::BOOL scratch = 0;
  platform::SystemParametersInfoA(platform::SPI_SETDRAGFULLWINDOWS, on, &scratch, platform::SPIF_UPDATEINIFILE);
}

class AbnormalEndTest : public ::testing::Test {
 protected:
  void SetUp() override { setSetting(true); }
  testing::TempProfileDir profile_{"abnormal_end_test"};
};

struct Ending {
  const char* name;
  void (*end)();
};
void PrintTo(const Ending& c, std::ostream* os) { *os << c.name; }

class AbnormalEndingTest : public AbnormalEndTest, public ::testing::WithParamInterface<Ending> {};

// A child process switches the setting off as the program does and then ends without restoring
// it; the guard gives the setting back and removes its marker.
TEST_P(AbnormalEndingTest, TheSettingComesBack) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    DragFullWindowsSwitch sw(platform::SystemParametersInfoA, true);
    sw.SwitchOff();
    if (settingOn()) _exit(3);
    GetParam().end();
    _exit(4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the child did not switch the setting off";
  EXPECT_TRUE(settingOn());
  EXPECT_FALSE(std::filesystem::exists(dragFullWindowsMarker()));
}

INSTANTIATE_TEST_SUITE_P(Ways, AbnormalEndingTest,
                         ::testing::Values(Ending{"Exit", [] { std::exit(2); }}, Ending{"Terminated", [] { raise(SIGTERM); }},
                                           Ending{"Aborted", [] { std::abort(); }}, Ending{"Interrupted", [] { raise(SIGINT); }}),
                         [](const auto& p) { return std::string(p.param.name); });

// A run killed outright cannot act; its marker names a process that is gone, and the next start
// switches the setting on again.
TEST_F(AbnormalEndTest, TheNextStartRecoversFromAKilledRun) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    DragFullWindowsSwitch sw(platform::SystemParametersInfoA, true);
    sw.SwitchOff();
    raise(SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_FALSE(settingOn());
  ASSERT_TRUE(std::filesystem::exists(dragFullWindowsMarker()));
  EXPECT_TRUE(RecoverDragFullWindows());
  EXPECT_TRUE(settingOn());
  EXPECT_FALSE(std::filesystem::exists(dragFullWindowsMarker()));
}

TEST_F(AbnormalEndTest, AMarkerOfARunningProgramIsLeftAlone) {
  setSetting(false);
  std::ofstream(dragFullWindowsMarker()) << getppid() << '\n';
  EXPECT_FALSE(RecoverDragFullWindows());
  EXPECT_FALSE(settingOn());
  EXPECT_TRUE(std::filesystem::exists(dragFullWindowsMarker()));
}

TEST_F(AbnormalEndTest, ANormalRestoreLeavesNoMarker) {
  {
    DragFullWindowsSwitch sw(platform::SystemParametersInfoA, true);
    sw.SwitchOff();
    EXPECT_FALSE(settingOn());
    EXPECT_TRUE(std::filesystem::exists(dragFullWindowsMarker()));
    sw.Restore();
  }
  EXPECT_TRUE(settingOn());
  EXPECT_FALSE(std::filesystem::exists(dragFullWindowsMarker()));
  EXPECT_FALSE(RecoverDragFullWindows());
}

}  // namespace
}  // namespace kestrel
