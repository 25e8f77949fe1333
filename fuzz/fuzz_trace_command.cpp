// Trace settings commands and registry locations with arbitrary text.
#include <cstdint>
#include <string_view>

#include "runtime/file/driver_trace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tamsil::file::FileTraceOptions options;
  if (tamsil::file::applyTraceCommand(text, {}, options) && options.logFile.empty()) __builtin_trap();
  tamsil::file::splitRegistryLocation(text);
  return 0;
}
