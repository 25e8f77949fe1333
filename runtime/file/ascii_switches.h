// The text driver's switches: the settings a driver string tunes (buffer size, quick scan, clip,
// Ctrl-Z as end of data, the end-of-record delimiter, tab expansion), the reading of a driver
// string into switches, and the check the driver string builder shows to a user.
//
// A driver string is a list of switches, each introduced by '/': "/NAME" or "/NAME=value". All
// blanks are removed and the text is upper-cased through the locale's case table before it is
// read, so names and values ignore case and spacing. Unknown switches and unreadable values are
// ignored by the driver; the builder names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsil::file {

inline constexpr std::size_t kMaxDelimiterLength = 16;
inline constexpr int kTabKeep = -100;  // TAB=-100 keeps a tab as a character
inline constexpr char kCtrlZ = 26;
// FILEBUFFERS counts blocks of this many bytes.
inline constexpr std::uint64_t kBufferBlock = 512;

struct AsciiSwitches {
  std::uint64_t bufferBytes = 512;  // requested; the file's buffer never holds less than a record and its delimiter
  bool quickScan = false;
  bool clip = true;
  bool ctrlZIsEof = true;
  std::string delimiter = "\r\n";
  int tab = 8;
  bool tabSet = false;  // TAB given explicitly
};

enum class SwitchName { FileBuffers, QuickScan, Clip, CtrlZIsEof, EndOfRecord, Tab, Unknown };

struct Switch {
  std::string name;  // as written, upper-cased: "TAB"
  bool hasValue = false;
  std::string value;  // after '=', upper-cased
  SwitchName which() const;
};

// Blanks removed, upper-cased through the locale's case table.
std::string normaliseDriverString(std::string_view text);

// The switches of a driver string, in order (empty names between two slashes are dropped).
std::vector<Switch> parseDriverString(std::string_view text);

// The bytes a FILEBUFFERS count asks for: n blocks of 512, a count above 8,388,607 gives
// 4,294,967,263 bytes.
std::uint64_t bufferBytesFor(std::uint64_t blocks);

// Applies one switch to the settings and returns the switch's value before it as SEND reports
// it: FILEBUFFERS the buffer size in bytes, QUICKSCAN, CLIP and CTRLZISEOF "ON" or "OFF",
// ENDOFRECORD the delimiter characters, TAB the number; nothing for an unknown switch. A switch
// without a value, or with a value that cannot be read, only reports.
std::optional<std::string> applySwitch(const Switch& s, AsciiSwitches& settings);

// The builder's check of a driver string: one line per switch it cannot take, each the switch
// followed by " is not a valid switch", " has no value", " has missing value" or " has an
// incorrect value of " with the value and ".  Value ignored,". Empty when the string is sound.
std::vector<std::string> driverStringProblems(std::string_view text);

// The driver string that gives these settings (only the switches that differ from the defaults
// of a file opened with default sharing), as the builder writes it back.
std::string composeDriverString(const AsciiSwitches& settings);

}  // namespace tamsil::file
