// The runtime's switch word; atomic, since every thread's windows read it.
#include "runtime/window/runtime_settings.h"

#include <atomic>

namespace tamsil::window {

namespace {

std::atomic<std::uint32_t> gSettings{0};

}  // namespace

void SetRuntimeSetting(RuntimeSetting bit, bool on) {
  if (on) gSettings.fetch_or(std::uint32_t(bit));
  else gSettings.fetch_and(~std::uint32_t(bit));
}

bool RuntimeSettingOn(RuntimeSetting bit) { return (gSettings.load() & std::uint32_t(bit)) != 0; }

}  // namespace tamsil::window
