// The registry: Win32 results for keys and values, names without case, persistence in the
// user's file, and a damaged file losing only its damaged lines.
#include "platform/system/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/system/detail/registry_store.h"
#include "platform/system/last_error.h"
#include "tests/support/temp_profile.h"

namespace platform {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {}
  HKEY create(const char* path) {
    HKEY k = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &disposition), LONG(ERROR_SUCCESS));
    return k;
  }
  std::string file() {
    std::ifstream in(dir_ / "registry.dat");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  kestrel::testing::TempProfileDir profile_{"registry_test"};
  const std::filesystem::path& dir_ = profile_.path();
};

TEST_F(RegistryTest, ValuesRoundTripWithTypesAndSizes) {
  HKEY k = create("Software\\Kestrel24\\Windows");
  const char text[] = "Ostrevane";
  const DWORD number = 0x2A;
  const BYTE blob[] = {0, 1, 255};
  ASSERT_EQ(RegSetValueExA(k, "Title", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), LONG(ERROR_SUCCESS));
  ASSERT_EQ(RegSetValueExA(k, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), LONG(ERROR_SUCCESS));
  ASSERT_EQ(RegSetValueExA(k, nullptr, 0, REG_BINARY, blob, 3), LONG(ERROR_SUCCESS));
  EXPECT_EQ(RegSetValueExA(k, "Bad", 0, REG_DWORD, blob, 3), LONG(ERROR_INVALID_PARAMETER));

  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(k, "TITLE", nullptr, &type, nullptr, &size), LONG(ERROR_SUCCESS));
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, sizeof text);
  char small[4];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(k, "Title", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof text);
  DWORD got = 0;
  size = 4;
  EXPECT_EQ(RegQueryValueExA(k, "count", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size), LONG(ERROR_SUCCESS));
  EXPECT_EQ(got, 0x2Au);
  BYTE back[8];
  size = sizeof back;
  EXPECT_EQ(RegQueryValueExA(k, "", nullptr, &type, back, &size), LONG(ERROR_SUCCESS));
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(RegQueryValueExA(k, "Missing", nullptr, nullptr, nullptr, nullptr), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegCloseKey(k), LONG(ERROR_SUCCESS));
  EXPECT_EQ(RegCloseKey(k), LONG(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegQueryValueExA(k, "Title", nullptr, nullptr, nullptr, nullptr), LONG(ERROR_INVALID_HANDLE));
}

TEST_F(RegistryTest, KeysOpenWithoutCaseAndDeleteOnlyWhenEmpty) {
  RegCloseKey(create("Software\\A\\B"));
  HKEY k = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\a", 0, KEY_READ, &k), LONG(ERROR_SUCCESS));
  char name[16];
  DWORD size = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(k, 0, name, &size, nullptr, nullptr, nullptr, nullptr), LONG(ERROR_SUCCESS));
  EXPECT_STREQ(name, "B");  // the case it was created with
  size = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(k, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteKeyA(k, "b"), LONG(ERROR_SUCCESS));
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A\\B", 0, KEY_READ, &k), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\A", 0, KEY_READ, &k), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\\\A", 0, KEY_READ, &k), LONG(ERROR_BADKEY));
}

TEST_F(RegistryTest, EveryChangeIsInTheFileAtOnceAndReadBack) {
  HKEY k = create("Software\\Kestrel24");
  const char text[] = "say \"hi\" \\ there";
  RegSetValueExA(k, "Greeting", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  RegCloseKey(k);
  EXPECT_NE(file().find("[HKEY_CURRENT_USER\\Software\\Kestrel24]\n\"Greeting\"=sz:\"say \\\"hi\\\" \\\\ there\"\n"), std::string::npos)
      << file();

  // A second process (another profile directory and back) reads the same file.
  setenv("TAMSIL_PROFILE_DIR", "/tmp", 1);
  setenv("TAMSIL_PROFILE_DIR", dir_.c_str(), 1);
  detail::RegistryStore again;
  EXPECT_EQ(again.parse(file()), 0);
  ASSERT_NE(again.find("hkey_current_user\\software\\kestrel24"), nullptr);
  EXPECT_EQ(again.serialize(), file());
}

TEST_F(RegistryTest, LineBreaksInNamesAndValuesStayOnTheirLine) {
  HKEY k = create("Software\\Kestrel24");
  const char text[] = "x\n[HKEY_CURRENT_USER\\Evil]\r\n\"k\"=sz:\"v\"";
  ASSERT_EQ(RegSetValueExA(k, "Line\nName", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), LONG(ERROR_SUCCESS));
  HKEY evil = nullptr;
  EXPECT_NE(RegCreateKeyExA(k, "Sub\n[HKEY_CURRENT_USER\\Evil]", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &evil, nullptr), LONG(ERROR_SUCCESS));
  RegCloseKey(k);

  detail::RegistryStore again;
  EXPECT_EQ(again.parse(file()), 0) << file();
  EXPECT_EQ(again.find("HKEY_CURRENT_USER\\Evil"), nullptr) << file();
  const detail::RegistryKey* key = again.find("HKEY_CURRENT_USER\\Software\\Kestrel24");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(key->values.count("line\nname"), 1u);
  EXPECT_EQ(key->values.at("line\nname").data, std::vector<BYTE>(text, text + sizeof text));
}

TEST(RegistryStoreTest, DamagedLinesAreSkippedAndTheRestKept) {
  detail::RegistryStore store;
  const int skipped = store.parse(
      "[HKEY_CURRENT_USER\\Good]\n\"A\"=dword:0000000x\n\"B\"=dword:00000010\n\"C\"=sz:\"unterminated\n"
      "[NOT_A_ROOT\\X]\n\"D\"=sz:\"lost\"\n[HKEY_USERS\\\\Bad]\n\"E\"=hex(3):zz\n"
      "[HKEY_CURRENT_USER\\good]\n\"F\"=hex(3):01,02\n@=sz:\"d\"\n");
  EXPECT_EQ(skipped, 6);  // A, C, the section outside the roots, its D, the malformed path, E
  const detail::RegistryKey* good = store.find("HKEY_CURRENT_USER\\GOOD");
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(good->values.size(), 3u);  // B, F and the default
  EXPECT_EQ(good->values.at("b").data, (std::vector<BYTE>{0x10, 0, 0, 0}));
}

}  // namespace
}  // namespace platform
