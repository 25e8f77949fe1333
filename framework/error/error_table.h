// The error manager's table: one entry per error number with its title, message, severity and
// category, the stored (binary) form tables are kept in, and the framework's default table.
//
// A stored table is one block of bytes: an unsigned 16-bit little-endian entry count, then per
// entry the id (unsigned 16-bit little-endian), the severity (one byte), the title and the message
// (each a length byte followed by that many characters). There is no padding, so no text is
// longer than 255 characters.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamsil::framework {

struct ErrorEntry {
  std::int32_t ID = 0;
  std::string MESSAGE;
  std::string TITLE;
  std::uint8_t FATALITY = 0;  // a Severity; what Raise does with the error
  std::string CATEGORY;
};

// One entry of a table as it is written down in code.
struct ErrorDefinition {
  std::uint16_t id;
  std::uint8_t fatality;
  std::string_view title;
  std::string_view message;
};

// Reads a stored table; nothing when the bytes are not exactly one (a count that promises more
// entries than the bytes hold, a text running past the end, bytes left over).
std::optional<std::vector<ErrorDefinition>> decodeErrorTable(std::span<const std::uint8_t> stored);

// Writes entries in the stored form; nothing when a text is longer than 255 characters or there
// are more than 65,535 entries.
std::optional<std::vector<std::uint8_t>> encodeErrorTable(std::span<const ErrorDefinition> entries);

// The framework's default table in its stored form (the texts every procedure's questions and
// reports use), and the same entries as written down.
std::span<const std::uint8_t> defaultErrorTable();
std::span<const ErrorDefinition> defaultErrorDefinitions();

}  // namespace tamsil::framework
