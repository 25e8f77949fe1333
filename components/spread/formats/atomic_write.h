// Files the grid writes replace their old version whole or not at all: the bytes go to a
// temporary file beside the target, which is then renamed over the target. The grid's own file
// (its only copy of a sheet) is also flushed to the disk before the rename, so it survives a
// power loss; exports, which can be made again, are not (the flush would cost more than the
// export).
#pragma once

#include <string>
#include <string_view>

namespace spread::files {

// A temporary name beside path, unique to this process.
std::string TempPathBeside(const std::string& path);
enum class Durability : bool { Renamed, Synced };
// Renames tmp to path (Synced: after flushing it to the disk); removes tmp when that fails.
[[nodiscard]] bool CommitTempFile(const std::string& tmp, const std::string& path, std::string* error,
                                  Durability durability = Durability::Renamed);
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                                       Durability durability = Durability::Renamed);
// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace spread::files
