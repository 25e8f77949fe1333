#include "runtime/value/locale.h"

#include <algorithm>
#include <utility>

#include "platform/system/profile.h"
#include "runtime/value/calendar.h"
#include "runtime/value/codepage.h"
#include "runtime/value/picture_layout.h"

namespace tamsil {
namespace {

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
constexpr size_t kMaxMonthName = 12;
constexpr size_t kAbbreviation = 3;
constexpr size_t kAmPmLength = 2;

bool isWindows(std::string_view v) {
  constexpr std::string_view kWord = "WINDOWS";
  if (v.size() != kWord.size()) return false;
  for (size_t i = 0; i < v.size(); ++i)
    if ((v[i] & ~0x20) != kWord[i]) return false;
  return true;
}

void applyNames(std::array<std::string, 12>& names, const std::vector<std::string>& items, size_t width) {
  for (size_t i = 0; i < items.size() && i < names.size(); ++i)
    if (!items[i].empty()) names[i] = items[i].substr(0, width);
}

// TSLCOLSEQ: the listed characters take, in the order listed, the places that they occupy in the
// identity order; characters not listed keep their own places.
void applyCollation(std::array<uint8_t, 256>& weights, const std::optional<std::string>& sequence) {
  for (int c = 0; c < 256; ++c) weights[size_t(c)] = uint8_t(c);
  if (!sequence || sequence->empty()) return;
  if (isWindows(*sequence)) {
    weights = ansiSortWeights();
    return;
  }
  std::vector<uint8_t> listed;
  bool seen[256] = {};
  for (char ch : *sequence) {
    const auto c = uint8_t(ch);
    if (!seen[c]) listed.push_back(c), seen[c] = true;
  }
  std::vector<uint8_t> places = listed;
  std::sort(places.begin(), places.end());
  for (size_t i = 0; i < listed.size(); ++i) weights[listed[i]] = places[i];
}

void applyCase(LocaleData& l, const std::optional<std::vector<std::string>>& lists) {
  for (int c = 0; c < 256; ++c) l.otherCase[size_t(c)] = uint8_t(c);
  auto pair = [&](uint8_t up, uint8_t low) {
    l.otherCase[up] = low, l.otherCase[low] = up;
    l.charClass[up] = kClassUpper, l.charClass[low] = kClassLower;
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(uint8_t(c), uint8_t(c + 32));
  for (int c = '0'; c <= '9'; ++c) l.charClass[size_t(c)] = kClassDigit;
  if (!lists) return;
  if (lists->size() == 2 && (*lists)[0].size() == (*lists)[1].size() && !isWindows((*lists)[0])) {
    for (size_t i = 0; i < (*lists)[0].size(); ++i) {
      const auto up = uint8_t((*lists)[0][i]), low = uint8_t((*lists)[1][i]);
      if (up > 127 && low > 127) pair(up, low);
    }
    return;
  }
  for (int c = 128; c < 256; ++c) {
    const auto ch = uint8_t(c);
    if (ansiIsUpper(ch)) l.charClass[ch] = kClassUpper, l.otherCase[ch] = ansiOtherCase(ch);
    else if (ansiIsLower(ch)) l.charClass[ch] = kClassLower, l.otherCase[ch] = ansiOtherCase(ch);
  }
}

std::string twoCharacters(std::string s) { return s.substr(0, kAmPmLength); }

}  // namespace

LocaleData buildLocale(const IntlReader& intl, const Settings& settings, int currentYear) {
  LocaleData l;
  l.currentYear = currentYear;
  for (size_t i = 0; i < 12; ++i) {
    l.monthNames[i] = kMonthNames[i];
    l.monthAbbreviations[i] = l.monthNames[i].substr(0, kAbbreviation);
  }
  applyNames(l.monthNames, settings.monthNames, kMaxMonthName);
  applyNames(l.monthAbbreviations, settings.monthAbbreviations, kAbbreviation);

  const auto number = [&](const char* key, int def) {
    const std::string v = intl(key, std::to_string(def).c_str());
    return v.empty() || v[0] < '0' || v[0] > '9' ? def : v[0] - '0';
  };
  const bool twelveHour = number("iTime", 0) == 0;
  const bool leadingZero = number("iTLzero", 1) != 0;
  const std::string timeSep = intl("sTime", ":");
  const char sep = timeSep.empty() ? ':' : timeSep[0];
  l.localeAm = twoCharacters(intl("s1159", "AM"));
  l.localePm = twoCharacters(intl("s2359", "PM"));
  l.shortTime = localeTimePicture(7, twelveHour, leadingZero, sep);
  l.longTime = localeTimePicture(8, twelveHour, leadingZero, sep);
  l.shortDate = localeShortDatePicture(intl("sShortDate", "MM/dd/yy"));
  l.longDate = localeLongDatePicture(intl("sLongDate", "ddd', 'MMMM' 'dd', 'yyyy"));

  if (settings.amPm) {
    const std::vector<std::string>& items = *settings.amPm;
    if (!items.empty() && isWindows(items[0])) {
      l.am = l.localeAm, l.pm = l.localePm;
    } else {
      if (!items.empty()) l.am = twoCharacters(items[0]);
      if (items.size() > 1) l.pm = twoCharacters(items[1]);
    }
  }
  applyCollation(l.collation, settings.collationSequence);
  applyCase(l, settings.caseLists);
  for (const std::string& d : settings.digraphs) {
    if (d.size() < 3 || l.digraphs.size() == kMaxDigraphs) continue;
    l.digraphs.push_back({uint8_t(d[0]), uint8_t(d[1]), uint8_t(d[2])});
  }
  l.oem = settings.oem;
  l.longFileNames = settings.longFileNames;
  l.rightToLeft = settings.rightToLeft;
  l.systemCharset = settings.systemCharset;
  l.buttonCaptions = settings.buttonCaptions;
  l.messages = settings.messages;
  return l;
}

const LocaleData& loadLocale() {
  // A function-local static: the first caller builds it under the compiler's lock, others wait.
  static const LocaleData data = [] {
    const IntlReader intl = [](const char* key, const char* def) {
      char buf[256];
      const uint32_t n = platform::GetProfileStringA("intl", key, def, buf, sizeof buf);
      return std::string(buf, n);
    };
    return buildLocale(intl, readSettingsFile(settingsFilePath()), currentYear());
  }();
  return data;
}

int collatingCompare(const LocaleData& l, std::string_view a, std::string_view b) {
  // Each side yields collation weights one at a time, a digraph giving two.
  struct Reader {
    const LocaleData& l;
    std::string_view s;
    size_t i = 0;
    int pending = -1;  // the second weight of a digraph
    int next() {
      if (pending >= 0) return std::exchange(pending, -1);
      if (i == s.size()) return -1;
      const uint8_t c = l.toUpper(uint8_t(s[i++]));
      for (const Digraph& d : l.digraphs) {
        if (d.ch != c && l.toUpper(d.ch) != c) continue;
        pending = l.collation[l.toUpper(d.second)];
        return l.collation[l.toUpper(d.first)];
      }
      return l.collation[c];
    }
  };
  Reader x{l, a}, y{l, b};
  for (;;) {
    const int p = x.next(), q = y.next();
    if (p != q || p < 0) return p - q;
  }
}

int collatingCompare(std::string_view a, std::string_view b) { return collatingCompare(loadLocale(), a, b); }

std::optional<std::string_view> messageOverride(int n) {
  const LocaleData& l = loadLocale();
  const auto it = l.messages.find(n);
  if (it == l.messages.end()) return std::nullopt;
  return std::string_view(it->second);
}

std::optional<std::string_view> buttonCaptionOverride(int index) {
  const LocaleData& l = loadLocale();
  if (index < 0 || size_t(index) >= l.buttonCaptions.size() || l.buttonCaptions[size_t(index)].empty()) return std::nullopt;
  return std::string_view(l.buttonCaptions[size_t(index)]);
}

}  // namespace tamsil
