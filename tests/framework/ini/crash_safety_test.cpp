// A writer killed at random moments while it rewrites a file of 1,000 entries: afterwards the file
// is always one the writer finished writing, never a mix of two writes or a cut-off file. Each
// round's child writes its round number into every entry in order, so a whole file reads as a
// run of newer rounds followed by older ones, every line complete and in its place.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <sstream>
#include <string>

#include "framework/ini/ini_store.h"
#include "tests/framework/ini/ini_test.h"

namespace tamsil::framework {
namespace {

constexpr int kEntries = 1000;
constexpr int kRounds = 1000;

std::string key(int i) { return "k" + std::to_string(i); }
std::string value(int round, int i) { return "r" + std::to_string(round) + "-" + std::to_string(i) + "-payload"; }

// Writes every entry with the round's value; runs in the child until it is killed.
[[noreturn]] void rewrite(int round) {
  IniStore store;
  store.Open("Crash.INI", StorageKind::IniFile);
  for (int i = 1; i <= kEntries; ++i) store.Write("Data", key(i), value(round, i));
  _exit(0);
}

// Empty when the text is a file some write finished: the section heading, then every entry in
// order with a complete value, rounds never rising along the file and none above `round`.
std::string wholeFileFault(const std::string& text, int round) {
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != "[Data]") return "no section heading";
  int previous = round;
  for (int i = 1; i <= kEntries; ++i) {
    if (!std::getline(in, line)) return "cut off before entry " + std::to_string(i);
    const std::string prefix = key(i) + "=r";
    if (line.rfind(prefix, 0) != 0) return "entry " + std::to_string(i) + " out of place: " + line;
    const int r = std::stoi(line.substr(prefix.size()));
    if (line != key(i) + "=" + value(r, i)) return "entry " + std::to_string(i) + " incomplete: " + line;
    if (r > previous) return "rounds mixed at entry " + std::to_string(i);
    previous = r;
  }
  if (std::getline(in, line)) return "more than the entries: " + line;
  return {};
}

TEST(CrashSafetyTest, AWriterKilledAtRandomLeavesAWholeFile) {
  kestrel::testing::TempProfileDir profile{"crash_safety_test"};
  const std::filesystem::path path = profile.path() / "Crash.INI";
  {
    std::ofstream out(path);
    out << "[Data]\n";
    for (int i = 1; i <= kEntries; ++i) out << key(i) << "=" << value(0, i) << "\n";
  }
  std::mt19937 random(24);
  std::uniform_int_distribution<int> delay(0, 4000);  // microseconds: from before the first write to well into the rewrite
  int killedMidway = 0;
  for (int round = 1; round <= kRounds; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) rewrite(round);
    usleep(useconds_t(delay(random)));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    killedMidway += WIFSIGNALED(status);
    const std::string fault = wholeFileFault(testing::fileText(path), round);
    ASSERT_EQ(fault, "") << "after round " << round;
  }
  EXPECT_GT(killedMidway, kRounds / 2) << "most children must die while writing";
  // The temporary files of the killed writers do not pile up: the next write reuses the one left.
  int others = 0;
  for (const auto& entry : std::filesystem::directory_iterator(profile.path()))
    others += entry.path().filename() != "Crash.INI" && entry.path().filename() != "Crash.INI.tmp";
  EXPECT_EQ(others, 0);
}

}  // namespace
}  // namespace tamsil::framework
