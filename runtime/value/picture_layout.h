// Position layouts of the date and time pictures, shared by the picture compiler and by the
// locale loader (which builds @T7, @T8, @D17 and @D18 from the platform's locale settings).
#pragma once

#include <string_view>

#include "runtime/value/picture.h"

namespace tamsil {

// @D1..@D16 and @T1..@T6 with their default characters; false for any other number.
bool layoutDatePicture(int number, CompiledPicture& out);
bool layoutTimePicture(int number, CompiledPicture& out);

// The locale pictures. sep is the time separator; twelveHour adds a blank and the AM/PM pair.
CompiledPicture localeTimePicture(int number, bool twelveHour, bool leadingZero, char sep);
CompiledPicture localeShortDatePicture(std::string_view shortDateFormat);
CompiledPicture localeLongDatePicture(std::string_view longDateFormat);

// After a date or time picture is built: the fill replaces the character of every field position
// and the separator that of every separator position (0: not given).
void applyFillAndSeparator(CompiledPicture& picture, char fill, char separator);

}  // namespace tamsil
