#include "tests/ole/ole_test.h"

#include "runtime/ole/object_references.h"
#include "runtime/window/control_access.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/operations.h"

namespace tamsil::testing {

using namespace window;

void OleTest::SetUp() {
  RuntimeTest::SetUp();
  ASSERT_EQ(platform::RegisterComponentClass({kRecorderClsid, kRecorderProgId, "Test recorder", "Apartment", false, &factory_}, &cookie_),
            platform::S_OK);
  ole::InstallOleContainer();
  OpenWindowOp(w);
  ASSERT_EQ(set(prop::Create, kRecorderProgId), PropertyStatus::Ok);
  log->clear();
}

void OleTest::TearDown() {
  window_.reset();
  ole::releaseAllReferences();
  SetAutomationProvider(std::uint8_t(Kind::Ole), nullptr);
  platform::CoRevokeClassObject(cookie_);
  EXPECT_EQ(RecordingObject::alive, 0);
  RecordingObject::alive = 0;
  RuntimeTest::TearDown();
}

std::string OleTest::call(const std::string& path) { return PropertyCall(w, kOle, 0, Selector{path}).text; }

std::string OleTest::lastInvoke() const {
  for (auto it = log->rbegin(); it != log->rend(); ++it)
    if (it->find("invoke") != std::string::npos) return *it;
  return {};
}

std::string OleTest::get(std::uint16_t number) { return PropertyCall(w, kOle, 0, Selector{std::uint32_t(number)}).text; }

PropertyStatus OleTest::set(std::uint16_t number, const std::string& value) {
  return PropertyPut(w, kOle, 0, Selector{std::uint32_t(number)}, value);
}

ole::OleSite* OleTest::site() {
  Control* c = w.control(kOle);
  return c ? dynamic_cast<ole::OleSite*>(c->automation.get()) : nullptr;
}

}  // namespace tamsil::testing
