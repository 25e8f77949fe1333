#include "runtime/file/dynamic_file.h"

#include <dlfcn.h>

#include <mutex>

#include "runtime/file/declaration_error.h"
#include "runtime/file/errors.h"

namespace tamsil::file {

namespace {

constexpr const char* kChangeFile = "_Tsl$CHANGE_FILE";
constexpr const char* kChangeDriver = "_Tsl$CHANGE_DRIVER";

struct Support {
  std::mutex mutex;
  ChangeFileEntry changeFile = nullptr;
  ChangeDriverEntry changeDriver = nullptr;
};

Support& support() {
  static Support s;
  return s;
}

// Both entry points from one handle; false (and the handle left to the caller) when either is
// missing.
bool lookUp(void* handle, Support& s) {
  void* file = dlsym(handle, kChangeFile);
  void* driver = dlsym(handle, kChangeDriver);
  if (!file || !driver) return false;
  s.changeFile = reinterpret_cast<ChangeFileEntry>(file);
  s.changeDriver = reinterpret_cast<ChangeDriverEntry>(driver);
  return true;
}

// Loads the support once; on failure posts the SYSTEM message and returns false.
bool load(Support& s) {
  std::lock_guard lock(s.mutex);
  if (s.changeFile) return true;
  if (void* program = dlopen(nullptr, RTLD_NOW)) {
    if (lookUp(program, s)) return true;
    // The program's own handle needs no dlclose.
  }
  for (const std::string& name : dynamicFileLibraryNames()) {
    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) continue;
    if (lookUp(library, s)) return true;  // kept loaded for the rest of the run
    dlclose(library);
  }
  declarationError(DeclarationCategory::System, DeclarationSide::Self, 1, "Driver", 2);
  return false;
}

}  // namespace

const std::vector<std::string>& dynamicFileLibraryNames() {
  static const std::vector<std::string> names = {"R41dfx.dll", "libR41dfx.so"};
  return names;
}

std::intptr_t changeFile(void* file, void* change) {
  Support& s = support();
  if (!load(s)) return -1;
  return s.changeFile(file, change);
}

std::intptr_t changeDriver(void* file, void* change, void* driver) {
  Support& s = support();
  if (!load(s)) return -1;
  return s.changeDriver(file, change, driver);
}

}  // namespace tamsil::file
