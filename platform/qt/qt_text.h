// Texts between the platform (Windows-1252 bytes, '&' mnemonics, "\r\n" line ends) and Qt.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform::qt {

// Windows-1252 to Unicode; every byte maps to one character, so offsets stay the same.
QString toQt(std::string_view ansi);
// Unicode to Windows-1252; characters the code page lacks become '?'.
std::string fromQt(const QString& text);
// One Unicode character as its Windows-1252 byte, or 0 when the code page lacks it.
char ansiChar(QChar c);

// A label text as Win32 shows it: "&Name" is "Name" (the mnemonic mark goes), "&&" is "&".
QString withoutMnemonics(std::string_view ansi);

// The name every mirrored widget carries, so a widget can be found for a window handle.
QString objectNameFor(HWND hwnd);

}  // namespace platform::qt
