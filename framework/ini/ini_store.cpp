#include "framework/ini/ini_store.h"

#include "framework/ini/registry_text.h"
#include "platform/system/profile.h"

namespace tamsil::framework {

namespace {

bool holdsLineBreakOrNul(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

std::string cut(std::string_view text, std::size_t length) { return std::string(text.substr(0, length)); }

// The registry key of a section: FILENAME\sector, or the sector alone without a file name.
std::string registryKey(const std::string& fileName, std::string_view sector) {
  return fileName.empty() ? std::string(sector) : fileName + "\\" + std::string(sector);
}

// A value no entry can hold (a line break): what a read of an absent entry answers when the
// caller must tell absent from empty.
constexpr std::string_view kAbsent = "\n";

}  // namespace

bool isStorableSection(std::string_view section) { return !holdsLineBreakOrNul(section) && section.find(']') == std::string_view::npos; }

bool isStorableName(std::string_view name) {
  if (holdsLineBreakOrNul(name) || name.find('=') != std::string_view::npos) return false;
  const std::size_t first = name.find_first_not_of(" \t");
  return first == std::string_view::npos || (name[first] != '[' && name[first] != ';');
}

bool isStorableValue(std::string_view value) { return !holdsLineBreakOrNul(value); }

std::string_view commaItem(std::string_view text, int n) {
  if (n < 1) return {};
  for (; n > 1; --n) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
  return text.substr(0, text.find(','));
}

IniStore::~IniStore() = default;

std::string IniStore::ReadValue(std::string_view sector, std::string_view name, std::string_view defaultValue, std::string_view fileName) {
  platform::CriticalSectionLock hold(CRITSECT);
  // A name that cannot be stored is never found (and a NUL would cut it to another name).
  if (NVTYPE != StorageKind::Nothing && (!isStorableSection(sector) || !isStorableName(name))) return std::string(defaultValue);
  switch (NVTYPE) {
    case StorageKind::IniFile: {
      const std::string s(sector), n(name), d(defaultValue), f(fileName);
      char buffer[kValueBufferSize];
      if (f.empty()) platform::GetProfileStringA(s.c_str(), n.c_str(), d.c_str(), buffer, sizeof buffer);
      else platform::GetPrivateProfileStringA(s.c_str(), n.c_str(), d.c_str(), buffer, sizeof buffer, f.c_str());
      return buffer;
    }
    case StorageKind::Registry: {
      const std::string text = readRegistryText(registryRoot(EXTRADATA), registryKey(FILENAME, sector), name);
      return text.empty() ? std::string(defaultValue) : cut(text, kValueBufferSize - 1);
    }
    case StorageKind::Nothing: break;
  }
  return {};
}

bool IniStore::WriteValue(std::string_view sector, std::string_view name, std::string_view value) {
  platform::CriticalSectionLock hold(CRITSECT);
  if (NVTYPE == StorageKind::Nothing) return true;
  if (!isStorableSection(sector) || !isStorableName(name) || !isStorableValue(value)) return false;
  switch (NVTYPE) {
    case StorageKind::IniFile: {
      const std::string s(sector), n(name), v(value);
      if (FILENAME.empty()) return platform::WriteProfileStringA(s.c_str(), n.c_str(), v.c_str()) != 0;
      return platform::WritePrivateProfileStringA(s.c_str(), n.c_str(), v.c_str(), FILENAME.c_str()) != 0;
    }
    case StorageKind::Registry:
      if (value.empty()) return RemoveEntry(sector, name);
      return writeRegistryText(registryRoot(EXTRADATA), registryKey(FILENAME, sector), name, value);
    case StorageKind::Nothing: break;
  }
  return true;
}

bool IniStore::RemoveEntry(std::string_view sector, std::string_view name) {
  platform::CriticalSectionLock hold(CRITSECT);
  if (NVTYPE == StorageKind::Nothing) return true;
  if (!isStorableSection(sector) || !isStorableName(name)) return false;
  switch (NVTYPE) {
    case StorageKind::IniFile: {
      const std::string s(sector), n(name);
      if (FILENAME.empty()) return platform::WriteProfileStringA(s.c_str(), n.c_str(), nullptr) != 0;
      return platform::WritePrivateProfileStringA(s.c_str(), n.c_str(), nullptr, FILENAME.c_str()) != 0;
    }
    case StorageKind::Registry: return deleteRegistryValue(registryRoot(EXTRADATA), registryKey(FILENAME, sector), name);
    case StorageKind::Nothing: break;
  }
  return true;
}

void IniStore::Open(std::string_view fileName, StorageKind kind, std::uint32_t extraData) {
  platform::CriticalSectionLock hold(CRITSECT);
  EXTRADATA = extraData;
  NVTYPE = kind;
  FILENAME = cut(fileName, kFileNameSize - 1);
  SECTORS.emplace();
  AfterOpen();
  LoadList(kSectorSection, kSectorListName, *SECTORS, &Sector::FAMILY, &Sector::ITEM, &Sector::TYPE);
  for (Sector& s : *SECTORS)
    for (std::string* field : {&s.FAMILY, &s.ITEM, &s.TYPE}) field->resize(std::min(field->size(), kSectorFieldSize - 1));
}

void IniStore::Close() {
  platform::CriticalSectionLock hold(CRITSECT);
  if (!SECTORS) return;
  SaveList(kSectorSection, kSectorListName, *SECTORS, &Sector::FAMILY, &Sector::ITEM, &Sector::TYPE);
  SECTORS.reset();
}

std::string IniStore::Read(std::string_view sector, std::string_view name) {
  platform::CriticalSectionLock hold(CRITSECT);
  return ReadValue(sector, name, "", FILENAME);
}

std::string IniStore::ReadOrUnknown(std::string_view sector, std::string_view name) {
  platform::CriticalSectionLock hold(CRITSECT);
  return cut(ReadValue(sector, name, kUnknownValue, FILENAME), kUnknownCut);
}

std::string IniStore::ReadItem(std::string_view sector, std::string_view name, int n) {
  return std::string(commaItem(ReadOrUnknown(sector, name), n));
}

std::optional<std::string> IniStore::readRow(std::string_view sector, std::string_view name) {
  platform::CriticalSectionLock hold(CRITSECT);
  std::string value = ReadValue(sector, name, kAbsent, FILENAME);
  if (value == kAbsent) return std::nullopt;
  return value;
}

}  // namespace tamsil::framework
