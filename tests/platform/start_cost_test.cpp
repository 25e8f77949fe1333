// What a program's start leaves alone and what it puts off: a profile write or a class
// registration that changes nothing does not replace the file (a start that saves the same
// settings and registers the same classes writes nothing), and a library loaded on first use
// answers its failure values when it cannot be loaded.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/com/com.h"
#include "platform/com/com_object.h"
#include "platform/system/lazy_library.h"
#include "platform/system/profile.h"
#include "tests/support/temp_profile.h"

namespace platform {
namespace {

// The file's identity: a replaced file (written to a temporary and renamed over) has a new one.
ino_t inodeOf(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class UnchangedWritesTest : public ::testing::Test {
 protected:
  kestrel::testing::TempProfileDir profile_{"start_cost_test"};
};

struct ProfileWrite {
  const char* value;
  bool replaces;
};

class ProfileWriteTest : public UnchangedWritesTest, public ::testing::WithParamInterface<ProfileWrite> {};

TEST_P(ProfileWriteTest, OnlyAChangedValueReplacesTheFile) {
  const auto file = profile_.path() / "place.ini";
  std::ofstream(file) << "[Main]\nX=12\nY=40\n";
  const ino_t before = inodeOf(file);
  ASSERT_NE(before, 0u);
  ASSERT_EQ(WritePrivateProfileStringA("Main", "X", GetParam().value, "place.ini"), 1);
  EXPECT_EQ(inodeOf(file) != before, GetParam().replaces);
  char buffer[16] = {};
  GetPrivateProfileStringA("Main", "X", "", buffer, sizeof buffer, "place.ini");
  EXPECT_STREQ(buffer, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileWriteTest,
                         ::testing::Values(ProfileWrite{"12", false}, ProfileWrite{"13", true}, ProfileWrite{"twelve", true},
                                           ProfileWrite{"", true}));

class NoInstance final : public UnownedComObject<Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT CreateInstance(IUnknown*, const IID&, void** object) override { return *object = nullptr, E_NOINTERFACE; }
  HRESULT LockServer(BOOL) override { return S_OK; }
};

TEST_F(UnchangedWritesTest, RegisteringARegisteredClassAgainWritesNothing) {
  NoInstance factory;
  const CLSID clsid{0x2468ACE0, 0x1357, 0x9BDF, {2, 3, 5, 7, 11, 13, 17, 19}};
  const auto registry = profile_.path() / "registry.dat";
  const auto registerAs = [&](const char* name) {
    DWORD cookie = 0;
    EXPECT_EQ(RegisterComponentClass({clsid, "Kestrel.StartCost.1", name, "Apartment", true, &factory}, &cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  };
  registerAs("Start cost");
  const ino_t first = inodeOf(registry);
  ASSERT_NE(first, 0u);
  registerAs("Start cost");
  EXPECT_EQ(inodeOf(registry), first) << "the same entries were written again";
  registerAs("Start cost, renamed");
  std::ifstream in(registry);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Start cost, renamed"), std::string::npos) << "a changed entry was not written";
  EXPECT_EQ(ProgIDFromCLSIDA(clsid), "Kestrel.StartCost.1");
}

LazyLibrary missing("libkestrel-no-such-library.so.7");
LazyLibrary zlib("libz.so.1");

}  // namespace
}  // namespace platform

// Forwarders as a program defines them, for a library that is not there and one that is.
extern "C" int kestrel_missing_function(int value);
LAZY_LIBRARY_FORWARD(platform::missing, int, kestrel_missing_function, (int value), (value), -1)

namespace platform {
namespace {

TEST(LazyLibraryTest, AMissingLibraryGivesNoFunctionsAndItsForwardersTheirFailure) {
  EXPECT_FALSE(missing.load());
  EXPECT_EQ(missing.function<int(int)>("kestrel_missing_function"), nullptr);
  EXPECT_EQ(kestrel_missing_function(5), -1);
}

TEST(LazyLibraryTest, AnInstalledLibraryIsLoadedOnceAndItsFunctionsFound) {
  ASSERT_TRUE(zlib.load());
  void* const handle = zlib.handle();
  EXPECT_EQ(zlib.handle(), handle);
  auto* version = zlib.function<const char*()>("zlibVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version()[0], '1');
  EXPECT_EQ(zlib.function<void()>("kestrel_no_such_function"), nullptr);
}

}  // namespace
}  // namespace platform
