// Qt keys as the platform's keyboard messages: Win32 virtual-key codes, and the character the
// platform's TranslateMessage makes of a key, so a typed character that a key code cannot
// reproduce (a capital typed without Shift held, a character of another layout) is sent as
// VK_PACKET input instead.
#pragma once

#include "platform/types.h"

namespace platform::qt {

// The virtual-key code of a Qt::Key value, or 0 when the platform has none for it.
UINT virtualKey(int qtKey);
// The Qt::Key value of a virtual-key code (an unshifted key's), or 0 when Qt has none for it.
int qtKeyOf(UINT vk);

struct KeyStroke {
  UINT vk = 0;       // 0: nothing to send
  LPARAM extra = 0;  // VK_PACKET: the character in the scan-code field
};

// What a Qt key event with its text (Windows-1252 byte, 0 for none) is sent as.
KeyStroke keyStroke(int qtKey, char text, bool shift, bool ctrl);

}  // namespace platform::qt
