// Scripts come from files people write: the parser must answer any bytes with lines or errors.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/input/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)platform::script::parse(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
  return 0;
}
