// The ASCII driver's string builder: the window "ASCII Driver String Builder" (module ASCMEON)
// in which a person edits a driver string with check boxes and fields instead of writing the
// switches by hand. It lives above the window layer, beside the driver it serves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamsil::file {

// The report of a poorly formed driver string: "Poorly formed driver string." and one line per
// switch the driver cannot take; empty when the string is sound.
std::string poorlyFormedReport(std::string_view driverString);

// Shows the builder for `current` (a poorly formed string is reported first, in a message box,
// and its readable switches are kept). OK gives the driver string the window describes (only the
// switches that differ from the defaults); a value it cannot take is reported and the window
// stays open. Cancel or closing the window gives nothing.
std::optional<std::string> buildAsciiDriverString(std::string_view current);

}  // namespace tamsil::file
