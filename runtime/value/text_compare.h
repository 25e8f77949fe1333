// Text comparison of the runtime: texts compare as if the shorter were padded with blanks (so
// trailing blanks never decide), character by character by their collation weights (the table
// TSLCOLSEQ replaces). With digraphs in force (TSLDIGRAPH), from the first position where the
// texts differ the rest of both is compared with each digraph character replaced by its two
// characters, a side that runs out continuing with blanks; so "ßE" equals "SSE" when ß is "SS".
#pragma once

#include <string_view>

#include "runtime/value/locale.h"

namespace tamsil {

// Negative, zero or positive as a sorts below, equal to or above b: the difference of the first
// two weights that differ.
int compareTexts(const LocaleData& locale, std::string_view a, std::string_view b);

}  // namespace tamsil
