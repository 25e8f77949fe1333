// The locale data of the process: month names, AM/PM texts, the locale pictures, the collation,
// case and class tables, digraphs and the settings of the ".ENV" file. loadLocale() fills it once
// per process on first use (under a lock; other threads wait) from the "intl" section of the
// platform profile (win.ini) and the settings file; afterwards it is read-only, so every accessor
// here is safe on any thread.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/value/picture.h"
#include "runtime/value/settings.h"

namespace tamsil {

// Bits of the class table.
enum CharClass : uint8_t { kClassUpper = 1, kClassLower = 2, kClassDigit = 4 };

// A character that collates as two: "ß" as "SS".
struct Digraph {
  uint8_t ch = 0;
  uint8_t first = 0, second = 0;
};

constexpr size_t kMaxDigraphs = 16;

struct LocaleData {
  std::array<std::string, 12> monthNames;          // up to 12 characters: "January"...
  std::array<std::string, 12> monthAbbreviations;  // 3 characters: "Jan"...
  std::string am = "AM", pm = "PM";                // the runtime's texts (TSLAMPM), 1-2 characters
  std::string localeAm = "AM", localePm = "PM";    // the platform's (s1159, s2359): @T7 and @T8
  CompiledPicture shortTime, longTime;             // @T7, @T8
  CompiledPicture shortDate, longDate;             // @D17, @D18
  std::array<uint8_t, 256> collation{};            // sort weight of each character (TSLCOLSEQ)
  std::array<uint8_t, 256> otherCase{};            // the other case of each letter, else itself
  std::array<uint8_t, 256> charClass{};            // CharClass bits
  std::vector<Digraph> digraphs;                   // TSLDIGRAPH, at most 16
  bool oem = false;                                // TSLCHARSET=OEM: text is in the OEM set
  int currentYear = 2000;                          // read once: two-digit years

  // Passed on to the window and message layers.
  bool longFileNames = false;
  bool rightToLeft = false;
  std::string systemCharset;
  std::vector<std::string> buttonCaptions;  // TSLBUTTON, in button order; empty: keep the default
  std::map<int, std::string> messages;      // TSLMSGn

  uint8_t toUpper(uint8_t c) const { return charClass[c] & kClassLower ? otherCase[c] : c; }
  uint8_t toLower(uint8_t c) const { return charClass[c] & kClassUpper ? otherCase[c] : c; }
};

// Reads one key of the profile's "intl" section, giving the default when absent.
using IntlReader = std::function<std::string(const char* key, const char* defaultValue)>;

// Builds the locale data from its sources; loadLocale() calls it once with the real ones.
LocaleData buildLocale(const IntlReader& intl, const Settings& settings, int currentYear);

// The process's locale data, loaded on first use.
const LocaleData& loadLocale();

// The collating comparison: both texts are upper-cased through the case table, digraphs are
// expanded, and the characters compare by collation weight; a text that is a prefix of the other
// sorts first. Negative, zero or positive as a is below, equal to or above b.
int collatingCompare(const LocaleData& locale, std::string_view a, std::string_view b);
int collatingCompare(std::string_view a, std::string_view b);

// The TSLMSGn text replacing runtime message number n, if the settings file gives one.
std::optional<std::string_view> messageOverride(int n);

// The TSLBUTTON caption replacing standard button `index` (0 OK, 1 Yes, 2 No, 3 Abort, 4 Retry,
// 5 Ignore, 6 Cancel, 7 Help), if the settings file gives a non-empty one.
std::optional<std::string_view> buttonCaptionOverride(int index);

}  // namespace tamsil
