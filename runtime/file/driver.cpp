#include "runtime/file/driver.h"

#include "runtime/core/error_state.h"
#include "runtime/file/errors.h"

namespace tamsil::file {

void dispatch(const DriverDescriptor& driver, int operation, FileControl& file, std::span<const std::intptr_t> args) {
  clearError();
  const TracedFile traced{file.declaration, file.record, file.key, file.trace};
  const OperationTrace trace(driverTrace(driver.shortName), traced, operation, args);
  const bool supported = operation >= 0 && operation <= kLastOperation && driver.operations.test(std::size_t(operation));
  if (!supported || !driver.entry) postError(kErrorUnsupported);
  else driver.entry(operation, file, args);
}

}  // namespace tamsil::file
