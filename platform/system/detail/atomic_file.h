// Writing a whole file so that readers see either the old contents or the new ones, never half:
// the text goes to a temporary file beside the target, which is then renamed over it.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform::detail {

// Creates missing parent folders; false when the file could not be written (the old one stays).
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents);

}  // namespace platform::detail
