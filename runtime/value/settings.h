// The runtime's settings file: the program's own path with its extension replaced by ".ENV",
// holding lines NAME=value. Parsing is a pure function of the file's bytes; the locale loader
// reads the file once per process and applies it (locale.h), where later code finds the results.
//
// File format: blanks in a name are ignored and a name has at most 31 characters (longer names
// are ignored); a value runs to the line end, is cut at 1,024 characters (the rest of a longer
// line is dropped) and loses trailing blanks and tabs; inside it "<n>" (n decimal, 0..255) is the
// character with code n and "<<" is '<' (a '<' starting neither stays as it is); a Ctrl-Z ends the
// file. Unknown names and lines without '=' are ignored. A later line overrides an earlier one.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamsil {

struct Settings {
  bool oem = false;                                   // TSLCHARSET=OEM
  std::optional<std::string> collationSequence;       // TSLCOLSEQ, commas included
  std::optional<std::vector<std::string>> caseLists;  // TSLCASE
  std::vector<std::string> monthNames;                // TSLMONTH
  std::vector<std::string> monthAbbreviations;        // TSLMON
  std::optional<std::vector<std::string>> amPm;       // TSLAMPM
  std::vector<std::string> digraphs;                  // TSLDIGRAPH
  std::vector<std::string> buttonCaptions;            // TSLBUTTON, in button order
  bool longFileNames = false;                         // TSLLFN=on
  std::string systemCharset;                          // TSLSYSTEMCHARSET
  bool rightToLeft = false;                           // TSLLAYOUT=RTL
  std::map<int, std::string> messages;                // TSLMSGn: message number -> text
};

// A value as a list: a value starting with '"' is a list of quoted items separated by commas
// (a doubled quote inside an item is one quote); otherwise items are separated by commas and lose
// surrounding blanks.
std::vector<std::string> splitSettingList(std::string_view value);

// Parses the file's bytes. When TSLCHARSET is OEM (anywhere in the file), every value except
// TSLCOLSEQ is converted from the OEM character set first. Names ignore case.
Settings parseSettings(std::string_view fileText);

// The settings file of this process: /proc/self/exe with its extension replaced by ".ENV".
std::filesystem::path settingsFilePath();

// Reads and parses a settings file; a missing or unreadable file gives the defaults.
Settings readSettingsFile(const std::filesystem::path& path);

}  // namespace tamsil
