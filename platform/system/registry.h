// The registry: keys under the four root keys, each with named values of a type, kept per user
// in the file "registry.dat" in the profile directory. Calls have their Win32 meaning and error
// numbers; key and value names compare without case and keep the case they were created with.
// Every change is written through at once (a temporary file renamed over the old one), so a
// crash never loses a written value or leaves half a file.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t(0x80000003));

inline constexpr DWORD REG_NONE = 0, REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4, REG_MULTI_SZ = 7;
inline constexpr DWORD KEY_QUERY_VALUE = 0x1, KEY_SET_VALUE = 0x2, KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2;
inline constexpr LONG ERROR_MORE_DATA = 234, ERROR_NO_MORE_ITEMS = 259, ERROR_BADKEY = 1010;

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegCreateKeyExA(HKEY key, const char* subKey, DWORD reserved, char* className, DWORD options, DWORD access, void* security, HKEY* result,
                     DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Reads a value (null or empty name: the key's default value). With data null only the size and
// type are given; a buffer too small gives ERROR_MORE_DATA and the size needed.
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, const char* valueName);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise, as on the real platform).
LONG RegDeleteKeyA(HKEY key, const char* subKey);
// The index-th subkey's name or value's name (ERROR_NO_MORE_ITEMS past the last).
LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* className, DWORD* classSize, void* lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);

}  // namespace platform
