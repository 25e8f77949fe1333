// Conversions between the ANSI code page (Windows-1252, the only single-byte set the platform
// offers) and UTF-16, with the Win32 calling conventions of MultiByteToWideChar and
// WideCharToMultiByte. Pure functions apart from the thread's last-error value.
#pragma once

#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {

using WCHAR = char16_t;
using OLECHAR = WCHAR;

inline constexpr UINT CP_ACP = 0;  // the ANSI code page: Windows-1252 here
inline constexpr UINT CP_1252 = 1252;

// Every one of the 256 bytes has a UTF-16 unit (the five bytes 1252 leaves undefined map to the
// C1 controls of the same value, as on Win32), so the conversion never fails on data.
// cbMultiByte -1 means "up to and including the terminating NUL". cchWideChar 0 asks for the
// size needed. Returns the units written (or needed); 0 with the last error set to
// ERROR_INVALID_PARAMETER (unknown code page, null input, a size below -1, cbMultiByte 0) or
// ERROR_INSUFFICIENT_BUFFER (the output does not hold the result; nothing is reported as done).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* multiByte, int cbMultiByte, WCHAR* wide, int cchWideChar);

// The reverse. A unit without a 1252 byte becomes lpDefaultChar's first byte (or '?') and sets
// *usedDefaultChar; there is no best-fit mapping, so "Ā" becomes '?', not 'A'. Each unit of a
// surrogate pair is one unmappable unit. Sizes and errors as above.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int cchWideChar, char* multiByte, int cbMultiByte,
                        const char* defaultChar, BOOL* usedDefaultChar);

// The same conversions for whole strings (code page 1252, '?' for unmappable units).
std::u16string ansiToWide(std::string_view text);
std::string wideToAnsi(std::u16string_view text);

}  // namespace platform
