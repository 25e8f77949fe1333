// The bridge to the optional dynamic-file support: two entry points, "_Tsl$CHANGE_FILE" and
// "_Tsl$CHANGE_DRIVER", looked up first in the program itself and then in a shared library
// loaded by the name "R41dfx.dll" (on this platform also "libR41dfx.so", tried second, beside
// it on the library path). Found once, they are kept; when neither place has both, the SYSTEM
// declaration message "Dynamic File Support Not Found" is posted and the call fails, and the
// next call looks again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tamsil::file {

// The entry points' signatures: a file, a change, and for CHANGE_DRIVER a driver; all passed
// through unchanged, the result returned.
using ChangeFileEntry = std::intptr_t (*)(void* file, void* change);
using ChangeDriverEntry = std::intptr_t (*)(void* file, void* change, void* driver);

// The library names tried after the program, in order.
const std::vector<std::string>& dynamicFileLibraryNames();

// The result of the entry point; -1 with the error posted when dynamic-file support is missing.
std::intptr_t changeFile(void* file, void* change);
std::intptr_t changeDriver(void* file, void* change, void* driver);

}  // namespace tamsil::file
