#include "runtime/file/driver.h"

#include "runtime/core/error_state.h"
#include "runtime/file/errors.h"

namespace tamsil::file {

namespace {

// The operation through the driver's entry point, or 80 when the driver does not support it.
[[gnu::always_inline]] inline void run(const DriverDescriptor& driver, int operation, FileControl& file, std::span<const std::intptr_t> args) {
  const bool supported = operation >= 0 && operation <= kLastOperation && driver.operations.test(std::size_t(operation));
  if (!supported || !driver.entry) postError(kErrorUnsupported);
  else driver.entry(operation, file, args);
}

// Kept out of the untraced path, so that it needs no room for the trace and ends in the driver.
[[gnu::noinline]] void runTraced(DriverTrace& driverTrace, const DriverDescriptor& driver, int operation, FileControl& file,
                                 std::span<const std::intptr_t> args) {
  const TracedFile traced{file.declaration, file.record, file.key, file.trace};
  const OperationTrace trace(driverTrace, traced, operation, args);
  run(driver, operation, file, args);
}

}  // namespace

void dispatch(const DriverDescriptor& driver, int operation, FileControl& file, std::span<const std::intptr_t> args) {
  clearError();
  // The driver's trace is found once per thread and driver: traces live as long as the process.
  thread_local const DriverDescriptor* lastDriver = nullptr;
  thread_local DriverTrace* lastTrace = nullptr;
  if (lastDriver != &driver) {
    lastTrace = &driverTrace(driver.shortName);
    lastDriver = &driver;
  }
  // Untraced files (the common case) skip the trace's bookkeeping altogether.
  if (file.trace.on || lastTrace->settings().on) runTraced(*lastTrace, driver, operation, file, args);
  else run(driver, operation, file, args);
}

}  // namespace tamsil::file
