// The two single-byte character sets the runtime meets: Windows-1252 (the ANSI code page, in
// which all text is held) and code page 437 (the OEM set of settings files marked TSLCHARSET=OEM).
// Pure tables: safe on any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tamsil {

// OEM (437) to ANSI (1252); characters without an equivalent take the nearest ASCII look-alike.
uint8_t oemToAnsi(uint8_t c);
std::string oemToAnsi(std::string_view text);

// The platform's character functions on Windows-1252.
bool ansiIsUpper(uint8_t c);
bool ansiIsLower(uint8_t c);
uint8_t ansiOtherCase(uint8_t c);  // the letter of the other case, or c itself when it has none

// Collation weights that order characters 2 to 254 as the platform's string comparison does
// (symbols, digits, then letters with accents and case after their base letter); 0, 1 and 255
// keep their own codes.
const std::array<uint8_t, 256>& ansiSortWeights();

}  // namespace tamsil
