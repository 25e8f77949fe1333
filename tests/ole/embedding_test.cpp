// Embedding: a class registered as a control is created through its class object, gets the
// client site before or after its initialisation as its miscellaneous status asks, is run
// before its dispatch interface is first used, and is closed and loses its site when released;
// an automation server is run at creation and marked as such. Sites keep the component model
// initialised on their thread.
#include <gtest/gtest.h>

#include "platform/com/ole.h"
#include "runtime/window/control_access.h"
#include "runtime/window/message_box.h"
#include "tests/ole/ole_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using Status = PropertyStatus;

constexpr platform::CLSID kControlClsid{0x4B455354, 0x0004, 0x4F4C, {0x43, 0x4F, 0x4E, 0x54, 0x52, 0x4F, 0x4C, 0x31}};

struct EmbeddingCase {
  platform::DWORD miscStatus;
  Log created;
};

class EmbeddingTest : public OleTest, public ::testing::WithParamInterface<EmbeddingCase> {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    ASSERT_EQ(platform::RegisterComponentClass(
                  {kControlClsid, "Kestrel.RecorderControl.1", "Test recorder control", "Apartment", true, &factory_}, &controlCookie_),
              platform::S_OK);
  }
  void TearDown() override {
    RecordingObject::miscStatus = 0;
    OleTest::TearDown();
    platform::CoRevokeClassObject(controlCookie_);
  }
  platform::DWORD controlCookie_ = 0;
};

TEST_P(EmbeddingTest, TheClientSiteComesWhenTheControlAsksForIt) {
  RecordingObject::miscStatus = GetParam().miscStatus;
  ASSERT_EQ(set(prop::Create, "Kestrel.RecorderControl.1"), Status::Ok);
  EXPECT_EQ(*log, GetParam().created);  // the automation server made in SetUp had no embedding to undo
  EXPECT_FALSE(site()->flags() & ole::kAutomationOnly);
  log->clear();
  EXPECT_EQ(call("Echo(1)"), "1");
  EXPECT_EQ(*log, (Log{"run", "lookup Echo", "invoke 3 M|G (I4 1)"}));  // run before the first use
  log->clear();
  ASSERT_EQ(set(prop::Release, ""), Status::Ok);
  EXPECT_EQ(*log, (Log{"ole Close", "ole SetClientSite null"}));
}

INSTANTIATE_TEST_SUITE_P(MiscStatus, EmbeddingTest,
                         ::testing::Values(EmbeddingCase{0, {"ole GetMiscStatus", "persist InitNew", "ole SetClientSite site"}},
                                           EmbeddingCase{platform::OLEMISC_SETCLIENTSITEFIRST,
                                                         {"ole GetMiscStatus", "ole SetClientSite site", "persist InitNew"}}));

TEST_F(OleTest, AnAutomationServerIsRunAtCreation) {
  log->clear();
  ASSERT_EQ(set(prop::Create, kRecorderProgId), Status::Ok);
  EXPECT_EQ(*log, (Log{"run", "persist InitNew"}));
  EXPECT_TRUE(site()->flags() & ole::kAutomationOnly);
  EXPECT_EQ(site()->flags() & (ole::kApartment | ole::kBothThreading), ole::kApartment);  // registered "Apartment"
}

std::vector<std::string> oleBoxes;
unsigned recordOleBox(const MessageBoxRequest& r) {
  oleBoxes.push_back(r.caption + (r.icon == MessageIcon::None ? "" : " (icon)") + ": " + r.text);
  return BtnOk;
}

TEST_F(EmbeddingTest, PlatformFailuresAreShownOnlyWithReportExceptionTwo) {
  platform::CoRevokeClassObject(controlCookie_);  // registered, but nobody makes its objects now
  oleBoxes.clear();
  SetMessageHook(recordOleBox);
  ASSERT_EQ(set(prop::ReportException, "1"), Status::Ok);
  EXPECT_EQ(set(prop::Create, "Kestrel.RecorderControl.1"), Status::BadValue);
  EXPECT_TRUE(oleBoxes.empty());
  ASSERT_EQ(set(prop::ReportException, "2"), Status::Ok);
  EXPECT_EQ(set(prop::Create, "Kestrel.RecorderControl.1"), Status::BadValue);
  SetMessageHook(nullptr);
  EXPECT_EQ(oleBoxes,
            (std::vector<std::string>{"OLE Error: CoGetClassObject (80040154)\r\nClass not registered\r\n\"Kestrel.RecorderControl.1\""}));
  EXPECT_EQ(call("Value"), "No ole automation interface");
}

TEST_F(OleTest, SitesKeepTheComponentModelInitialisedOnTheirThread) {
  EXPECT_EQ(platform::CoInitializeCount(), 1);
  EXPECT_EQ(platform::CoInitialize(nullptr), platform::S_FALSE);
  platform::CoUninitialize();
  window_.reset();
  EXPECT_EQ(platform::CoInitializeCount(), 0);
  EXPECT_EQ(platform::CoInitialize(nullptr), platform::S_OK);
  platform::CoUninitialize();
}

}  // namespace
}  // namespace tamsil::testing
