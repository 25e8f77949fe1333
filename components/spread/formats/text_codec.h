// Text encodings the grid's files use. The model keeps Windows-1252 bytes; workbooks and HTML
// carry UTF-8, the "U" text exports UTF-16 (little-endian, with a byte-order mark).
#pragma once

#include <string>
#include <string_view>

namespace spread::files {

std::string AnsiToUtf8(std::string_view ansi);
// Characters Windows-1252 lacks become '?'; broken UTF-8 sequences too.
std::string Utf8ToAnsi(std::string_view utf8);
// UTF-16LE bytes with a leading byte-order mark.
std::string AnsiToUtf16File(std::string_view ansi);
// Bytes of a text file as ANSI: UTF-16LE/BE or UTF-8 when the file starts with their mark.
std::string FileTextToAnsi(std::string_view bytes);

}  // namespace spread::files
