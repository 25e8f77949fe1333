#include "runtime/value/settings.h"

#include <fstream>
#include <iterator>

#include "platform/ascii.h"
#include "runtime/value/codepage.h"

namespace tamsil {
namespace {

constexpr size_t kMaxName = 31;
constexpr size_t kMaxValue = 1024;
constexpr char kEndOfFile = '\x1A';

struct RawSetting {
  std::string name;  // upper case, blanks removed
  std::string value;
};

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Expands "<n>" and "<<"; a '<' that starts neither is kept as it is.
std::string expandEscapes(std::string_view v) {
  std::string out;
  out.reserve(v.size());
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '<') {
      out.push_back(v[i]);
      continue;
    }
    if (i + 1 < v.size() && v[i + 1] == '<') {
      out.push_back('<');
      ++i;
      continue;
    }
    size_t j = i + 1;
    int code = 0;
    while (j < v.size() && v[j] >= '0' && v[j] <= '9' && code <= 255) code = code * 10 + (v[j++] - '0');
    if (j > i + 1 && j < v.size() && v[j] == '>' && code <= 255) {
      out.push_back(char(code));
      i = j;
    } else {
      out.push_back('<');
    }
  }
  return out;
}

std::vector<RawSetting> readLines(std::string_view text) {
  if (const size_t eof = text.find(kEndOfFile); eof != std::string_view::npos) text = text.substr(0, eof);
  std::vector<RawSetting> out;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    RawSetting s;
    for (char c : line.substr(0, eq))
      if (!isBlank(c)) s.name.push_back(upper(c));
    if (s.name.empty() || s.name.size() > kMaxName) continue;
    std::string_view value = line.substr(eq + 1);
    if (!value.empty() && value.back() == '\r') value.remove_suffix(1);
    value = value.substr(0, kMaxValue);
    while (!value.empty() && (isBlank(value.back()) || value.back() == '\r')) value.remove_suffix(1);
    s.value = expandEscapes(value);
    out.push_back(std::move(s));
  }
  return out;
}

using platform::ascii::equalsNoCase;

// A value that is one text rather than a list: the first quoted item when quoted, else as is
// (a message text may hold commas).
std::string singleValue(const std::string& value) {
  if (!value.empty() && value.front() == '"') {
    auto items = splitSettingList(value);
    return items.empty() ? std::string() : items.front();
  }
  return value;
}

// Parses "TSLMSG<digits>" into the message number.
std::optional<int> messageNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "TSLMSG";
  if (name.size() <= kPrefix.size() || name.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  int n = 0;
  for (char c : name.substr(kPrefix.size())) {
    if (c < '0' || c > '9' || n > 99'999'999) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

void apply(Settings& s, const RawSetting& r) {
  const std::string& v = r.value;
  const std::string& n = r.name;
  if (n == "TSLCHARSET") s.oem = equalsNoCase(singleValue(v), "OEM");
  else if (n == "TSLCOLSEQ") {
    std::string seq;
    if (!v.empty() && v.front() == '"')
      for (const std::string& item : splitSettingList(v)) seq += item;
    else seq = v;
    s.collationSequence = seq;
  } else if (n == "TSLCASE") s.caseLists = splitSettingList(v);
  else if (n == "TSLMONTH") s.monthNames = splitSettingList(v);
  else if (n == "TSLMON") s.monthAbbreviations = splitSettingList(v);
  else if (n == "TSLAMPM") s.amPm = splitSettingList(v);
  else if (n == "TSLDIGRAPH") s.digraphs = splitSettingList(v);
  else if (n == "TSLBUTTON") s.buttonCaptions = splitSettingList(v);
  else if (n == "TSLLFN") s.longFileNames = equalsNoCase(singleValue(v), "ON");
  else if (n == "TSLSYSTEMCHARSET") s.systemCharset = singleValue(v);
  else if (n == "TSLLAYOUT") s.rightToLeft = equalsNoCase(singleValue(v), "RTL");
  else if (const auto number = messageNumber(n)) s.messages[*number] = singleValue(v);
}

}  // namespace

std::vector<std::string> splitSettingList(std::string_view v) {
  std::vector<std::string> items;
  if (!v.empty() && v.front() == '"') {
    size_t i = 0;
    while (i < v.size()) {
      while (i < v.size() && v[i] != '"') ++i;  // skip commas and blanks between items
      if (i >= v.size()) break;
      std::string item;
      for (++i; i < v.size(); ++i) {
        if (v[i] != '"') item.push_back(v[i]);
        else if (i + 1 < v.size() && v[i + 1] == '"') item.push_back(v[++i]);
        else break;
      }
      ++i;
      items.push_back(std::move(item));
    }
    return items;
  }
  size_t start = 0;
  while (true) {
    const size_t comma = v.find(',', start);
    std::string_view item = v.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    while (!item.empty() && isBlank(item.front())) item.remove_prefix(1);
    while (!item.empty() && isBlank(item.back())) item.remove_suffix(1);
    items.emplace_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return items;
}

Settings parseSettings(std::string_view text) {
  std::vector<RawSetting> lines = readLines(text);
  Settings s;
  for (const RawSetting& r : lines)
    if (r.name == "TSLCHARSET") apply(s, r);
  if (s.oem)
    for (RawSetting& r : lines)
      if (r.name != "TSLCOLSEQ") r.value = oemToAnsi(r.value);
  for (const RawSetting& r : lines) apply(s, r);
  return s;
}

std::filesystem::path settingsFilePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.replace_extension(".ENV");
}

Settings readSettingsFile(const std::filesystem::path& path) {
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return parseSettings(text);
}

}  // namespace tamsil
