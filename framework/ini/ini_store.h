// IniStore: the program's small named settings, values grouped by section and entry name, kept in
// an INI file (the platform's profile functions), in the registry, or nowhere. Window procedures
// use it to remember a window's place, size and maximized/minimized state between runs
// (window_record.cpp); the object also keeps one list of (family, item, type) triples, the sector
// list, in the section "__Dont_Touch_Me__".
//
// Every operation holds CRITSECT for its whole duration, so threads may share one store; a caller
// that needs several operations to happen together holds it too (it is recursive).
//
// Names and values never add lines to the file: a section, entry name or value holding a line
// break or a NUL is refused (the write answers false and the stored state stays as it was), and so
// is a section holding ']' or an entry name holding '=' or beginning with '[' or ';', which the
// file would read back as something else.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/queue/thread.h"

namespace tamsil::window {
class Window;
}

namespace tamsil::framework {

// Where the values are kept (the NVTYPE field).
enum class StorageKind : std::int32_t {
  IniFile = 0,   // an INI file; an empty file name means the platform's "win.ini"
  Registry = 1,  // registry values under EXTRADATA\FILENAME\section
  Nothing = 2,   // nothing is stored; reads give the empty text
};

// The section and list name under which Open and Close keep the sector list.
inline constexpr std::string_view kSectorSection = "__Dont_Touch_Me__";
inline constexpr std::string_view kSectorListName = "Sectors";
// What ReadOrUnknown answers for an absent entry.
inline constexpr std::string_view kUnknownValue = "---Unknown---";

inline constexpr std::size_t kFileNameSize = 260;      // FILENAME, with its terminating NUL
inline constexpr std::size_t kValueBufferSize = 1024;  // a read returns at most 1023 characters
inline constexpr std::size_t kUnknownCut = 1000;       // ReadOrUnknown's longest answer
inline constexpr std::size_t kSectorFieldSize = 100;   // each sector field, with its NUL

// One entry of the sector list.
struct Sector {
  std::string FAMILY, ITEM, TYPE;
  bool operator==(const Sector&) const = default;
};

// A window's place, size and state as SaveWindow stores it and RestoreWindow reads it: the frame's
// position and the client size in the window's dialog units.
inline constexpr std::int32_t kUnknownCoordinate = std::int32_t(0x80000000);
struct WindowRecord {
  std::int32_t X = kUnknownCoordinate, Y = kUnknownCoordinate, W = kUnknownCoordinate, H = kUnknownCoordinate;
  std::uint8_t MAXIMIZED = 0, MINIMIZED = 0;
  std::uint8_t GOT = 0;  // 1 when a stored record was found
};

// True when the text may be stored as a section name, an entry name or a value.
bool isStorableSection(std::string_view section);
bool isStorableName(std::string_view name);
bool isStorableValue(std::string_view value);

// The n-th comma-separated item of text, counting from 1; empty when there are fewer items.
std::string_view commaItem(std::string_view text, int n);

class IniStore {
 public:
  IniStore() = default;
  virtual ~IniStore();
  IniStore(const IniStore&) = delete;
  IniStore& operator=(const IniStore&) = delete;

  // Reads one value; the default when the entry is absent (or, in the registry, empty).
  virtual std::string ReadValue(std::string_view sector, std::string_view name, std::string_view defaultValue, std::string_view fileName);
  // Writes one value; false when it was refused or could not be stored.
  virtual bool WriteValue(std::string_view sector, std::string_view name, std::string_view value);
  // Called by Open once the fields are set and before the sector list is read.
  virtual void AfterOpen() {}
  // Called by the program once at shutdown before the object is released; stores nothing here.
  virtual void Flush() {}

  // Sets the fields (the file name cut to 259 characters), makes the sector list and reads it
  // back from the store. extraData is the registry's root key (0: HKEY_CLASSES_ROOT).
  void Open(std::string_view fileName, StorageKind kind, std::uint32_t extraData = 0);
  // Writes the sector list back and lets it go; a second Close does nothing.
  void Close();

  std::string Read(std::string_view sector, std::string_view name);           // default: empty
  std::string ReadOrUnknown(std::string_view sector, std::string_view name);  // "---Unknown---"
  // The n-th comma-separated item of ReadOrUnknown (counting from 1).
  std::string ReadItem(std::string_view sector, std::string_view name, int n);
  // Reads into a variable of its own type with its current value as the default, so an absent
  // entry, or one whose text is no value of that type, leaves it unchanged.
  template <class T>
  void ReadInto(std::string_view sector, std::string_view name, T& variable);
  template <class T>
  bool Write(std::string_view sector, std::string_view name, const T& value);
  bool RemoveEntry(std::string_view sector, std::string_view name);

  // A list of rows kept as entry `name` (the row count) and `name`_1 ... `name`_n, each holding
  // the given fields joined by ','. A list that would not read back as it was (a field holding a
  // ',', a line break or a NUL, or a row longer than a read returns) is refused before anything
  // is written. LoadList appends the rows it finds to the list; a missing row ends it.
  template <class Row, class... Fields>
  bool SaveList(std::string_view sector, std::string_view name, const std::vector<Row>& list, Fields Row::*... fields);
  template <class Row, class... Fields>
  void LoadList(std::string_view sector, std::string_view name, std::vector<Row>& list, Fields Row::*... fields);

  // The window's place, size and state under `sector` (window_record.cpp). SaveWindow stores
  // nothing for a window that is not open (it would wipe the stored place); RestoreWindow leaves
  // the window at its design place when no valid record is stored.
  bool SaveWindow(std::string_view sector, tamsil::window::Window& window);
  void RestoreWindow(std::string_view sector, tamsil::window::Window& window);
  // "Maximize" and "Minimize" as "Yes"/"No", then "XPos", "YPos", "Width" and "Height", each
  // written when known and removed when not.
  bool StoreWindowRecord(std::string_view sector, const WindowRecord& record);
  // GOT is set to 0 (and the rest left untouched) unless "Maximize" holds "Yes" or "No".
  void LoadWindowRecord(std::string_view sector, WindowRecord& record);

  // The object's fields, as its descriptor names them. Read them while holding CRITSECT when
  // other threads use the store.
  std::string FILENAME;                        // INI file name, or the registry key prefix
  std::optional<std::vector<Sector>> SECTORS;  // the sector list, from Open to Close
  StorageKind NVTYPE = StorageKind::IniFile;
  std::uint32_t EXTRADATA = 0;  // registry mode: the root key, 0 for HKEY_CLASSES_ROOT
  mutable platform::CriticalSection CRITSECT;

 private:
  // One stored row of a list, nothing when the entry is absent.
  std::optional<std::string> readRow(std::string_view sector, std::string_view name);
  template <class Row, class... Fields>
  static std::optional<std::vector<std::string>> joinRows(const std::vector<Row>& list, Fields Row::*... fields);
};

namespace detail {

// Text forms of the types ReadInto and Write take: strings as they are, bool as 1 or 0, numbers
// in plain decimal.
template <class T>
std::string toText(const T& value) {
  if constexpr (std::is_convertible_v<const T&, std::string_view>) return std::string(std::string_view(value));
  else if constexpr (std::is_same_v<T, bool>) return value ? "1" : "0";
  else return std::to_string(value);
}

// The text read back as a T: leading and trailing blanks ignored, the whole rest must be a value
// of the type (a number in range); nothing otherwise.
template <class T>
std::optional<T> fromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if constexpr (std::is_same_v<T, std::string>) {
    return std::string(text);
  } else {
    using Number = std::conditional_t<std::is_same_v<T, bool>, int, T>;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    Number n{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if constexpr (std::is_same_v<T, bool>) return n != 0;
    else return n;
  }
}

}  // namespace detail

template <class T>
void IniStore::ReadInto(std::string_view sector, std::string_view name, T& variable) {
  platform::CriticalSectionLock hold(CRITSECT);
  const std::string current = detail::toText(variable);
  if (const auto v = detail::fromText<T>(ReadValue(sector, name, current, FILENAME))) variable = *v;
}

template <class T>
bool IniStore::Write(std::string_view sector, std::string_view name, const T& value) {
  return WriteValue(sector, name, detail::toText(value));
}

template <class Row, class... Fields>
std::optional<std::vector<std::string>> IniStore::joinRows(const std::vector<Row>& list, Fields Row::*... fields) {
  static_assert(sizeof...(fields) >= 1 && sizeof...(fields) <= 4, "a list row keeps one to four fields");
  static_assert((std::is_same_v<Fields, std::string> && ...), "list fields are texts");
  std::vector<std::string> rows;
  for (const Row& row : list) {
    std::string text;
    bool first = true;
    bool fits = true;
    ((fits = fits && (row.*fields).find(',') == std::string::npos, text += first ? "" : ",", text += row.*fields, first = false), ...);
    if (!fits || !isStorableValue(text) || text.size() >= kValueBufferSize) return std::nullopt;
    rows.push_back(std::move(text));
  }
  return rows;
}

template <class Row, class... Fields>
bool IniStore::SaveList(std::string_view sector, std::string_view name, const std::vector<Row>& list, Fields Row::*... fields) {
  platform::CriticalSectionLock hold(CRITSECT);
  const auto rows = joinRows(list, fields...);
  if (!rows) return false;
  bool stored = Write(sector, name, rows->size());
  for (std::size_t i = 0; i < rows->size(); ++i) stored = Write(sector, std::string(name) + "_" + std::to_string(i + 1), (*rows)[i]) && stored;
  return stored;
}

template <class Row, class... Fields>
void IniStore::LoadList(std::string_view sector, std::string_view name, std::vector<Row>& list, Fields Row::*... fields) {
  platform::CriticalSectionLock hold(CRITSECT);
  const long count = detail::fromText<long>(Read(sector, name)).value_or(0);
  for (long i = 1; i <= count; ++i) {
    // A missing row ends the list: a damaged count cannot make Open read for ever.
    const std::optional<std::string> value = readRow(sector, std::string(name) + "_" + std::to_string(i));
    if (!value) break;
    Row row{};
    int k = 0;
    ((row.*fields = std::string(commaItem(*value, ++k))), ...);
    list.push_back(std::move(row));
  }
}

}  // namespace tamsil::framework
