// Embedding: a class registered as a control is created through its class object, gets the
// client site before or after its initialisation as its miscellaneous status asks, is run
// before its dispatch interface is first used, and is closed and loses its site when released;
// an automation server is run at creation and marked as such. Sites keep the component model
// initialised on their thread.
#include <gtest/gtest.h>

#include <ostream>

#include "platform/com/ole.h"
#include "platform/system/registry.h"
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
void PrintTo(const EmbeddingCase& c, std::ostream* os) { *os << "misc status " << c.miscStatus; }

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

// A class with the "Insertable" key (and no "Control" key) is made embedded by OleCreate, and
// loaded by OleLoad when opened.
TEST_F(OleTest, AnInsertableObjectIsEmbeddedInOneStep) {
  constexpr platform::CLSID kInsertableClsid{0x4B455354, 0x0005, 0x4F4C, {0x49, 0x4E, 0x53, 0x45, 0x52, 0x54, 0x42, 0x4C}};
  platform::DWORD cookie = 0;
  ASSERT_EQ(platform::RegisterComponentClass({kInsertableClsid, "Kestrel.RecorderDocument.1", "Test document", "", false, &factory_}, &cookie),
            platform::S_OK);
  platform::HKEY key = nullptr;
  const std::string path = "CLSID\\" + platform::GuidText(kInsertableClsid) + "\\Insertable";
  ASSERT_EQ(platform::RegCreateKeyExA(platform::HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, platform::KEY_WRITE, nullptr, &key, nullptr),
            0);
  platform::RegCloseKey(key);

  RecordingObject::miscStatus = platform::OLEMISC_SETCLIENTSITEFIRST;
  log->clear();
  ASSERT_EQ(set(prop::Create, "Kestrel.RecorderDocument.1"), Status::Ok);
  EXPECT_EQ(*log, (Log{"ole GetMiscStatus", "ole SetClientSite site", "persist InitNew"}));
  EXPECT_FALSE(site()->flags() & ole::kAutomationOnly);
  ASSERT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("Value")}, "document"), Status::Ok);
  const std::string file = (profile_.path() / "doc.stg").string() + "\\!doc";
  ASSERT_EQ(set(prop::SaveAs, file), Status::Ok);
  log->clear();
  ASSERT_EQ(set(prop::Open, file), Status::Ok);
  EXPECT_EQ(*log, (Log{"ole Close", "ole SetClientSite null", "ole GetMiscStatus", "ole SetClientSite site", "persist Load"}));
  EXPECT_EQ(call("Value"), "document");
  RecordingObject::miscStatus = 0;
  platform::CoRevokeClassObject(cookie);
}

}  // namespace
}  // namespace tamsil::testing
