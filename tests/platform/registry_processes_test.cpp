// The registry shared by several processes: changes made at once in two processes all reach the
// file, a process reads another's changes without restarting, and a writer killed mid-write
// leaves a whole file and no lock behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system/detail/registry_store.h"
#include "platform/system/last_error.h"
#include "platform/system/registry.h"
#include "tests/support/temp_profile.h"

namespace platform {
namespace {

constexpr const char* kKey = "Software\\Kestrel24\\Shared";

// A pipe end closed when it goes.
struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() { EXPECT_EQ(::pipe(fd), 0); }
  ~Pipe() {
    for (int f : fd)
      if (f >= 0) ::close(f);
  }
  void closeEnd(int end) {
    ::close(fd[end]);
    fd[end] = -1;
  }
  bool send() { return ::write(fd[1], "x", 1) == 1; }
  bool receive() {
    char c;
    return ::read(fd[0], &c, 1) == 1;
  }
};

// Runs body in a child process, whose exit status is body's result (0 for success).
pid_t spawn(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  EXPECT_GT(pid, 0);
  return pid;
}

int exitStatus(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

HKEY createKey(const char* path) {
  HKEY k = nullptr;
  return RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) == LONG(ERROR_SUCCESS) ? k : nullptr;
}

LONG setNumber(HKEY k, const std::string& name, DWORD n) {
  return RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4);
}

std::optional<DWORD> number(HKEY k, const std::string& name) {
  DWORD n = 0, size = 4, type = 0;
  if (RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&n), &size) != LONG(ERROR_SUCCESS) || type != REG_DWORD)
    return std::nullopt;
  return n;
}

class RegistryProcessesTest : public ::testing::Test {
 protected:
  std::string fileText() const {
    std::ifstream in(profile_.path() / "registry.dat", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  kestrel::testing::TempProfileDir profile_{"registry_processes_test"};
};

// How the two writers share the registry: one key for both, or a key each under a common parent
// (so each write also rewrites the other's section).
struct Layout {
  const char* name;
  bool keyEach;
};
void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

class RegistryWritersTest : public RegistryProcessesTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(RegistryWritersTest, TwoProcessesSettingAThousandValuesEachLoseNone) {
  constexpr int kValues = 1000;
  const Layout layout = GetParam();
  auto keyOf = [&](int writer) { return std::string(kKey) + (layout.keyEach ? "\\W" + std::to_string(writer) : ""); };
  Pipe start;
  std::vector<pid_t> writers;
  for (int w = 0; w < 2; ++w) {
    writers.push_back(spawn([&, w] {
      start.closeEnd(1);
      char c;
      if (::read(start.fd[0], &c, 1) != 0) return 2;  // released all at once when the pipe closes
      HKEY k = createKey(keyOf(w).c_str());
      if (!k) return 3;
      for (int i = 0; i < kValues; ++i)
        if (setNumber(k, "v" + std::to_string(w) + "_" + std::to_string(i), DWORD(i)) != LONG(ERROR_SUCCESS)) return 4;
      return 0;
    }));
  }
  start.closeEnd(1);
  for (const pid_t pid : writers) EXPECT_EQ(exitStatus(pid), 0);

  detail::RegistryStore store;
  ASSERT_EQ(store.parse(fileText()), 0);
  for (int w = 0; w < 2; ++w) {
    const detail::RegistryKey* key = store.find("HKEY_CURRENT_USER\\" + keyOf(w));
    ASSERT_NE(key, nullptr) << keyOf(w);
    int missing = 0;
    for (int i = 0; i < kValues; ++i) missing += !key->values.count("v" + std::to_string(w) + "_" + std::to_string(i));
    EXPECT_EQ(missing, 0) << "writer " << w;
  }
  // This process, which loaded the registry before the writers ran, sees all of it too.
  HKEY k = createKey(keyOf(1).c_str());
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(number(k, "v1_999"), DWORD(999));
  RegCloseKey(k);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RegistryWritersTest, ::testing::Values(Layout{"OneKey", false}, Layout{"KeyEach", true}),
                         [](const ::testing::TestParamInfo<Layout>& p) { return std::string(p.param.name); });

TEST_F(RegistryProcessesTest, ChangesOfAnotherProcessAreReadWithoutRestarting) {
  constexpr int kRounds = 200;
  HKEY k = createKey(kKey);
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(number(k, "Counter"), std::nullopt);
  Pipe toParent, toChild;
  // The child changes one number back and forth; every file it writes has the same size, and the
  // replaced files' inodes are free to be given again.
  const pid_t child = spawn([&] {
    HKEY own = createKey(kKey);
    for (int i = 0; i < kRounds; ++i) {
      if (setNumber(own, "Counter", DWORD(i % 2 ? 0x1111 : 0x2222)) != LONG(ERROR_SUCCESS)) return 3;
      if (!toParent.send() || !toChild.receive()) return 4;
    }
    // Then it removes the number and the key, and adds a sibling key.
    if (RegDeleteValueA(own, "Counter") != LONG(ERROR_SUCCESS)) return 5;
    if (RegDeleteKeyA(HKEY_CURRENT_USER, kKey) != LONG(ERROR_SUCCESS)) return 6;
    RegCloseKey(createKey("Software\\Kestrel24\\Added"));
    return toParent.send() ? 0 : 7;
  });
  int wrong = 0;
  for (int i = 0; i < kRounds; ++i) {
    ASSERT_TRUE(toParent.receive());
    wrong += number(k, "Counter") != DWORD(i % 2 ? 0x1111 : 0x2222);
    ASSERT_TRUE(toChild.send());
  }
  EXPECT_EQ(wrong, 0);
  ASSERT_TRUE(toParent.receive());
  EXPECT_EQ(exitStatus(child), 0);

  EXPECT_EQ(RegQueryValueExA(k, "Counter", nullptr, nullptr, nullptr, nullptr), LONG(ERROR_BADKEY));  // its key is gone
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrel24", 0, KEY_READ, &parent), LONG(ERROR_SUCCESS));
  char name[16];
  DWORD size = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(parent, 0, name, &size, nullptr, nullptr, nullptr, nullptr), LONG(ERROR_SUCCESS));
  EXPECT_STREQ(name, "Added");
  // A change made here now keeps what the other process wrote.
  EXPECT_EQ(setNumber(parent, "Mine", 7), LONG(ERROR_SUCCESS));
  detail::RegistryStore store;
  ASSERT_EQ(store.parse(fileText()), 0);
  EXPECT_NE(store.find("HKEY_CURRENT_USER\\Software\\Kestrel24\\Added"), nullptr);
  EXPECT_EQ(store.find("HKEY_CURRENT_USER\\Software\\Kestrel24\\Shared"), nullptr);
  RegCloseKey(parent);
  RegCloseKey(k);
}

TEST_F(RegistryProcessesTest, AWriterKilledMidWriteLeavesAWholeFileAndNoLock) {
  constexpr int kRounds = 60;
  constexpr size_t kBlob = 4096;  // large values, so each write takes a while to be cut short
  std::mt19937 random(24);
  std::uniform_int_distribution<int> delay(0, 3000);  // microseconds
  auto blob = [](int n) { return std::vector<BYTE>(kBlob, BYTE(n)); };
  int committed = 0;  // values a killed writer had reported written
  for (int round = 0; round < kRounds; ++round) {
    Pipe started;
    const pid_t child = spawn([&] {
      HKEY k = createKey(kKey);
      for (int i = 0;; ++i) {
        const std::vector<BYTE> data = blob(i);
        if (RegSetValueExA(k, ("b" + std::to_string(i % 64)).c_str(), 0, REG_BINARY, data.data(), DWORD(data.size())) != LONG(ERROR_SUCCESS))
          return 3;
        if (i == 0 && !started.send()) return 4;
      }
    });
    ASSERT_TRUE(started.receive());
    ::usleep(useconds_t(delay(random)));
    ::kill(child, SIGKILL);
    ASSERT_EQ(exitStatus(child), 128 + SIGKILL);

    // Every value in the file is complete: a whole blob of one byte.
    detail::RegistryStore store;
    ASSERT_EQ(store.parse(fileText()), 0) << "round " << round;
    const detail::RegistryKey* key = store.find(std::string("HKEY_CURRENT_USER\\") + kKey);
    ASSERT_NE(key, nullptr) << "round " << round;
    for (const auto& [name, v] : key->values) {
      ASSERT_EQ(v.data.size(), kBlob) << name;
      EXPECT_EQ(v.data, blob(v.data[0])) << name;
    }
    committed += !key->values.empty();
  }
  EXPECT_EQ(committed, kRounds);
  // The lock died with the writer: a change here goes through, and reuses the temporary file the
  // killed writers left, so none piles up beside the registry.
  HKEY k = createKey(kKey);
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(setNumber(k, "After", 1), LONG(ERROR_SUCCESS));
  RegCloseKey(k);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(profile_.path())) files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"registry.dat"});
}

}  // namespace
}  // namespace platform
