// Events of a hosted control: the sink connected at creation delivers them to the program's
// callback with the control's field number, LastEventName names the event during the call, a
// wrong interface identifier is refused, and releasing the object disconnects the sink. Property
// changes keep a bound variable in step, and radio-like controls turn each other off.
#include <gtest/gtest.h>

#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
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

TEST_F(EventTest, ABoundVariableFollowsTheObjectsValue) {
  static std::int32_t number = 0;
  ASSERT_TRUE(ole::BindOleValue(kOle, StorageType::Long, &number, sizeof number));
  const size_t pending = w.queue.pending.size();
  ASSERT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("0")}, "5"), Status::Ok);  // the object reports DISPID 0
  EXPECT_EQ(number, 5);
  ASSERT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("Value")}, "7"), Status::Ok);  // ... and the DISPID of "Value"
  EXPECT_EQ(number, 7);
  EXPECT_EQ(w.queue.pending.size(), pending + 2);  // each change posts the control's event
  EXPECT_EQ(w.queue.pending.back()->event(), event::Accepted);
  EXPECT_EQ(method("Notify(9)"), Status::Ok);  // another property: nothing to do
  EXPECT_EQ(number, 7);
  EXPECT_EQ(w.queue.pending.size(), pending + 2);

  number = 12;  // redisplaying the control writes the variable to the object
  ASSERT_TRUE(w.control(kOle)->display);
  w.control(kOle)->display();
  EXPECT_EQ(call("0"), "12");
  EXPECT_FALSE(ole::BindOleValue(21, StorageType::Long, &number, sizeof number));
}

TEST_F(EventTest, ABoundTextKeepsItsWidth) {
  static char text[6] = "";
  ASSERT_TRUE(ole::BindOleValue(kOle, StorageType::String, text, 5));
  ASSERT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("0")}, "ab"), Status::Ok);
  EXPECT_EQ(std::string(text, 5), "ab   ");
  ASSERT_EQ(PropertyPut(w, kOle, 0, Selector{std::string("0")}, "toolong"), Status::Ok);
  EXPECT_EQ(std::string(text, 5), "toolo");
}

// A window of three OLE controls, each holding an event source; those with IsRadio set act as
// radio buttons.
class RadioTest : public OleTest {
 protected:
  void SetUp() override {
    OleTest::SetUp();
    ASSERT_EQ(platform::RegisterComponentClass({kEventSourceClsid, "Kestrel.EventSource.1", "Test event source", "Both", true, &factory_},
                                               &sourceCookie_),
              platform::S_OK);
    OpenWindowOp(radio);
    for (int field : {1, 2, 3}) {
      ASSERT_EQ(PropertyPut(radio, field, 0, Selector{std::uint32_t(prop::Create)}, "Kestrel.EventSource.1"), Status::Ok);
      ASSERT_EQ(put(field, "1"), Status::Ok);
    }
  }
  void TearDown() override {
    radio_.reset();
    OleTest::TearDown();
    platform::CoRevokeClassObject(sourceCookie_);
  }
  Status put(int field, const std::string& value) { return PropertyPut(radio, field, 0, Selector{std::string("0")}, value); }
  std::string value(int field) { return PropertyCall(radio, field, 0, Selector{std::string("0")}).text; }

  EventSourceFactory factory_;
  platform::DWORD sourceCookie_ = 0;
  std::unique_ptr<Window> radio_ = std::make_unique<Window>("OleTest$Radio", "P1$WINDOW");
  Window& radio = *radio_;
};

TEST_F(RadioTest, TheControlThatTurnsTrueTurnsTheOtherRadioControlsOff) {
  ASSERT_EQ(PropertyPut(radio, 1, 0, Selector{std::uint32_t(prop::IsRadio)}, "1"), Status::Ok);
  ASSERT_EQ(PropertyPut(radio, 2, 0, Selector{std::uint32_t(prop::IsRadio)}, "1"), Status::Ok);
  ASSERT_EQ(put(1, "0"), Status::Ok);
  EXPECT_EQ(value(2), "1");  // turning false leaves the others alone
  ASSERT_EQ(put(1, "-1"), Status::Ok);
  EXPECT_EQ(value(1), "-1");
  EXPECT_EQ(value(2), "0");
  EXPECT_EQ(value(3), "1");  // not a radio control
  ASSERT_EQ(put(3, "1"), Status::Ok);
  EXPECT_EQ(value(1), "-1");  // a control without IsRadio turns nobody off
}

}  // namespace
}  // namespace tamsil::testing
