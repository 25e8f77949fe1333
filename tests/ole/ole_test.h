// The fixture of the OLE tests: a temporary profile (the class registry lives there), the test
// recorder class registered, the OLE container installed, the runtime tests' main window open
// with its OLE control (field 20) holding a recorder.
#pragma once

#include <memory>
#include <string>

#include "platform/com/com.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/properties.h"
#include "tests/ole/recording_object.h"
#include "tests/runtime/runtime_test.h"
#include "tests/support/temp_profile.h"

namespace tamsil::testing {

inline constexpr int kOle = 20;
inline constexpr platform::CLSID kRecorderClsid{0x4B455354, 0x0001, 0x4F4C, {0x45, 0x52, 0x45, 0x43, 0x4F, 0x52, 0x44, 0x31}};
inline constexpr const char* kRecorderProgId = "Kestrel.Recorder.1";

class OleTest : public RuntimeTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // PropertyCall with a text selector: the pushed text.
  std::string call(const std::string& path);
  // The last line of the log that records an invoke.
  std::string lastInvoke() const;
  std::string get(std::uint16_t number);
  window::PropertyStatus set(std::uint16_t number, const std::string& value);
  ole::OleSite* site();

  kestrel::testing::TempProfileDir profile_{"ole_test"};
  std::shared_ptr<Log> log = std::make_shared<Log>();
  RecorderFactory factory_{log};
  platform::DWORD cookie_ = 0;
  std::unique_ptr<window::Window> window_ = std::make_unique<window::Window>("RuntimeTest$Main", "P1$WINDOW");
  window::Window& w = *window_;
};

}  // namespace tamsil::testing
