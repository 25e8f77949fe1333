// Private-profile files: reading with defaults, lists and truncation; writing, deleting and
// where bare names live.
#include "platform/system/profile.h"
#include "platform/desktop/system.h"
#include "platform/messages.h"
#include "platform/system/last_error.h"
#include "tests/support/temp_profile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <string>
#include <thread>

namespace platform {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir_ / "app.ini") << "; comment\n[Main]\nName = Kestrel \nQuoted=\"  spaced  \"\n"
                                       "Number=-42\nHex=0x1F\nText=abc\n\n[other]\nkey=1\n[MAIN]\nName=second\n";
  }

  std::string get(const char* section, const char* key, const char* def = "dflt", uint32_t size = 256, uint32_t* count = nullptr) {
    char buf[256] = {};
    const uint32_t n = GetPrivateProfileStringA(section, key, def, buf, size, "app.ini");
    if (count) *count = n;
    return std::string(buf, n);
  }
  std::string file() {
    std::ifstream in(dir_ / "app.ini");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  kestrel::testing::TempProfileDir profile_{"profile_test"};
  const std::filesystem::path& dir_ = profile_.path();
};

TEST_F(ProfileTest, ReadsValuesWithoutCaseAndWithDefaults) {
  EXPECT_EQ(get("main", "NAME"), "Kestrel");  // the first of two equal sections wins
  EXPECT_EQ(get("Main", "Quoted"), "  spaced  ");
  EXPECT_EQ(get("Main", "missing"), "dflt");
  EXPECT_EQ(get("Main", "missing", "trail   "), "trail");
  EXPECT_EQ(get("Main", "missing", nullptr), "");
  EXPECT_EQ(get("nosection", "Name"), "dflt");
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Number", 7, "app.ini"), unsigned(-42));
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Hex", 7, "app.ini"), 31u);
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Text", 7, "app.ini"), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("Main", "missing", 7, "app.ini"), 7u);
}

TEST_F(ProfileTest, ListsAndTruncation) {
  uint32_t n = 0;
  EXPECT_EQ(get(nullptr, nullptr, "", 256, &n), std::string("Main\0other\0MAIN\0", 16));
  EXPECT_EQ(n, 16u);
  EXPECT_EQ(get("MAIN", nullptr), std::string("Name\0Quoted\0Number\0Hex\0Text\0", 28));
  char buf[8];
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof buf, "app.ini"), 6u);
  EXPECT_EQ(std::string(buf, 8), std::string("Main\0o\0\0", 8));
  EXPECT_EQ(GetPrivateProfileStringA("Main", "Name", "", buf, 4, "app.ini"), 3u);
  EXPECT_STREQ(buf, "Kes");
  EXPECT_EQ(GetPrivateProfileStringA("Main", "Name", "", buf, 0, "app.ini"), 0u);
  EXPECT_EQ(get("empty", nullptr), std::string());
}

TEST_F(ProfileTest, WritesCreateReplaceAndDelete) {
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "text", "new", "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "Added", "1", "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("Fresh", "K", "v", "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("other", nullptr, nullptr, "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "Number", nullptr, "app.ini"));
  EXPECT_EQ(get("Main", "Text"), "new");
  EXPECT_EQ(get("Main", "Added"), "1");
  EXPECT_EQ(get("fresh", "k"), "v");
  EXPECT_EQ(get("other", "key"), "dflt");
  EXPECT_EQ(get("Main", "Number"), "dflt");
  EXPECT_NE(file().find("; comment\n[Main]\nName = Kestrel \nQuoted"), std::string::npos);
  EXPECT_NE(file().find("Text=new\nAdded=1\n\n[MAIN]"), std::string::npos) << file();
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", "app.ini"));
  for (const auto& e : std::filesystem::directory_iterator(dir_)) EXPECT_EQ(e.path().filename(), "app.ini");  // no temporary file left behind
}

// Text that would not read back as written: line breaks would add lines (entries, sections), a
// ']' would end the section's name, a '=' the key, and a key could read as a heading or comment.
struct UnstorableText {
  const char* name;
  const char *section, *key, *value;
};

class UnstorableTextTest : public ProfileTest, public ::testing::WithParamInterface<UnstorableText> {};

TEST_P(UnstorableTextTest, IsRefusedAndTheFileStaysAsItWas) {
  const std::string before = file();
  SetLastError(0);
  EXPECT_EQ(WritePrivateProfileStringA(GetParam().section, GetParam().key, GetParam().value, "app.ini"), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(file(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnstorableTextTest,
    ::testing::Values(UnstorableText{"ValueWithNewLine", "Main", "k", "x\n[Evil]\nk=v"},
                      UnstorableText{"ValueWithReturn", "Main", "k", "x\r[Evil]"}, UnstorableText{"KeyWithNewLine", "Main", "k\n[Evil]", "v"},
                      UnstorableText{"KeyAsHeading", "Main", "[Evil]", "v"}, UnstorableText{"KeyAsComment", "Main", " ;k", "v"},
                      UnstorableText{"KeyWithEquals", "Main", "a=b", "v"}, UnstorableText{"SectionWithBracket", "Main]x", "k", "v"},
                      UnstorableText{"SectionWithNewLine", "Main\n[Evil]", "k", "v"},
                      UnstorableText{"DeletedSectionWithNewLine", "other\n[Main]", nullptr, nullptr}),
    [](const ::testing::TestParamInfo<UnstorableText>& p) { return std::string(p.param.name); });

TEST_F(ProfileTest, RemovingFromAFileThatIsNotThereCreatesNothing) {
  EXPECT_TRUE(WritePrivateProfileStringA("s", "k", nullptr, "absent.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("s", nullptr, nullptr, "absent.ini"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.ini"));
}

TEST_F(ProfileTest, BareNamesLiveInTheProfileDirectoryAndPathsAreUsedAsIs) {
  EXPECT_EQ(profilePath("x.ini"), dir_ / "x.ini");
  EXPECT_EQ(profilePath("/elsewhere/x.ini"), "/elsewhere/x.ini");
  const std::string path = (dir_ / "sub" / "y.ini").string();
  EXPECT_TRUE(WritePrivateProfileStringA("s", "k", "v", path.c_str()));
  char buf[8];
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buf, sizeof buf, path.c_str()), 1u);
  EXPECT_TRUE(WriteProfileStringA("intl", "sTime", "."));
  EXPECT_EQ(GetProfileStringA("INTL", "stime", ":", buf, sizeof buf), 1u);
  EXPECT_EQ(buf[0], '.');
  EXPECT_EQ(GetProfileIntA("intl", "iTime", 5), 5u);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "win.ini"));
  unsetenv("TAMSIL_PROFILE_DIR");
  setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(profileDirectory(), "/xdg/kestrel24");
  setenv("TAMSIL_PROFILE_DIR", dir_.c_str(), 1);
}

// Files a profile must not be read from: each is made in the test's folder (or is a system
// device), and each is answered with the default at once, and never written over.
struct RefusedFile {
  const char* name;
  std::function<std::string(const std::filesystem::path& dir)> make;  // the file name to use
  bool writable;                                                      // may a write be tried on it (never on a device of the system)
};

void PrintTo(const RefusedFile& file, std::ostream* out) { *out << file.name; }

// A text holding the key, padded with a comment to `size` bytes.
std::string iniOfSize(size_t size) {
  const std::string head = "[s]\nk=stored\n;";
  return head + std::string(size - head.size(), ';');
}

constexpr size_t kMaxProfileFileSize = 1 << 20;
const RefusedFile kRefusedFiles[] = {
    {"EndlessDevice", [](const std::filesystem::path&) { return std::string("/dev/zero"); }, false},
    {"Pipe",
     [](const std::filesystem::path& dir) {
       const auto path = dir / "pipe.ini";
       mkfifo(path.c_str(), 0600);
       return path.string();
     },
     true},
    {"Folder",
     [](const std::filesystem::path& dir) {
       std::filesystem::create_directory(dir / "folder.ini");
       return (dir / "folder.ini").string();
     },
     true},
    {"OneByteTooLarge",
     [](const std::filesystem::path& dir) {
       std::ofstream(dir / "large.ini", std::ios::binary) << iniOfSize(kMaxProfileFileSize + 1);
       return (dir / "large.ini").string();
     },
     true},
};

class RefusedProfileTest : public ::testing::TestWithParam<RefusedFile> {
 protected:
  kestrel::testing::TempProfileDir profile_{"profile_refused_test"};
};

// Runs the call on a thread of its own, so a reader that blocks fails the test instead of
// hanging it (the thread is left behind; the test process ends soon after).
template <typename Result>
std::optional<Result> within(std::chrono::seconds limit, std::function<Result()> call) {
  auto task = std::make_shared<std::packaged_task<Result()>>(std::move(call));
  auto answer = task->get_future();
  std::thread([task] { (*task)(); }).detach();
  if (answer.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return answer.get();
}

TEST_P(RefusedProfileTest, AnswersTheDefaultAndIsNeverWritten) {
  const std::string path = GetParam().make(profile_.path());
  struct stat before {};
  ASSERT_EQ(stat(path.c_str(), &before), 0) << path;
  const auto value = within<std::string>(std::chrono::seconds(10), [path] {
    char buf[16] = {};
    const uint32_t n = GetPrivateProfileStringA("s", "k", "dflt", buf, sizeof buf, path.c_str());
    return std::string(buf, n);
  });
  ASSERT_TRUE(value) << path << " blocks the reader";
  EXPECT_EQ(*value, "dflt");
  EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, path.c_str()), 7u);
  char list[16] = {1, 1};
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", list, sizeof list, path.c_str()), 0u);
  EXPECT_EQ(list[0], '\0');
  if (!GetParam().writable) return;
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "new", path.c_str()), 0);
  struct stat after {};
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_size, before.st_size);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedProfileTest, ::testing::ValuesIn(kRefusedFiles),
                         [](const ::testing::TestParamInfo<RefusedFile>& param) { return std::string(param.param.name); });

TEST_F(ProfileTest, AFileOfTheLargestSizeIsRead) {
  std::ofstream(dir_ / "largest.ini", std::ios::binary) << iniOfSize(kMaxProfileFileSize);
  ASSERT_EQ(std::filesystem::file_size(dir_ / "largest.ini"), kMaxProfileFileSize);
  char buf[16];
  EXPECT_EQ(GetPrivateProfileStringA("s", "k", "dflt", buf, sizeof buf, "largest.ini"), 6u);
  EXPECT_STREQ(buf, "stored");
  EXPECT_EQ(WritePrivateProfileStringA("s", "k", "x", "largest.ini"), 1);
}

// The drag-full-windows switch: on by default, kept per user only when asked to.
TEST_F(ProfileTest, DragFullWindowsIsKeptPerUserOnlyWithUpdateIniFile) {
  BOOL on = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0));
  EXPECT_TRUE(on);
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0));
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
  EXPECT_FALSE(on);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "system.ini"));  // this session only
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &on, 0);
  EXPECT_TRUE(on);
  EXPECT_EQ(GetPrivateProfileIntA("Desktop", "DragFullWindows", 7, "system.ini"), 1u);
  EXPECT_FALSE(SystemParametersInfoA(0x1234, 0, &on, 0));
}

}  // namespace
}  // namespace platform
