// DEFORMAT: reads text shown or typed under a picture back into the plain value, as text: a
// digit string with an optional '-', '.' and exponent for numbers and strings, the day or time
// number in decimal for dates and times (-1 when the fields do not make a valid one, 0 when no
// digit was read), the kept characters for key-in pictures. A bad picture gives empty text.
#pragma once

#include <string>
#include <string_view>

#include "runtime/value/picture.h"

namespace tamsil {

std::string deformat(std::string_view text, const CompiledPicture& picture);

// Without a picture: as a string picture as wide as the text, keeping only the characters that
// make a number (digits, the first '.', an exponent after a digit, a leading '-').
std::string deformat(std::string_view text);

}  // namespace tamsil
