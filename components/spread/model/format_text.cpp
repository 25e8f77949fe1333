// Text-holding cells (edit, picture mask, combo box) and the state cells (check box, button).
#include <algorithm>

#include "components/spread/model/cell_format.h"
#include "platform/ascii.h"

namespace spread {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isMaskPlace(char m) { return m == '9' || m == 'A' || m == 'N' || m == 'U' || m == 'L' || m == 'H' || m == 'X'; }

// Whether character c may stand in the mask place m, and what is kept there.
bool fitsPlace(char m, char c, char& kept) {
  kept = c;
  switch (m) {
    case '9': return isDigit(c);
    case 'A': return isLetter(c);
    case 'N': return isLetter(c) || isDigit(c);
    case 'U': return isLetter(c) && (kept = platform::ascii::toUpper(c), true);
    case 'L': return isLetter(c) && (kept = platform::ascii::toLower(c), true);
    case 'H': return isHex(c);
    default: return true;  // X
  }
}

bool inCharSet(CharSet set, char c) {
  switch (set) {
    case CharSet::Alpha: return isLetter(c) || c == ' ';
    case CharSet::AlphaNumeric: return isLetter(c) || isDigit(c) || c == ' ';
    case CharSet::Numeric: return isDigit(c) || c == '-' || c == '+' || c == '.';
    default: return true;
  }
}

}  // namespace

Parsed ParseMaskInput(std::string_view mask, std::string_view text) {
  if (text.empty() || mask.empty()) return {true, std::string(text), {}};
  const Parsed refused{false, {}, "\"" + std::string(text) + "\" does not fit the mask \"" + std::string(mask) + "\""};
  std::string out;
  // Typed with the literals: the same length as the mask, each literal in its place.
  if (text.size() == mask.size()) {
    bool fits = true;
    for (size_t i = 0; i < mask.size() && fits; ++i) {
      char kept;
      if (isMaskPlace(mask[i])) fits = fitsPlace(mask[i], text[i], kept), out += kept;
      else fits = text[i] == mask[i], out += mask[i];
    }
    if (fits) return {true, out, {}};
  }
  // Typed without them: one character for each place, the literals put in between.
  out.clear();
  size_t next = 0;
  for (char m : mask) {
    if (!isMaskPlace(m)) {
      out += m;
      continue;
    }
    char kept;
    if (next >= text.size() || !fitsPlace(m, text[next], kept)) return refused;
    out += kept;
    ++next;
  }
  if (next != text.size()) return refused;
  return {true, out, {}};
}

Parsed ParseEditInput(const Style& s, std::string_view text) {
  std::string out(text.substr(0, size_t(std::max(s.editLen, 0))));
  for (char& c : out) {
    if (!inCharSet(CharSet(s.editCharSet), c)) return {false, {}, "\"" + std::string(text) + "\" has a character TypeEditCharSet refuses"};
    if (s.editCharCase == std::int32_t(CharCase::Lower)) c = platform::ascii::toLower(c);
    else if (s.editCharCase == std::int32_t(CharCase::Upper)) c = platform::ascii::toUpper(c);
  }
  return {true, out, {}};
}

std::vector<std::string> ComboItems(const Style& s) {
  std::vector<std::string> items;
  if (s.comboList.empty()) return items;
  for (size_t start = 0;;) {
    const size_t tab = s.comboList.find('\t', start);
    items.push_back(s.comboList.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return items;
}

Parsed ParseComboInput(const Style& s, std::string_view text) {
  for (const std::string& item : ComboItems(s))
    if (platform::ascii::equalsNoCase(item, text)) return {true, item, {}};
  if (s.comboEditable) return {true, std::string(text), {}};
  return {false, {}, "\"" + std::string(text) + "\" is not an item of the list"};
}

Parsed ParseStateInput(const Style& s, std::string_view text) {
  using platform::ascii::equalsNoCase;
  if (text == "1" || text == "-1" || equalsNoCase(text, "True")) return {true, 1.0, {}};
  if (text == "0" || equalsNoCase(text, "False")) return {true, 0.0, {}};
  if (text == "2" && s.type() == CellType::CheckBox && s.checkType == std::int32_t(CheckType::ThreeState)) return {true, 2.0, {}};
  return {false, {}, "\"" + std::string(text) + "\" is not a state (0 or 1)"};
}

}  // namespace spread
