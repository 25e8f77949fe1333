// Process-wide switches of the runtime, kept as one word of bits that a program sets early and
// the runtime reads wherever a switch changes what it does on its own.
#pragma once

#include <cstdint>

namespace tamsil::window {

enum class RuntimeSetting : std::uint32_t {
  // Boxes the runtime shows by itself (the refused end of the session) carry the application's
  // title instead of the product caption.
  ApplicationTitleCaption = 0x1,
};

void SetRuntimeSetting(RuntimeSetting bit, bool on);
bool RuntimeSettingOn(RuntimeSetting bit);

}  // namespace tamsil::window
