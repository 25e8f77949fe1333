// Two processes writing different keys of one INI file at the same time: every entry of both is
// there afterwards (each write reads, changes and replaces the whole file, so without a lock
// between the processes one would write back a file without the other's newest entry).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "framework/ini/ini_store.h"
#include "platform/system/profile.h"
#include "tests/framework/ini/ini_test.h"

namespace tamsil::framework {
namespace {

constexpr int kWrites = 1000;

[[noreturn]] void writeKeys(const std::string& prefix) {
  IniStore store;
  store.Open("Shared.INI", StorageKind::IniFile);
  bool ok = true;
  for (int i = 0; i < kWrites; ++i) ok = store.Write("Shared", prefix + std::to_string(i), i) && ok;
  _exit(ok ? 0 : 1);
}

TEST(TwoWritersTest, NoEntryOfEitherProcessIsLost) {
  kestrel::testing::TempProfileDir profile{"two_writers_test"};
  pid_t writers[2];
  const char* prefixes[2] = {"a", "b"};
  for (int p = 0; p < 2; ++p) {
    writers[p] = fork();
    ASSERT_GE(writers[p], 0);
    if (writers[p] == 0) writeKeys(prefixes[p]);
  }
  for (const pid_t w : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(w, &status, 0), w);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
  }
  IniStore store;
  store.Open("Shared.INI", StorageKind::IniFile);
  int missing = 0;
  for (const char* prefix : prefixes)
    for (int i = 0; i < kWrites; ++i) missing += store.Read("Shared", prefix + std::to_string(i)) != std::to_string(i);
  EXPECT_EQ(missing, 0);
}

}  // namespace
}  // namespace tamsil::framework
