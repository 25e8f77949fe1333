// User actions turned into the messages a user's mouse and keyboard would produce. The script
// runner and the Qt backend both go through here, so a scripted action and a real one deliver
// the same messages in the same order on either backend.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform::input {

// Clicks a control (button press and release over its centre).
void click(HWND control);
// Chooses a menu item of window's menu bar by its position path (bar position, item position...).
void chooseMenu(HWND window, const std::vector<int>& path);
// Presses and releases a key, with Shift, Ctrl and Alt held as given.
struct Modifiers {
  bool shift = false, ctrl = false, alt = false;
};
void key(UINT vk, Modifiers mods = {});
// Types text into the focused control, one key press per character.
void type(std::string_view text);
// Selects an item of a list or combo box as a click on it would.
void selectItem(HWND list, int index);
// Window commands through the system menu: SC_MOVE, SC_SIZE with the target rectangle, SC_CLOSE,
// SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE.
void moveWindow(HWND window, int x, int y);
void sizeWindow(HWND window, int width, int height);
void systemCommand(HWND window, WPARAM command);

// Drops files on a window at a point of its client area, as a person drops them from the desktop:
// WM_DROPFILES for the window's top-level window when that accepts files; nothing otherwise.
void dropFiles(HWND window, POINT at, std::vector<std::string> files);

// Input is fed a step at a time: a step's messages are posted together, and the next step waits
// until the queue has been drained (a key's release comes after the character it typed).
bool hasPendingInput();
void feedPendingInput();  // posts the next step; no-op when none is pending

// The target of a move or size that DefWindowProcA carries out for SC_MOVE / SC_SIZE.
bool takeMoveSizeTarget(HWND window, RECT* target);

}  // namespace platform::input
