// Internal faults: misuse of the runtime by its own code (a full or empty value stack, a thread
// without a context). They cannot be caused by data, so they end the program at once with a
// message on stderr rather than being reported like user errors.
#pragma once

#include <string_view>

namespace tamsil {

// Writes "Tamsil internal fault: <what>" to stderr and aborts.
[[noreturn]] void internalFault(std::string_view what);

}  // namespace tamsil
