// Registry values as texts, for the store's registry mode: a key below a root opened or created
// for each call, the value read, written as a string or deleted. Texts are read up to a NUL.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsil::framework {

// The root key a store's EXTRADATA names: 0 stands for HKEY_CLASSES_ROOT (0x80000000).
std::uintptr_t registryRoot(std::uint32_t extraData);

// The value's text (a number value in decimal), empty when the key or the value is missing.
std::string readRegistryText(std::uintptr_t root, std::string_view key, std::string_view name);
// Stores a string value, creating the key as needed; false when the registry refused.
bool writeRegistryText(std::uintptr_t root, std::string_view key, std::string_view name, std::string_view value);
// Removes the value; true also when it was not there.
bool deleteRegistryValue(std::uintptr_t root, std::string_view key, std::string_view name);

}  // namespace tamsil::framework
