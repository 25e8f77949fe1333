#include "platform/com/com.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/system/registry.h"

namespace platform {

namespace {

// Class objects registered by the components loaded in this process.
struct ClassObjects {
  std::mutex mutex;
  std::map<DWORD, std::pair<CLSID, ComPtr<IUnknown>>> byCookie;
  DWORD next = 1;
};

// Never destroyed: a component's class object may itself be a static that is gone by the time
// the process's statics are torn down, so the table must not release anything then.
ClassObjects& classObjects() {
  static ClassObjects& c = *new ClassObjects;
  return c;
}

std::string narrow(const OLECHAR* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 0x80 ? char(*text) : '?';
  return out;
}

// Reads exactly `digits` hexadecimal digits at text[at].
bool hex(std::string_view text, size_t at, size_t digits, std::uint64_t* value) {
  if (at + digits > text.size()) return false;
  *value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    const char c = text[i];
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    *value = *value * 16 + std::uint64_t(d);
  }
  return true;
}

// The default value of a key under HKEY_CLASSES_ROOT, or empty.
std::string classesValue(const std::string& subKey, const char* valueName = nullptr) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != 0) return {};
  DWORD type = 0, size = 0;
  std::string text;
  if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == 0 && type == REG_SZ) {
    text.resize(size);
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) == 0) text.resize(text.find('\0'));
    else text.clear();
  }
  RegCloseKey(key);
  return text;
}

// Whether the key exists and, when a value is named or given, holds it as text already.
bool classesValueHolds(const std::string& subKey, const char* valueName, const std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != 0) return false;
  bool holds = !valueName && value.empty();
  DWORD type = 0, size = 0;
  if (!holds && RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == 0 && type == REG_SZ && size == value.size() + 1) {
    std::string text(size, '\0');
    holds = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) == 0 &&
            std::string_view(text.data(), value.size()) == value;
  }
  RegCloseKey(key);
  return holds;
}

// Every change rewrites the registry's file, so an entry that already reads as wanted is left
// alone: registering a registered class on every start writes nothing.
LONG writeClassesValue(const std::string& subKey, const char* valueName, const std::string& value) {
  if (classesValueHolds(subKey, valueName, value)) return 0;
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (rc != 0) return rc;
  if (valueName || !value.empty())
    rc = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
  RegCloseKey(key);
  return rc;
}

struct MessageText {
  DWORD id;
  const char* text;
};

// The system's texts of the numbers the runtime reports; each ends in CR LF as FormatMessage's.
constexpr MessageText kMessages[] = {
    {0x00000000, "The operation completed successfully.\r\n"},
    {0x00000002, "The system cannot find the file specified.\r\n"},
    {0x00000003, "The system cannot find the path specified.\r\n"},
    {0x00000005, "Access is denied.\r\n"},
    {0x00000006, "The handle is invalid.\r\n"},
    {0x00000008, "Not enough memory resources are available to process this command.\r\n"},
    {0x00000020, "The process cannot access the file because it is being used by another process.\r\n"},
    {0x00000057, "The parameter is incorrect.\r\n"},
    {0x80004001, "Not implemented\r\n"},
    {0x80004002, "No such interface supported\r\n"},
    {0x80004003, "Invalid pointer\r\n"},
    {0x80004005, "Unspecified error\r\n"},
    {0x8000FFFF, "Catastrophic failure\r\n"},
    {0x8007000E, "Not enough memory resources are available to complete this operation.\r\n"},
    {0x80070057, "The parameter is incorrect.\r\n"},
    {0x80020001, "Unknown interface.\r\n"},
    {0x80020003, "Member not found.\r\n"},
    {0x80020004, "Parameter not found.\r\n"},
    {0x80020005, "Type mismatch.\r\n"},
    {0x80020006, "Unknown name.\r\n"},
    {0x80020007, "No named arguments.\r\n"},
    {0x80020008, "Bad variable type.\r\n"},
    {0x80020009, "Exception occurred.\r\n"},
    {0x8002000A, "Out of present range.\r\n"},
    {0x8002000E, "Invalid number of parameters.\r\n"},
    {0x8002000F, "Parameter not optional.\r\n"},
    {0x80040110, "Class does not support aggregation (or class object is remote)\r\n"},
    {0x80040111, "ClassFactory cannot supply requested class\r\n"},
    {0x80040154, "Class not registered\r\n"},
    {0x800401F3, "Invalid class string\r\n"},
};

}  // namespace

std::string GuidText(const GUID& g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

int StringFromGUID2(const GUID& guid, OLECHAR* text, int size) {
  const std::string s = GuidText(guid);
  if (!text || size < int(s.size()) + 1) return 0;
  for (size_t i = 0; i < s.size(); ++i) text[i] = OLECHAR(s[i]);
  text[s.size()] = 0;
  return int(s.size()) + 1;
}

HRESULT CLSIDFromStringA(std::string_view t, CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  std::uint64_t a, b, c, d, e;
  if (t.size() != 38 || t[0] != '{' || t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-' || t[37] != '}' || !hex(t, 1, 8, &a) ||
      !hex(t, 10, 4, &b) || !hex(t, 15, 4, &c) || !hex(t, 20, 4, &d) || !hex(t, 25, 12, &e))
    return CO_E_CLASSSTRING;
  CLSID g;
  g.Data1 = std::uint32_t(a), g.Data2 = std::uint16_t(b), g.Data3 = std::uint16_t(c);
  g.Data4[0] = std::uint8_t(d >> 8), g.Data4[1] = std::uint8_t(d);
  for (int i = 0; i < 6; ++i) g.Data4[2 + i] = std::uint8_t(e >> (8 * (5 - i)));
  *clsid = g;
  return S_OK;
}

HRESULT CLSIDFromString(const OLECHAR* text, CLSID* clsid) { return text ? CLSIDFromStringA(narrow(text), clsid) : E_INVALIDARG; }

HRESULT CLSIDFromProgIDA(std::string_view progId, CLSID* clsid) {
  if (!clsid) return E_INVALIDARG;
  if (progId.empty()) return CO_E_CLASSSTRING;
  const std::string text = classesValue(std::string(progId) + "\\CLSID");
  return text.empty() ? CO_E_CLASSSTRING : CLSIDFromStringA(text, clsid);
}

HRESULT CLSIDFromProgID(const OLECHAR* progId, CLSID* clsid) { return progId ? CLSIDFromProgIDA(narrow(progId), clsid) : E_INVALIDARG; }

std::string ProgIDFromCLSIDA(const CLSID& clsid) { return classesValue("CLSID\\" + GuidText(clsid) + "\\ProgID"); }

std::string ClassThreadingModel(const CLSID& clsid) { return classesValue("CLSID\\" + GuidText(clsid) + "\\InprocServer32", "ThreadingModel"); }

bool ClassHasKey(const CLSID& clsid, std::string_view subKey) {
  HKEY key = nullptr;
  const std::string path = "CLSID\\" + GuidText(clsid) + "\\" + std::string(subKey);
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != 0) return false;
  RegCloseKey(key);
  return true;
}

HRESULT RegisterComponentClass(const ComponentClass& cls, DWORD* cookie) {
  if (cls.progId.empty() || !cls.factory) return E_INVALIDARG;
  const std::string clsid = GuidText(cls.clsid);
  const std::string classKey = "CLSID\\" + clsid;
  const LONG rc[] = {
      writeClassesValue(cls.progId, nullptr, cls.name),
      writeClassesValue(cls.progId + "\\CLSID", nullptr, clsid),
      writeClassesValue(classKey, nullptr, cls.name),
      writeClassesValue(classKey + "\\ProgID", nullptr, cls.progId),
      writeClassesValue(classKey + "\\InprocServer32", "ThreadingModel", cls.threadingModel),
      cls.control ? writeClassesValue(classKey + "\\Control", nullptr, "") : 0,
  };
  for (const LONG r : rc)
    if (r != 0) return HRESULT(0x80070000u | DWORD(r));  // HRESULT_FROM_WIN32
  return CoRegisterClassObject(cls.clsid, cls.factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, cookie);
}

HRESULT CoRegisterClassObject(const CLSID& clsid, IUnknown* factory, DWORD, DWORD, DWORD* cookie) {
  if (!factory || !cookie) return E_INVALIDARG;
  ClassObjects& c = classObjects();
  std::lock_guard lock(c.mutex);
  *cookie = c.next++;
  c.byCookie[*cookie] = {clsid, ComPtr<IUnknown>(factory)};
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
  ComPtr<IUnknown> factory;  // released after the lock, so a factory's destructor may call in again
  {
    ClassObjects& c = classObjects();
    std::lock_guard lock(c.mutex);
    auto it = c.byCookie.find(cookie);
    if (it == c.byCookie.end()) return E_INVALIDARG;
    factory = std::move(it->second.second);
    c.byCookie.erase(it);
  }
  return S_OK;
}

HRESULT CoGetClassObject(const CLSID& clsid, DWORD, void*, const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ComPtr<IUnknown> factory;
  {
    ClassObjects& c = classObjects();
    std::lock_guard lock(c.mutex);
    for (auto& [cookie, entry] : c.byCookie)
      if (entry.first == clsid) {
        factory = entry.second;
        break;
      }
  }
  if (!factory) return REGDB_E_CLASSNOTREG;
  return factory->QueryInterface(iid, object);
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  ComPtr<IClassFactory> factory;
  if (const HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, factory.put()); FAILED(hr)) return hr;
  return factory->CreateInstance(outer, iid, object);
}

std::string SystemMessageText(DWORD id) {
  for (const MessageText& m : kMessages)
    if (m.id == id) return m.text;
  return {};
}

DWORD FormatMessageA(DWORD flags, const void*, DWORD id, DWORD, char* buffer, DWORD size, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer || size == 0) return 0;
  const std::string text = SystemMessageText(id);
  if (text.empty() || text.size() + 1 > size) return 0;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return DWORD(text.size());
}

}  // namespace platform
