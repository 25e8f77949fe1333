#include "runtime/file/driver.h"

#include <optional>

#include "runtime/core/error_state.h"
#include "runtime/file/errors.h"

namespace tamsil::file {

void dispatch(const DriverDescriptor& driver, int operation, FileControl& file, std::span<const std::intptr_t> args) {
  clearError();
  const TracedFile traced{file.declaration, file.record, file.key, file.trace};
  // The driver's trace is found once per thread and driver: traces live as long as the process.
  thread_local const DriverDescriptor* lastDriver = nullptr;
  thread_local DriverTrace* lastTrace = nullptr;
  if (lastDriver != &driver) {
    lastTrace = &driverTrace(driver.shortName);
    lastDriver = &driver;
  }
  // Untraced files (the common case) skip the trace's bookkeeping altogether.
  std::optional<OperationTrace> trace;
  if (file.trace.on || lastTrace->settings().on) trace.emplace(*lastTrace, traced, operation, args);
  const bool supported = operation >= 0 && operation <= kLastOperation && driver.operations.test(std::size_t(operation));
  if (!supported || !driver.entry) postError(kErrorUnsupported);
  else driver.entry(operation, file, args);
}

}  // namespace tamsil::file
