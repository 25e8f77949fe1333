// The texts of a detailed trace: a file's declaration written back in declaration syntax, and
// the values of record fields. Labels are padded so that what follows starts at column 36.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/file/declaration.h"

namespace tamsil::file {

inline constexpr std::size_t kTraceValueColumn = 36;

// label, blanks up to column 35, then text (a label of 35 or more characters gets one blank).
std::string traceColumns(std::string_view label, std::string_view text);

// "FILE,DRIVER('ASCII'),OWNER(******),NAME('x.txt'),CREATE" and one line per key, memo, blob,
// "RECORD", field and "END". The owner is never written, only that there is one.
std::vector<std::string> declarationLines(const FileDeclaration& file);

// "28 Nov 2008 (131599132)" for a packed date (year << 16 | month << 8 | day);
// "Invalid date (n)" when the day is not 1..31 or the month not 1..12.
std::string dateValueText(std::uint32_t packed);
// "13:45:07.50 (227346738)" for a packed time (hours << 24 | minutes << 16 | seconds << 8 |
// hundredths); "Invalid time (n)" when hours reach 24 or minutes or seconds 60.
std::string timeValueText(std::uint32_t packed);
// "0A1BFF" ("0AH" for a single byte).
std::string hexText(std::span<const std::byte> bytes);

// The value of one field (every element of a dimensioned one, separated by ", "); a field that
// does not lie inside the record gives "<outside record>".
std::string fieldValueText(const FieldDeclaration& field, std::span<const std::byte> record);

// One line per field that is not a group: label and value.
std::vector<std::string> recordLines(const FileDeclaration& file, std::span<const std::byte> record);
// The values of the key's components.
std::vector<std::string> keyLines(const FileDeclaration& file, std::size_t key, std::span<const std::byte> record);

}  // namespace tamsil::file
