// The component model's services: class identifiers and their texts, the class registry
// (ProgID to CLSID, threading model, the "Control" key, kept in the registry under
// HKEY_CLASSES_ROOT), class objects that components register when they load (like a
// self-registering in-process server), object creation, and the system's message texts.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/hresult.h"
#include "platform/com/unknown.h"
#include "platform/com/wide_text.h"

namespace platform {

using CLSID = GUID;

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1, CLSCTX_INPROC_HANDLER = 0x2, CLSCTX_LOCAL_SERVER = 0x4, CLSCTX_ALL = 0x17;
inline constexpr DWORD REGCLS_MULTIPLEUSE = 1;

// "{00020400-0000-0000-C000-000000000046}". StringFromGUID2 returns the characters written with
// the NUL, or 0 when the buffer is too small (it needs 39).
std::string GuidText(const GUID& guid);
int StringFromGUID2(const GUID& guid, OLECHAR* text, int size);
// Reads the braced form; CO_E_CLASSSTRING for anything else.
HRESULT CLSIDFromString(const OLECHAR* text, CLSID* clsid);
HRESULT CLSIDFromStringA(std::string_view text, CLSID* clsid);

// The class registered under a ProgID (HKEY_CLASSES_ROOT\ProgID\CLSID), CO_E_CLASSSTRING when
// none is; and back.
HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid);
HRESULT CLSIDFromProgIDA(std::string_view progId, CLSID* clsid);
std::string ProgIDFromCLSIDA(const CLSID& clsid);  // empty when none

// What the registry says of a class: the "ThreadingModel" of its InprocServer32 key (empty when
// none), and whether it has a sub-key such as "Control" or "Insertable".
std::string ClassThreadingModel(const CLSID& clsid);
bool ClassHasKey(const CLSID& clsid, std::string_view subKey);

// What a component writes for one of its classes, and the class object that makes its objects.
struct ComponentClass {
  CLSID clsid;
  std::string progId;          // "OVSpreadADO.ovSpread.6"
  std::string name;            // the class's description, the key's default value
  std::string threadingModel;  // "Apartment", "Both", ...
  bool control = false;        // an embeddable control: the "Control" key
  IClassFactory* factory = nullptr;
};
// Writes the class's registry entries and registers its class object for this process; the
// cookie revokes the class object again. S_OK, or the registry's failure.
HRESULT RegisterComponentClass(const ComponentClass& cls, DWORD* cookie);

HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* factory, DWORD context, DWORD flags, DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);
// The class object of a registered class (REGDB_E_CLASSNOTREG when no component registered one).
HRESULT CoGetClassObject(const CLSID& clsid, DWORD context, void* serverInfo, const IID& iid, void** object);
// An object of a registered class through its class factory.
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid, void** object);

// The system's text of a message number or HRESULT ("Class not registered\r\n"), as
// FormatMessage gives it; empty for a number it has no text for.
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x200, FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
std::string SystemMessageText(DWORD id);
DWORD FormatMessageA(DWORD flags, const void* source, DWORD id, DWORD language, char* buffer, DWORD size, void* arguments);

}  // namespace platform
