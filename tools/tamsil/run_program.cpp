#include "tools/tamsil/run_program.h"

#include "platform/startup/startup.h"
#include "runtime/core/startup.h"

namespace tamsil::tool {

int runAsProgram(void (*programMain)()) {
  static char name[] = "tamsil";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  if (!platform::startPlatform(argc, argv, "tamsil")) return 2;
  static constexpr ModuleRecord kModules[] = {ModuleRecord{}};
  ProcessEntry(ModuleDescriptor{kModules, kRuntimeVersion, ""}, programMain);
}

}  // namespace tamsil::tool
