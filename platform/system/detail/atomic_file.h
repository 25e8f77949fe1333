// Writing a whole file so that readers see either the old contents or the new ones, never half:
// the text goes to a temporary file beside the target, which is then renamed over it.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform::detail {

// Creates missing parent folders; false when the file could not be written (the old one stays).
// The temporary file's name carries the process id, so writers in several processes never share
// one. A caller holding a lock that keeps every other writer of path out passes `sole`: the
// temporary file then has a fixed name, so one left behind by a writer that was killed is reused
// by the next write instead of staying beside the file for good.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view contents, bool sole = false);

}  // namespace platform::detail
