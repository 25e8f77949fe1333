// Private-profile (INI) files with the Win32 semantics the runtime relies on: sections and keys
// compared without case, a default when a key is absent, NUL-separated name lists ending in a
// double NUL, return values counting the characters copied. Text is single-byte (ANSI) as stored.
//
// A bare file name ("Kestrel24.INI") lives in the profile directory; a name with a '/' is a path
// used as is. The "Profile" functions without "Private" read and write "win.ini" there.
// Writes replace the file atomically (temporary file and rename), so a crash never leaves half a
// file, and hold a lock on the file across processes while they read, change and replace it, so
// two processes writing different keys never lose each other's change. All functions are safe to
// call from several threads.
//
// Only a regular file of at most kMaxProfileFileSize bytes is read. Anything else (a device, a
// pipe, a folder, a larger file) is refused: reads answer as if the file were empty (the default)
// and writes fail, so the file is never replaced by a one-line copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace platform {

constexpr size_t kMaxProfileFileSize = size_t(1) << 20;

// $TAMSIL_PROFILE_DIR, else $XDG_CONFIG_HOME/kestrel24, else ~/.config/kestrel24.
std::filesystem::path profileDirectory();

// Where a profile file name refers to: a bare name in profileDirectory(), a path as given.
std::filesystem::path profilePath(std::string_view fileName);

// Copies the value of key in section into buffer (size bytes with the terminating NUL) and
// returns the characters copied without the NUL. A null key copies the section's key names, a
// null section the section names, each NUL-terminated, the list ending with one more NUL. When
// the key is absent, defaultValue (without trailing blanks; null means "") is copied. Truncation:
// a value is cut to size - 1 characters and size - 1 returned; a list is cut so that it still
// ends in two NULs and size - 2 is returned. Quotes around a stored value are removed.
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, uint32_t size,
                                  const char* fileName);

// The key's value read as a decimal integer (leading blanks, optional sign; "0x" for hex);
// defaultValue when the key is absent, 0 when the value does not start with a number.
unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* fileName);

// Sets key in section to value, creating the file and section as needed. A null value deletes
// the key, a null key deletes the whole section. Returns non-zero on success, 0 when the section
// is null or the file cannot be written (all three null only flushes, which is a no-op here).
// Text that would not read back as written is refused with ERROR_INVALID_PARAMETER and nothing
// is written: a line break in any of the three (it would add lines, entries or sections), a ']'
// in the section, a '=' in the key or a key beginning with '[' or ';'.
int WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName);

// The same on "win.ini" in the profile directory.
uint32_t GetProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer, uint32_t size);
unsigned GetProfileIntA(const char* section, const char* key, int defaultValue);
int WriteProfileStringA(const char* section, const char* key, const char* value);

}  // namespace platform
