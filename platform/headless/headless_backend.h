// The headless backend: the model alone, with no person to see it. Deterministic font metrics,
// a fixed 1280x800 screen, an in-memory clipboard; dialogs are answered by scripts or defaults.
#pragma once

#include <memory>

#include "platform/backend.h"

namespace platform::headless {

std::unique_ptr<Backend> createBackend();

}  // namespace platform::headless
