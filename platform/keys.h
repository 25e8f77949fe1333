// Virtual key codes the grid names by number (its KeyDown KeyCode): a plain header of constants
// every library can reach, the grid's model included, which may not use the platform's message
// header. The codes are the platform's (platform/messages.h), which should come to take them from
// here.
#pragma once

#include "platform/types.h"

namespace platform::keys {

inline constexpr UINT VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
                      VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
                      VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F2 = 0x71,
                      VK_F12 = 0x7B, VK_PACKET = 0xE7;

}  // namespace platform::keys
