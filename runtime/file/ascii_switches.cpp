#include "runtime/file/ascii_switches.h"

#include <algorithm>

#include "runtime/value/locale.h"

namespace tamsil::file {

namespace {

struct SwitchEntry {
  std::string_view name;
  SwitchName which;
};

constexpr SwitchEntry kSwitches[] = {
    {"FILEBUFFERS", SwitchName::FileBuffers}, {"QUICKSCAN", SwitchName::QuickScan},     {"CLIP", SwitchName::Clip},
    {"CTRLZISEOF", SwitchName::CtrlZIsEof},   {"ENDOFRECORD", SwitchName::EndOfRecord}, {"TAB", SwitchName::Tab},
};

constexpr std::uint64_t kMaxBufferBlocks = 8'388'607;
constexpr std::uint64_t kOversizedBuffer = 4'294'967'263;
constexpr std::int64_t kNumberLimit = 1'000'000'000'000;  // numbers saturate here

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The next number in text: characters before it that are not digits are skipped (a '-' right
// before a digit makes it negative when negatives are allowed). Moves text past the number.
std::optional<std::int64_t> readNumber(std::string_view& text, bool allowNegative) {
  std::size_t i = 0;
  bool negative = false;
  for (; i < text.size() && !isDigit(text[i]); ++i) {}
  if (i == text.size()) {
    text = {};
    return std::nullopt;
  }
  if (allowNegative && i > 0 && text[i - 1] == '-') negative = true;
  std::int64_t n = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) n = std::min(kNumberLimit, n * 10 + (text[i] - '0'));
  text.remove_prefix(i);
  return negative ? -n : n;
}

std::optional<bool> readOnOff(std::string_view value) {
  if (value == "ON") return true;
  if (value == "OFF") return false;
  return std::nullopt;
}

const char* onOff(bool on) { return on ? "ON" : "OFF"; }

enum class ValueCheck { Good, Missing, Incorrect };

// Reads an ENDOFRECORD value "n,c1,...,cn" into the delimiter it describes.
ValueCheck readDelimiter(std::string_view value, std::string& delimiter) {
  const auto count = readNumber(value, false);
  if (!count) return ValueCheck::Missing;
  if (*count < 1 || std::uint64_t(*count) > kMaxDelimiterLength) return ValueCheck::Incorrect;
  std::string bytes;
  for (std::int64_t i = 0; i < *count; ++i) {
    const auto code = readNumber(value, false);
    if (!code) return ValueCheck::Missing;
    if (*code > 255) return ValueCheck::Incorrect;
    bytes.push_back(char(*code));
  }
  delimiter = bytes;
  return ValueCheck::Good;
}

// Reads the value of a known switch into settings (left as they were unless Good).
ValueCheck readValue(SwitchName which, std::string_view value, AsciiSwitches& settings) {
  if (value.empty()) return ValueCheck::Missing;
  switch (which) {
    case SwitchName::FileBuffers: {
      const auto blocks = readNumber(value, false);
      if (!blocks) return ValueCheck::Incorrect;
      settings.bufferBytes = bufferBytesFor(std::uint64_t(*blocks));
      return ValueCheck::Good;
    }
    case SwitchName::QuickScan:
    case SwitchName::Clip:
    case SwitchName::CtrlZIsEof: {
      const auto on = readOnOff(value);
      if (!on) return ValueCheck::Incorrect;
      bool& flag = which == SwitchName::QuickScan ? settings.quickScan : which == SwitchName::Clip ? settings.clip : settings.ctrlZIsEof;
      flag = *on;
      return ValueCheck::Good;
    }
    case SwitchName::EndOfRecord: return readDelimiter(value, settings.delimiter);
    case SwitchName::Tab: {
      const auto tab = readNumber(value, true);
      if (!tab || *tab > 32767 || *tab < -32768) return ValueCheck::Incorrect;
      settings.tab = int(*tab);
      settings.tabSet = true;
      return ValueCheck::Good;
    }
    case SwitchName::Unknown: break;
  }
  return ValueCheck::Incorrect;
}

std::string currentValue(SwitchName which, const AsciiSwitches& settings) {
  switch (which) {
    case SwitchName::FileBuffers: return std::to_string(settings.bufferBytes);
    case SwitchName::QuickScan: return onOff(settings.quickScan);
    case SwitchName::Clip: return onOff(settings.clip);
    case SwitchName::CtrlZIsEof: return onOff(settings.ctrlZIsEof);
    case SwitchName::EndOfRecord: return settings.delimiter;
    case SwitchName::Tab: return std::to_string(settings.tab);
    case SwitchName::Unknown: break;
  }
  return {};
}

}  // namespace

SwitchName Switch::which() const {
  for (const SwitchEntry& e : kSwitches)
    if (e.name == name) return e.which;
  return SwitchName::Unknown;
}

std::string normaliseDriverString(std::string_view text) {
  const LocaleData& locale = loadLocale();
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != ' ') out.push_back(char(locale.toUpper(std::uint8_t(c))));
  return out;
}

std::vector<Switch> parseDriverString(std::string_view text) {
  const std::string normal = normaliseDriverString(text);
  std::vector<Switch> switches;
  std::string_view rest = normal;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
    const std::string_view item = rest.substr(0, rest.find('/'));
    rest.remove_prefix(item.size());
    const std::size_t eq = item.find('=');
    Switch s;
    s.name = std::string(item.substr(0, eq));
    if (s.name.empty()) continue;
    s.hasValue = eq != std::string_view::npos;
    if (s.hasValue) s.value = std::string(item.substr(eq + 1));
    switches.push_back(std::move(s));
  }
  return switches;
}

std::uint64_t bufferBytesFor(std::uint64_t blocks) { return blocks > kMaxBufferBlocks ? kOversizedBuffer : blocks * kBufferBlock; }

std::optional<std::string> applySwitch(const Switch& s, AsciiSwitches& settings) {
  const SwitchName which = s.which();
  if (which == SwitchName::Unknown) return std::nullopt;
  std::string previous = currentValue(which, settings);
  if (s.hasValue) {
    AsciiSwitches changed = settings;
    if (readValue(which, s.value, changed) == ValueCheck::Good) settings = changed;
  }
  return previous;
}

std::vector<std::string> driverStringProblems(std::string_view text) {
  std::vector<std::string> problems;
  for (const Switch& s : parseDriverString(text)) {
    const SwitchName which = s.which();
    const std::string shown = "/" + s.name;
    if (which == SwitchName::Unknown) {
      problems.push_back(shown + " is not a valid switch");
      continue;
    }
    if (!s.hasValue) {
      problems.push_back(shown + " has no value");
      continue;
    }
    AsciiSwitches scratch;
    switch (readValue(which, s.value, scratch)) {
      case ValueCheck::Good: break;
      case ValueCheck::Missing: problems.push_back(shown + " has missing value"); break;
      case ValueCheck::Incorrect: problems.push_back(shown + " has an incorrect value of " + s.value + ".  Value ignored,"); break;
    }
  }
  return problems;
}

std::string composeDriverString(const AsciiSwitches& settings) {
  const AsciiSwitches defaults;
  std::string out;
  if (settings.bufferBytes != defaults.bufferBytes) out += "/FILEBUFFERS=" + std::to_string(settings.bufferBytes / kBufferBlock);
  if (settings.quickScan != defaults.quickScan) out += std::string("/QUICKSCAN=") + onOff(settings.quickScan);
  if (settings.clip != defaults.clip) out += std::string("/CLIP=") + onOff(settings.clip);
  if (settings.ctrlZIsEof != defaults.ctrlZIsEof) out += std::string("/CTRLZISEOF=") + onOff(settings.ctrlZIsEof);
  if (settings.delimiter != defaults.delimiter) {
    out += "/ENDOFRECORD=" + std::to_string(settings.delimiter.size());
    for (char c : settings.delimiter) out += "," + std::to_string(std::uint8_t(c));
  }
  if (settings.tab != defaults.tab) out += "/TAB=" + std::to_string(settings.tab);
  return out;
}

}  // namespace tamsil::file
