// The substring search behind INSTRING. Positions are 1-based and measured from the start of the
// text, not from the start position; with a step above 1 the result counts in steps (a pattern
// found at offset 6 with step 3 gives 3).
//
//   - an empty pattern, a pattern longer than the text, or start 0 gives 0; so does a negative
//     start or a start beyond the text;
//   - step 0 means the pattern's length;
//   - step 1 finds the first occurrence at or after offset start - 1;
//   - step -1 finds the last occurrence that begins at or before offset start - 1 (for a
//     one-character pattern and for longer ones alike);
//   - a step above 1 looks only at offsets start - 1, start - 1 + step, ... and gives
//     offset / step + 1;
//   - a step below -1 gives 0: there is no sound reading of a backward search in strides.
// Without a match the result is 0.
#pragma once

#include <cstdint>
#include <string_view>

namespace tamsil {

std::int32_t findSubstring(std::string_view text, std::string_view pattern, std::int32_t step, std::int32_t start);

}  // namespace tamsil
