// Events of a hosted control: the sink connected at creation delivers them to the program's
// callback with the control's field number, LastEventName names the event during the call, a
// wrong interface identifier is refused, and releasing the object disconnects the sink.
#include <gtest/gtest.h>

#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "tests/ole/event_source.h"
#include "tests/ole/ole_test.h"

namespace tamsil::testing {
namespace {

using namespace window;
using Status = PropertyStatus;

constexpr platform::CLSID kEventSourceClsid{0x4B455354, 0x0002, 0x4F4C, {0x45, 0x56, 0x45, 0x4E, 0x54, 0x53, 0x52, 0x43}};

class EventTest : public OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    ASSERT_EQ(platform::RegisterComponentClass({kEventSourceClsid, "Kestrel.EventSource.1", "Test event source", "Both", true, &factory_},
                                               &sourceCookie_),
              platform::S_OK);
    ASSERT_EQ(set(prop::Create, "Kestrel.EventSource.1"), Status::Ok);
  }
  void TearDown() override {
    OleTest::TearDown();
    platform::CoRevokeClassObject(sourceCookie_);
    EXPECT_EQ(EventSource::alive, 0);
    EventSource::alive = 0;
  }
  Status method(const std::string& path) { return MethodCall(w, kOle, 0, Selector{path}); }

  EventSourceFactory factory_;
  platform::DWORD sourceCookie_ = 0;
  std::vector<std::string> seen;
  ole::OleEventCallback record = [this](platform::DISPPARAMS* p, int field) {
    seen.push_back(std::to_string(field) + " " + get(prop::LastEventName) + ": " + (p->cArgs ? describe(p->rgvarg[0]) : ""));
  };
};

TEST_F(EventTest, AnEventReachesTheCallbackWithTheFieldAndItsName) {
  ASSERT_TRUE(ole::RegisterOleEventCallback(kOle, record));
  EXPECT_EQ(call("Sinks"), "1");
  EXPECT_EQ(method("Fire(1, 42)"), Status::Ok);
  EXPECT_EQ(method("Fire(2, \"x\")"), Status::Ok);
  EXPECT_EQ(method("Fire(-608, 1)"), Status::Ok);
  EXPECT_EQ(method("Fire(7, 1)"), Status::Ok);
  EXPECT_EQ(seen, (std::vector<std::string>{"20 Click: I4 42", "20 Changed: BSTR x", "20 ErrorEvent: I4 1", "20 : I4 1"}));
  EXPECT_EQ(call("LastAnswer"), "0");
  EXPECT_EQ(get(prop::LastEventName), "");  // the last event, 7, has no name
}

TEST_F(EventTest, TheSinkRefusesAnotherInterfaceIdentifier) {
  ASSERT_TRUE(ole::RegisterOleEventCallback(kOle, record));
  EXPECT_EQ(method("FireWrongIid(1, 1)"), Status::Ok);
  EXPECT_EQ(call("LastAnswer"), std::to_string(platform::E_INVALIDARG));
  EXPECT_TRUE(seen.empty());
}

TEST_F(EventTest, WithoutACallbackEventsAreStillAnsweredAndRecorded) {
  ASSERT_TRUE(ole::RegisterOleEventCallback(kOle, record));
  ASSERT_TRUE(ole::RegisterOleEventCallback(kOle, nullptr));
  EXPECT_EQ(method("Fire(2, 5)"), Status::Ok);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(call("LastAnswer"), "0");
  EXPECT_EQ(get(prop::LastEventName), "Changed");
  EXPECT_FALSE(ole::RegisterOleEventCallback(21, record));  // the Close button is no OLE control
  EXPECT_FALSE(ole::RegisterOleEventCallback(99, record));
}

TEST_F(EventTest, ReleasingTheObjectDisconnectsTheSink) {
  const std::string object = get(prop::Object);
  EXPECT_EQ(call(object + ".Sinks"), "1");
  ASSERT_EQ(set(prop::Release, ""), Status::Ok);
  EXPECT_EQ(call("Sinks"), "No ole automation interface");
  EXPECT_EQ(set(prop::Create, "Kestrel.EventSource.1"), Status::Ok);
  EXPECT_EQ(call("Sinks"), "1");
  EXPECT_EQ(call(object + ".Sinks"), "0");  // the old object, alive through its reference, lost its sink
}

}  // namespace
}  // namespace tamsil::testing
