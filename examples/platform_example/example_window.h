// The example window: a menu, an entry, a list, a check box and two buttons. "Add" moves the
// entry's text into the list, "Clear" empties it, the check box makes the list sorted from then
// on, File > Open puts the chosen file name into the entry, Help > About shows a message box,
// and closing asks first when the list is not empty.
#pragma once

#include <string>

#include "platform/types.h"

namespace example {

class MessageLog;

// Registers the window class and creates the window; returns null on failure.
platform::HWND createExampleWindow(MessageLog* log);

// Control and menu identifiers.
enum : int {
  kEntry = 101,
  kList = 102,
  kSorted = 103,
  kAdd = 104,
  kClear = 105,
  kStatus = 106,
  kMenuOpen = 201,
  kMenuExit = 202,
  kMenuCopy = 203,
  kMenuPaste = 204,
  kMenuAbout = 205,
  kMenuHelp = 206,
};

}  // namespace example
