// Files the grid writes replace their old version whole or not at all: the bytes go to a
// temporary file beside the target, are flushed to the disk, and the temporary file is renamed
// over the target.
#pragma once

#include <string>
#include <string_view>

namespace spread::files {

// A temporary name beside path, unique to this process.
std::string TempPathBeside(const std::string& path);
// Flushes tmp to the disk and renames it to path; removes tmp when that fails.
bool CommitTempFile(const std::string& tmp, const std::string& path, std::string* error);
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);
// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace spread::files
