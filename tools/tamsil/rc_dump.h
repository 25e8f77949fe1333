// Prints a compiled window definition container as definition source text, so a container can be
// read, reviewed and edited; compiling the printed text gives back the same bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/window/definition_result.h"

namespace tamsil::tool {

window::Result<std::string> dumpContainer(std::span<const std::uint8_t> resource);

}  // namespace tamsil::tool
