// The built program as a user runs it, on the headless backend with a profile of its own: the
// drag-full-windows setting is off while the window is open and on again after a normal end and
// after the process was terminated; off at the start, it is never touched; the INI file holds the
// window's place after a run; the file libraries wait until a file needs them, and a second run
// rewrites neither the registry nor the unchanged place.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_profile.h"

extern char** environ;

namespace kestrel::testing {
namespace {

std::string fileText(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Kestrel24RunTest : public ::testing::Test {
 protected:
  std::filesystem::path systemIni() const { return profile_.path() / "system.ini"; }
  void setSetting(bool on) { std::ofstream(systemIni()) << "[Desktop]\nDragFullWindows=" << (on ? 1 : 0) << "\n"; }
  // The value in the user's file, or -1 when there is none.
  int setting() const {
    const std::string text = fileText(systemIni());
    const auto at = text.find("DragFullWindows=");
    return at == std::string::npos ? -1 : text[at + 16] - '0';
  }

  // Starts the program with the script; the child's id.
  pid_t start(const std::string& script) {
    const auto path = profile_.path() / "run.script";
    std::ofstream(path) << script;
    std::vector<std::string> env{"TAMSIL_PLATFORM=headless", "TAMSIL_PROFILE_DIR=" + profile_.path().string(),
                                 "TAMSIL_SCRIPT=" + path.string()};
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("TAMSIL_", 0) != 0) env.emplace_back(*e);
    std::vector<char*> envp, argv{const_cast<char*>(KESTREL24_PROGRAM), nullptr};
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, KESTREL24_PROGRAM, &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // Waits (up to 20 s) until the setting reads `value`; false when it never did.
  bool waitForSetting(int value) {
    for (int i = 0; i < 400; ++i) {
      if (setting() == value) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  static int finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }

  TempProfileDir profile_{"kestrel24_run_test"};
};

TEST_F(Kestrel24RunTest, TheSettingIsOffWhileTheWindowIsOpenAndOnAfter) {
  setSetting(true);
  const pid_t pid = start("wait 1500\nmenu File > Exit\n");
  EXPECT_TRUE(waitForSetting(0)) << "never switched off while the window was open";
  const int status = finish(pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(setting(), 1);
  const std::string ini = fileText(profile_.path() / "Kestrel24.INI");
  EXPECT_NE(ini.find("[Main]"), std::string::npos) << ini;
}

// The workbook and compound-file libraries are loaded when a file needs them, not at start.
TEST_F(Kestrel24RunTest, TheFileLibrariesAreNotLoadedAtStart) {
  setSetting(true);
  const pid_t pid = start("wait 1500\nmenu File > Exit\n");
  ASSERT_TRUE(waitForSetting(0)) << "the window never opened";
  const std::string maps = fileText("/proc/" + std::to_string(pid) + "/maps");
  EXPECT_NE(maps.find("libc.so"), std::string::npos);
  for (const char* library : {"libfreexl", "libxlsxwriter", "libgsf", "libxml2"})
    EXPECT_EQ(maps.find(library), std::string::npos) << library << " is loaded at start";
  EXPECT_EQ(WEXITSTATUS(finish(pid)), 0);
}

// A run that registers what is registered and saves the place it found rewrites neither file.
TEST_F(Kestrel24RunTest, ASecondRunLeavesTheRegistryAndThePlaceAsTheyWere) {
  const auto inodeOf = [](const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  EXPECT_EQ(WEXITSTATUS(finish(start("menu File > Exit\n"))), 0);
  const auto registry = profile_.path() / "registry.dat", place = profile_.path() / "Kestrel24.INI";
  const auto registryBefore = inodeOf(registry), placeBefore = inodeOf(place);
  ASSERT_NE(registryBefore, 0u);
  ASSERT_NE(placeBefore, 0u);
  EXPECT_EQ(WEXITSTATUS(finish(start("menu File > Exit\n"))), 0);
  EXPECT_EQ(inodeOf(registry), registryBefore) << "the registry was written again";
  EXPECT_EQ(inodeOf(place), placeBefore) << "the unchanged place was written again";
}

TEST_F(Kestrel24RunTest, OffAtTheStartTheSettingIsNeverWritten) {
  setSetting(false);
  const auto before = std::filesystem::last_write_time(systemIni());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const int status = finish(start("menu File > Exit\n"));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(setting(), 0);
  EXPECT_EQ(std::filesystem::last_write_time(systemIni()), before);
}

TEST_F(Kestrel24RunTest, ATerminatedProgramGivesTheSettingBack) {
  setSetting(true);
  const pid_t pid = start("wait 60000\n");
  ASSERT_TRUE(waitForSetting(0));
  kill(pid, SIGTERM);
  const int status = finish(pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "ends as the signal says";
  EXPECT_EQ(setting(), 1);
}

TEST_F(Kestrel24RunTest, AKilledProgramsSettingComesBackAtTheNextStart) {
  setSetting(true);
  const pid_t pid = start("wait 60000\n");
  ASSERT_TRUE(waitForSetting(0));
  kill(pid, SIGKILL);
  finish(pid);
  ASSERT_EQ(setting(), 0);
  const pid_t next = start("wait 1500\nmenu File > Exit\n");
  EXPECT_TRUE(waitForSetting(0));
  const int status = finish(next);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(setting(), 1);
}

}  // namespace
}  // namespace kestrel::testing
