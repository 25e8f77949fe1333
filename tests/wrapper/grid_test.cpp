#include "tests/wrapper/grid_test.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "components/spread/registration.h"
#include "runtime/ole/object_references.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/operations.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_names.h"

namespace kestrel::wrapper::testing {

namespace win = tamsil::window;

std::vector<win::MessageBoxRequest> GridTest::boxes;
int GridTest::stops = 0;

namespace {

std::string selectorText(const win::Selector& selector) {
  if (const auto* text = std::get_if<std::string>(&selector)) return *text;
  return std::string(win::propertyName(std::uint16_t(std::get<std::uint32_t>(selector))));
}

std::string typedValue(std::uint8_t type, const void* address, std::size_t size) {
  switch (type) {
    case kByteCode: return std::to_string(*static_cast<const std::uint8_t*>(address));
    case kShortCode: return std::to_string(*static_cast<const std::int16_t*>(address));
    case kLongCode: return std::to_string(*static_cast<const std::int32_t*>(address));
    case kULongCode: return std::to_string(*static_cast<const std::uint32_t*>(address));
    case kRealCode: return std::to_string(*static_cast<const double*>(address));
    case kZeroTextCode: return std::string(static_cast<const char*>(address), strnlen(static_cast<const char*>(address), size));
    default: return "?";
  }
}

unsigned recordBox(const win::MessageBoxRequest& request) {
  GridTest::boxes.push_back(request);
  return win::BtnOk;
}

}  // namespace

win::PropertyValue RecordingBridge::PropertyCall(win::Window* w, int field, const win::Selector& selector) {
  sent.push_back("call " + selectorText(selector));
  return GridBridge::PropertyCall(w, field, selector);
}

win::PropertyStatus RecordingBridge::PropertyPut(win::Window* w, int field, const win::Selector& selector, std::string_view value) {
  sent.push_back("put " + selectorText(selector) + " = " + std::string(value));
  return GridBridge::PropertyPut(w, field, selector, value);
}

win::PropertyStatus RecordingBridge::PropertyPutTyped(win::Window* w, int field, const win::Selector& selector, std::uint8_t type,
                                                      const void* address, std::size_t size) {
  sent.push_back("typed " + selectorText(selector) + " " + std::to_string(type) + "/" + std::to_string(size) + ":" +
                 typedValue(type, address, size));
  return GridBridge::PropertyPutTyped(w, field, selector, type, address, size);
}

win::PropertyStatus RecordingBridge::MethodCall(win::Window* w, int field, const win::Selector& selector) {
  sent.push_back("method " + selectorText(selector));
  return GridBridge::MethodCall(w, field, selector);
}

void GridTest::SetUp() {
  RuntimeTest::SetUp();
  if (registerGrid_) {
    ASSERT_EQ(spread::RegisterSpreadComponent(), platform::S_OK);
  }
  tamsil::ole::InstallOleContainer();
  win::OpenWindowOp(w);
  boxes.clear();
  stops = 0;
  win::SetMessageHook(recordBox);
  tamsil::SetStopHook([](bool) { ++stops; });
  spread.UseBridge(bridge_);
}

void GridTest::TearDown() {
  tamsil::SetStopHook(nullptr);
  win::SetMessageHook(nullptr);
  window_.reset();
  tamsil::ole::releaseAllReferences();
  win::SetAutomationProvider(std::uint8_t(win::Kind::Ole), nullptr);
  RuntimeTest::TearDown();
}

void GridTest::attach() {
  spread.Init(w, kSpreadField);
  forget();
}

}  // namespace kestrel::wrapper::testing
