// The registry file is the user's and may be damaged: reading must take any bytes, and what it
// keeps must survive being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/system/detail/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::detail::RegistryStore store;
  store.parse(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string once = store.serialize();
  platform::detail::RegistryStore again;
  if (again.parse(once) != 0 || again.serialize() != once) std::abort();
  return 0;
}
