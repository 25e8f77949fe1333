#include "tests/app/demo_test.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "app/app_module.h"
#include "components/spread/registration.h"
#include "framework/ini/ini_store.h"
#include "platform/input/script.h"
#include "runtime/core/startup.h"
#include "runtime/ole/object_references.h"
#include "runtime/ole/ole_site.h"
#include "runtime/window/control_access.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/window_object.h"
#include "tests/platform/platform_test.h"

namespace kestrel::testing {

namespace win = tamsil::window;

std::vector<win::MessageBoxRequest> DemoTest::boxes;

namespace {

unsigned recordBox(const win::MessageBoxRequest& request) {
  DemoTest::boxes.push_back(request);
  return win::BtnOk;
}

}  // namespace

std::uint8_t HookedDemoWindow::Setup() {
  const std::uint8_t r = DemoWindow::Setup();
  if (r == 0 && afterSetup_) afterSetup_(state_);
  return r;
}

void DemoTest::SetUp() {
  ASSERT_EQ(spread::RegisterSpreadComponent(), platform::S_OK);
  tamsil::ole::InstallOleContainer();
  static const tamsil::ModuleRecord kModules[] = {applicationModuleRecord()};
  ASSERT_TRUE(tamsil::RuntimeStartup({kModules, kProgramVersion, "Kestrel24"}));
  workDir_ = profile_.path() / "work";
  std::filesystem::create_directories(workDir_);
  std::filesystem::copy_file(dataFile("cover.jpg"), workDir_ / "cover.jpg");
  previousDir_ = std::filesystem::current_path();
  std::filesystem::current_path(workDir_);
  boxes.clear();
  win::SetMessageHook(recordBox);
  programIniStore().Open("Kestrel24.INI", tamsil::framework::StorageKind::IniFile);
  log_.mark();
}

void DemoTest::TearDown() {
  programIniStore().Close();
  win::SetMessageHook(nullptr);
  platform::script::stop();
  platform::testing::resetWindows();
  tamsil::ole::releaseAllReferences();
  win::SetAutomationProvider(std::uint8_t(win::Kind::Ole), nullptr);
  tamsil::ResetRuntimeForTests();
  std::filesystem::current_path(previousDir_);
}

std::uint8_t DemoTest::runDemo(const std::string& text, std::function<void(DemoProcedureState&)> afterSetup) {
  auto parsed = platform::script::parse(text, "demo.script");
  EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front();
  platform::script::start(std::move(parsed.lines), "demo.script");
  DemoProcedureState state;
  state.Navigator.Init();
  state.window = std::make_unique<win::Window>(std::string(kDemoModule), std::string(kDemoWindowLabel));
  auto window = std::make_unique<HookedDemoWindow>(state, std::move(afterSetup));
  state.Resizer = std::make_unique<DemoResizer>(*state.window);
  const std::uint8_t response = window->Execute();
  window.reset();
  state.Resizer.reset();
  state.window.reset();
  state.Navigator.Kill();
  return response;
}

std::vector<std::string> from(const std::vector<std::string>& all, const std::string& first) {
  const auto it = std::ranges::find_if(all, [&](const std::string& l) { return l.rfind(first, 0) == 0; });
  return {it, all.end()};
}

std::vector<std::string> withoutRefresh(std::vector<std::string> lines) {
  std::erase(lines, std::string("call Refresh() -> EMPTY"));
  return lines;
}

std::filesystem::path dataFile(const std::string& name) { return std::filesystem::path(KESTREL_SOURCE_DIR) / "app/data" / name; }

}  // namespace kestrel::testing
