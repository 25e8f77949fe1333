// The platform's resource lookup: Win32 meaning of names, numbers, case and modules.
#include <gtest/gtest.h>

#include "platform/system/resource.h"

namespace platform {
namespace {

const unsigned char kData[] = {1, 2, 3};
const unsigned char kOther[] = {9};

class ResourceLookup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = RegisterModule("Lookup.Test");
    AddResource(module_, "MyType", "Some_Name", kData);
    AddResource(module_, "#7", "#300", kOther);
  }
  static inline HMODULE module_ = nullptr;
};

TEST_F(ResourceLookup, NamesAndTypesMatchWithoutCase) {
  for (const char* name : {"Some_Name", "SOME_NAME", "some_name"}) {
    HRSRC r = FindResourceA(module_, name, "mytype");
    ASSERT_NE(r, nullptr) << name;
    EXPECT_EQ(SizeofResource(module_, r), 3u);
    EXPECT_EQ(LockResource(LoadResource(module_, r)), kData);
  }
}

TEST_F(ResourceLookup, NumbersMatchAsIdsOrAsHashTexts) {
  EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(300), MAKEINTRESOURCEA(7)), nullptr);
  EXPECT_NE(FindResourceA(module_, "#300", "#7"), nullptr);
  EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(301), MAKEINTRESOURCEA(7)), nullptr);
  EXPECT_EQ(FindResourceA(module_, "300", "#7"), nullptr) << "a bare digit text is a name, not a number";
}

TEST_F(ResourceLookup, AbsentThingsAreNullAndHarmless) {
  EXPECT_EQ(FindResourceA(module_, "Some_Name", "OtherType"), nullptr);
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), "Some_Name", "MyType"), nullptr) << "other module";
  EXPECT_EQ(FindResourceA(module_, nullptr, "MyType"), nullptr);
  EXPECT_EQ(LoadResource(module_, nullptr), nullptr);
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_EQ(SizeofResource(module_, nullptr), 0u);
  EXPECT_EQ(GetModuleHandleA("no.such.module"), nullptr);
  EXPECT_FALSE(AddResource(module_, "", "x", kData));
}

TEST_F(ResourceLookup, ModulesAreFoundByNameAndListedMainFirst) {
  EXPECT_EQ(GetModuleHandleA("LOOKUP.TEST"), module_);
  EXPECT_EQ(RegisterModule("lookup.test"), module_) << "registering again gives the same module";
  const std::vector<HMODULE> all = RegisteredModules();
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all.front(), GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace platform
