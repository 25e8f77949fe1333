// MATCH and STRPOS: simple, wildcard, regular-expression and sound-alike matching of texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tamsil {

enum MatchMode : int64_t {
  kMatchSimple = 0,
  kMatchWildcard = 1,
  kMatchRegular = 2,
  kMatchSoundex = 3,
  kMatchNoCase = 16,  // added to any of the above
};

// MATCH(value, pattern, mode): 1 when the value matches, else 0. Both texts lose their trailing
// blanks first; kinds other than the four give 0.
int64_t matchText(std::string_view value, std::string_view pattern, int64_t mode);

// STRPOS(text, pattern, mode): the 1-based position of the first match of the regular
// expression, 0 when there is none or the pattern is not valid (mode 16 ignores case).
int64_t stringPosition(std::string_view text, std::string_view pattern, int64_t mode);

// The four-character sound code: the first letter in upper case and up to three digits.
std::string soundCode(std::string_view text);

// The wildcard match alone: '*' any run, '?' any one character.
bool wildcardMatch(std::string_view value, std::string_view pattern, bool ignoreCase);

}  // namespace tamsil
