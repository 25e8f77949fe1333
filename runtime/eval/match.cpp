#include "runtime/eval/match.h"

#include "runtime/eval/regex.h"
#include "runtime/eval/text_ops.h"
#include "runtime/value/locale.h"

namespace tamsil {

namespace {

bool sameChar(const LocaleData& l, char a, char b, bool ignoreCase) {
  if (a == b) return true;
  return ignoreCase && l.toUpper(uint8_t(a)) == l.toUpper(uint8_t(b));
}

bool equalTexts(const LocaleData& l, std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!sameChar(l, a[i], b[i], ignoreCase)) return false;
  return true;
}

char soundDigit(uint8_t upper) {
  static constexpr char kDigits[] = "01230120022455012623010202";  // A..Z
  return upper >= 'A' && upper <= 'Z' ? kDigits[upper - 'A'] : '0';
}

}  // namespace

bool wildcardMatch(std::string_view v, std::string_view p, bool ignoreCase) {
  const LocaleData& l = loadLocale();
  // A leading '*' makes the tail after the last '*' decide first: it must end the value.
  if (!p.empty() && p.front() == '*') {
    const std::string_view tail = p.substr(p.find_last_of('*') + 1);
    if (tail.size() > v.size()) return false;
    const std::string_view end = v.substr(v.size() - tail.size());
    for (size_t i = 0; i < tail.size(); ++i)
      if (tail[i] != '?' && !sameChar(l, tail[i], end[i], ignoreCase)) return false;
  }
  // The usual walk with one backtracking point: the most recent '*' takes one more character.
  size_t vi = 0, pi = 0, star = std::string_view::npos, resume = 0;
  while (vi < v.size()) {
    if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      resume = vi;
    } else if (pi < p.size() && (p[pi] == '?' || sameChar(l, p[pi], v[vi], ignoreCase))) {
      ++pi, ++vi;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      vi = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

std::string soundCode(std::string_view text) {
  const LocaleData& l = loadLocale();
  auto isLetter = [&](uint8_t c) { return (l.charClass[c] & (kClassUpper | kClassLower)) != 0; };
  size_t i = 0;
  while (i < text.size() && !isLetter(uint8_t(text[i]))) ++i;
  if (i == text.size()) return "!";
  const uint8_t first = l.toUpper(uint8_t(text[i]));
  const char firstDigit = soundDigit(first);
  std::string code(1, char(first));
  for (++i; i < text.size() && code.size() < 4; ++i) {
    const char d = soundDigit(l.toUpper(uint8_t(text[i])));
    if (d != '0' && d != firstDigit) code += d;
  }
  code.resize(4, '0');
  return code;
}

int64_t matchText(std::string_view value, std::string_view pattern, int64_t mode) {
  const std::string v = textops::clip(value), p = textops::clip(pattern);
  const bool ignoreCase = (mode & kMatchNoCase) != 0;
  switch (mode & 15) {
    case kMatchSimple: return equalTexts(loadLocale(), v, p, ignoreCase);
    case kMatchWildcard: return wildcardMatch(v, p, ignoreCase);
    case kMatchRegular: {
      const auto regex = cachedRegex(p, ignoreCase);
      return regex && regex->search(v) >= 0;
    }
    case kMatchSoundex: return soundCode(v) == soundCode(p);
    default: return 0;
  }
}

int64_t stringPosition(std::string_view text, std::string_view pattern, int64_t mode) {
  const auto regex = cachedRegex(pattern, (mode & kMatchNoCase) != 0);
  return regex ? regex->search(text) + 1 : 0;
}

}  // namespace tamsil
