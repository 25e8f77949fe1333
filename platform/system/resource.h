// Resources embedded in the program: modules that carry typed, named blobs, and the Win32-style calls
// that find them. Window definitions are stored this way, so the runtime reads them from its own
// program file the way it would on the original platform. Generated code registers every embedded
// file at static initialisation (see cmake/EmbedResources.cmake); lookups are read-only afterwards.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform {

using LPCSTR = const char*;
using HGLOBAL = void*;

struct HINSTANCE__;  // a module; defined by the resource registry
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HRSRC__;  // one resource inside a module
using HRSRC = HRSRC__*;

// Win32 encodes a numeric resource id as a pointer value below 0x10000.
inline LPCSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

constexpr WORD kLanguageEnglishUS = 1033;

// The module of the running program (name nullptr), or a registered module by name, compared
// without case; nullptr when there is no such module.
HMODULE GetModuleHandleA(LPCSTR moduleName);
// The path of the program's file for the program's module (or null), cut to size - 1 characters
// and terminated; the length copied, 0 when it cannot be told or for a module without a file.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);

// Finds a resource by name and type. Either may be a text (compared without case; "#123" means
// the number 123) or a number made with MAKEINTRESOURCEA. A null module means the program's own.
// Returns nullptr when the module has no such resource.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);  // nullptr for a null resource
const void* LockResource(HGLOBAL loaded);              // the first byte of the resource's data
DWORD SizeofResource(HMODULE module, HRSRC resource);  // 0 for a null resource

// Registration, for generated code and for tests that need extra modules.
// The main module always exists; its name is empty. Module names compare without case.
HMODULE RegisterModule(std::string_view name);
// Adds a resource to a module. The bytes are not copied: they must outlive the registry (static
// arrays, or storage a test keeps alive). Returns false when the name or type is empty.
bool AddResource(HMODULE module, std::string_view type, std::string_view name, std::span<const unsigned char> bytes,
                 WORD language = kLanguageEnglishUS);
// Every module, the main module first, then in registration order.
std::vector<HMODULE> RegisteredModules();

// Registers one embedded file in the main module; generated code defines one of these per file.
struct ResourceRegistrar {
  ResourceRegistrar(std::string_view type, std::string_view name, std::span<const unsigned char> bytes);
};

}  // namespace platform
