// The store's values on each storage kind: reads with their defaults, items and typed reads,
// writes and removals, the registry's keys, and names and values that are refused because they
// would not read back as written.
#include "framework/ini/ini_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/last_error.h"
#include "platform/system/profile.h"
#include "platform/system/registry.h"
#include "tests/framework/ini/ini_test.h"

namespace tamsil::framework {
namespace {

using testing::fileText;

class IniStoreTest : public ::testing::Test {
 protected:
  kestrel::testing::TempProfileDir profile_{"ini_store_test"};
  IniStore store;
  std::string file() { return fileText(profile_.path() / "Test.INI"); }
};

// What a read answers, the same on every kind that stores something.
class StorageKindTest : public IniStoreTest, public ::testing::WithParamInterface<StorageKind> {
 protected:
  void SetUp() override { store.Open(GetParam() == StorageKind::Registry ? "Software\\Kestrel24" : "Test.INI", GetParam()); }
};

TEST_P(StorageKindTest, ValuesReadBackAndAbsentEntriesGiveTheDefaults) {
  EXPECT_TRUE(store.Write("Main", "Name", "Kestrel"));
  EXPECT_TRUE(store.Write("Main", "Count", 42));
  EXPECT_TRUE(store.Write("Main", "Below", -7));
  EXPECT_EQ(store.Read("Main", "Name"), "Kestrel");
  EXPECT_EQ(store.Read("main", "name"), "Kestrel");  // names without case
  EXPECT_EQ(store.Read("Main", "Count"), "42");
  EXPECT_EQ(store.Read("Main", "Below"), "-7");
  EXPECT_EQ(store.Read("Main", "Missing"), "");
  EXPECT_EQ(store.ReadOrUnknown("Main", "Missing"), "---Unknown---");
  EXPECT_EQ(store.ReadOrUnknown("Other", "Name"), "---Unknown---");
  EXPECT_EQ(store.ReadValue("Main", "Missing", "fallback", store.FILENAME), "fallback");

  EXPECT_TRUE(store.RemoveEntry("Main", "Name"));
  EXPECT_EQ(store.ReadOrUnknown("Main", "Name"), "---Unknown---");
  EXPECT_TRUE(store.RemoveEntry("Main", "Name"));  // removing what is gone is no failure
  EXPECT_EQ(store.Read("Main", "Count"), "42");
}

TEST_P(StorageKindTest, LongValuesAreCutToWhatAReadReturns) {
  const std::string longValue(2000, 'v');
  ASSERT_TRUE(store.Write("Main", "Long", longValue));
  EXPECT_EQ(store.Read("Main", "Long"), longValue.substr(0, kValueBufferSize - 1));
  EXPECT_EQ(store.ReadOrUnknown("Main", "Long"), longValue.substr(0, kUnknownCut));
}

TEST_P(StorageKindTest, ItemsAreCountedFromOneBetweenCommas) {
  ASSERT_TRUE(store.Write("Main", "List", "alpha,beta,,delta"));
  const std::vector<std::pair<int, std::string>> items{{1, "alpha"}, {2, "beta"}, {3, ""}, {4, "delta"}, {5, ""}, {0, ""}, {-1, ""}};
  for (const auto& [n, item] : items) EXPECT_EQ(store.ReadItem("Main", "List", n), item) << n;
  EXPECT_EQ(store.ReadItem("Main", "Absent", 1), "---Unknown---");
  EXPECT_EQ(store.ReadItem("Main", "Absent", 2), "");
}

TEST_P(StorageKindTest, TypedReadsKeepTheVariableWhenTheTextIsNoValueOfItsType) {
  const std::vector<std::pair<std::string, long>> cases{
      {"42", 42}, {" -17 ", -17}, {"+5", 5}, {"abc", 99}, {"12abc", 99}, {"", 99}, {"99999999999999999999", 99},
  };
  for (const auto& [text, expected] : cases) {
    ASSERT_TRUE(store.Write("Typed", "Number", text.empty() ? "x" : text));
    if (text.empty()) {
      ASSERT_TRUE(store.RemoveEntry("Typed", "Number"));
    }
    long variable = 99;
    store.ReadInto("Typed", "Number", variable);
    EXPECT_EQ(variable, expected) << "'" << text << "'";
  }
  ASSERT_TRUE(store.Write("Typed", "Byte", 300));
  std::uint8_t byte = 7;
  store.ReadInto("Typed", "Byte", byte);
  EXPECT_EQ(byte, 7) << "out of the type's range";
  ASSERT_TRUE(store.Write("Typed", "Flag", true));
  bool flag = false;
  store.ReadInto("Typed", "Flag", flag);
  EXPECT_TRUE(flag);
  std::string text = "kept";
  store.ReadInto("Typed", "Missing", text);
  EXPECT_EQ(text, "kept");
  ASSERT_TRUE(store.Write("Typed", "Text", "stored"));
  store.ReadInto("Typed", "Text", text);
  EXPECT_EQ(text, "stored");
}

TEST_P(StorageKindTest, StoresSharedByThreadsLoseNoWrite) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([this, t] {
      for (int i = 0; i < 25; ++i) store.Write("Threads", "t" + std::to_string(t) + "_" + std::to_string(i), i);
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < 4; ++t)
    for (int i = 0; i < 25; ++i) EXPECT_EQ(store.Read("Threads", "t" + std::to_string(t) + "_" + std::to_string(i)), std::to_string(i));
}

INSTANTIATE_TEST_SUITE_P(Kinds, StorageKindTest, ::testing::Values(StorageKind::IniFile, StorageKind::Registry),
                         [](const ::testing::TestParamInfo<StorageKind>& p) {
                           return p.param == StorageKind::IniFile ? "IniFile" : "Registry";
                         });

TEST_F(IniStoreTest, AnIniFileHoldsOneLinePerEntryUnderItsSection) {
  store.Open("Test.INI", StorageKind::IniFile);
  ASSERT_TRUE(store.Write("Main", "XPos", 10));
  ASSERT_TRUE(store.Write("Main", "Name", "a b"));
  ASSERT_TRUE(store.RemoveEntry("Main", "XPos"));
  ASSERT_TRUE(store.Write("Other", "k", "v"));
  EXPECT_EQ(file(), "[Main]\nName=a b\n[Other]\nk=v\n");
}

TEST_F(IniStoreTest, ABareFileNameLivesInTheProfileDirectoryAndAnEmptyOneIsWinIni) {
  store.Open("Test.INI", StorageKind::IniFile);
  ASSERT_TRUE(store.Write("Main", "k", "v"));
  EXPECT_TRUE(std::filesystem::exists(profile_.path() / "Test.INI"));
  IniStore win;
  win.Open("", StorageKind::IniFile);
  ASSERT_TRUE(win.Write("intl", "sDecimal", ","));
  char buffer[16];
  platform::GetProfileStringA("intl", "sDecimal", "", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, ",");
}

TEST_F(IniStoreTest, TheFileNameIsCutToItsField) {
  store.Open(std::string(300, 'f'), StorageKind::Nothing);
  EXPECT_EQ(store.FILENAME.size(), kFileNameSize - 1);
}

TEST_F(IniStoreTest, KindNothingStoresNothingAndReadsEmptyText) {
  store.Open("Test.INI", StorageKind::Nothing);
  EXPECT_TRUE(store.Write("Main", "k", "v"));
  EXPECT_TRUE(store.RemoveEntry("Main", "k"));
  EXPECT_EQ(store.Read("Main", "k"), "");
  EXPECT_EQ(store.ReadOrUnknown("Main", "k"), "");
  long n = 5;
  store.ReadInto("Main", "k", n);
  EXPECT_EQ(n, 5);
  store.Close();
  EXPECT_FALSE(std::filesystem::exists(profile_.path() / "Test.INI"));
}

// The registry key of a section, and the value read straight from the platform's registry.
std::string registryValue(platform::HKEY root, const char* key, const char* name, platform::LONG* status = nullptr) {
  platform::HKEY k = nullptr;
  platform::LONG s = platform::RegOpenKeyExA(root, key, 0, platform::KEY_READ, &k);
  char data[64] = {};
  platform::DWORD size = sizeof data, type = 0;
  if (s == 0) {
    s = platform::RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<platform::BYTE*>(data), &size);
    platform::RegCloseKey(k);
  }
  if (status) *status = s;
  return s == 0 ? data : "";
}

struct RegistryKeyCase {
  const char* name;
  const char* fileName;
  std::uint32_t extraData;
  platform::HKEY root;
  const char* key;
};

class RegistryKeyTest : public IniStoreTest, public ::testing::WithParamInterface<RegistryKeyCase> {};

TEST_P(RegistryKeyTest, TheSectionIsAKeyBelowTheFileNameUnderTheRoot) {
  const RegistryKeyCase& c = GetParam();
  store.Open(c.fileName, StorageKind::Registry, c.extraData);
  ASSERT_TRUE(store.Write("Main", "XPos", 12));
  EXPECT_EQ(registryValue(c.root, c.key, "XPos"), "12");
  EXPECT_EQ(store.Read("Main", "XPos"), "12");
}

INSTANTIATE_TEST_SUITE_P(Keys, RegistryKeyTest,
                         ::testing::Values(RegistryKeyCase{"WithFileName", "Software\\P", 0, platform::HKEY_CLASSES_ROOT, "Software\\P\\Main"},
                                           RegistryKeyCase{"WithoutFileName", "", 0, platform::HKEY_CLASSES_ROOT, "Main"},
                                           RegistryKeyCase{"UnderCurrentUser", "P", 0x80000001u, platform::HKEY_CURRENT_USER, "P\\Main"}),
                         [](const ::testing::TestParamInfo<RegistryKeyCase>& p) { return std::string(p.param.name); });

TEST_F(IniStoreTest, AnEmptyValueInTheRegistryDeletesTheValue) {
  store.Open("P", StorageKind::Registry);
  ASSERT_TRUE(store.Write("Main", "Name", "x"));
  ASSERT_TRUE(store.Write("Main", "Name", ""));
  platform::LONG status = 0;
  registryValue(platform::HKEY_CLASSES_ROOT, "P\\Main", "Name", &status);
  EXPECT_EQ(status, platform::LONG(platform::ERROR_FILE_NOT_FOUND)) << "deleted, not an empty string";
  EXPECT_EQ(store.ReadOrUnknown("Main", "Name"), "---Unknown---");
}

TEST_F(IniStoreTest, TheRegistryReadsNumberValuesInDecimal) {
  store.Open("P", StorageKind::Registry);
  platform::HKEY k = nullptr;
  ASSERT_EQ(platform::RegCreateKeyExA(platform::HKEY_CLASSES_ROOT, "P\\Main", 0, nullptr, 0, platform::KEY_ALL_ACCESS, nullptr, &k, nullptr),
            0);
  const platform::DWORD number = 640;
  ASSERT_EQ(platform::RegSetValueExA(k, "Width", 0, platform::REG_DWORD, reinterpret_cast<const platform::BYTE*>(&number), 4), 0);
  platform::RegCloseKey(k);
  int width = 0;
  store.ReadInto("Main", "Width", width);
  EXPECT_EQ(width, 640);
}

// Text that would add lines, entries or sections, or read back as another name.
struct RefusedCase {
  const char* name;
  std::string sector, entry, value;
};

class RefusedTextTest : public IniStoreTest, public ::testing::WithParamInterface<std::tuple<StorageKind, RefusedCase>> {};

TEST_P(RefusedTextTest, IsRefusedAndChangesNothing) {
  const auto& [kind, c] = GetParam();
  store.Open(kind == StorageKind::Registry ? "Software\\Kestrel24" : "Test.INI", kind);
  ASSERT_TRUE(store.Write("Main", "k", "before"));
  const std::string fileBefore = file();
  EXPECT_FALSE(store.Write(c.sector, c.entry, c.value));
  EXPECT_EQ(store.Read("Main", "k"), "before");
  EXPECT_EQ(store.ReadOrUnknown("Evil", "k"), "---Unknown---");
  EXPECT_EQ(file(), fileBefore);
  EXPECT_EQ(fileText(profile_.path() / "registry.dat").find("Evil"), std::string::npos);
}

const RefusedCase kRefused[] = {
    {"ValueWithNewLine", "Main", "k", "x\n[Evil]\nk=v"},
    {"ValueWithReturn", "Main", "k", "x\r[Evil]\rk=v"},
    {"ValueWithNul", "Main", "k", std::string("x\0[Evil]", 8)},
    {"NameWithNewLine", "Main", "k\n[Evil]\nk", "v"},
    {"NameAsSectionHeading", "Main", "[Evil]", "v"},
    {"NameWithEquals", "Main", "k=Evil", "v"},
    {"NameAsComment", "Main", "; Evil", "v"},
    {"NameWithNul", "Main", std::string("k\0Evil", 6), "v"},
    {"SectionWithBracket", "Main]\n[Evil", "k", "v"},
    {"SectionClosedEarly", "Evil]x", "k", "v"},
    {"SectionWithNul", std::string("Main\0Evil", 9), "k", "v"},
};

INSTANTIATE_TEST_SUITE_P(Texts, RefusedTextTest,
                         ::testing::Combine(::testing::Values(StorageKind::IniFile, StorageKind::Registry), ::testing::ValuesIn(kRefused)),
                         [](const ::testing::TestParamInfo<std::tuple<StorageKind, RefusedCase>>& p) {
                           return std::string(std::get<0>(p.param) == StorageKind::IniFile ? "Ini" : "Registry") + std::get<1>(p.param).name;
                         });

TEST_F(IniStoreTest, ReadsOfUnstorableNamesGiveTheDefault) {
  store.Open("Test.INI", StorageKind::IniFile);
  ASSERT_TRUE(store.Write("Main", "k", "v"));
  EXPECT_EQ(store.ReadOrUnknown("Main", std::string("k\0x", 3)), "---Unknown---") << "not cut to \"k\" at the NUL";
  EXPECT_EQ(store.ReadOrUnknown(std::string("Main\0x", 6), "k"), "---Unknown---");
  EXPECT_FALSE(store.RemoveEntry("Main", std::string("k\0x", 3)));
  EXPECT_EQ(store.Read("Main", "k"), "v");
}

}  // namespace
}  // namespace tamsil::framework
