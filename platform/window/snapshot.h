// Read-only copies of model state for backends: a window or a menu copied under the model lock,
// so a backend reads it at leisure without the lock and never sees the model itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// The built-in control behind a window, whose procedure keeps the control's state.
enum class ControlKind { None, Button, Edit, RichEdit, Static, ListBox, ComboBox, Tab, Dialog };

// Colour values (0x00BBGGRR) a backend paints a window with; kDefaultColour leaves a part to the
// backend. The foreground is text, lines and frames; the background fills; the selected pair
// shows selected text.
inline constexpr COLORREF kDefaultColour = 0xFFFFFFFF;
struct WindowColours {
  COLORREF foreground = kDefaultColour;
  COLORREF background = kDefaultColour;
  COLORREF selectedText = kDefaultColour;
  COLORREF selectedBackground = kDefaultColour;
  bool operator==(const WindowColours&) const = default;
};

// What the platform's own control procedures keep per control; backends read it to draw.
struct ControlState {
  std::vector<std::string> items;  // list and combo boxes, tab controls
  int curSel = -1;
  int topIndex = 0;
  WPARAM check = 0;     // BST_* of check boxes and radio buttons
  bool pushed = false;  // button held down
  DWORD selStart = 0;   // edit selection and caret (caret at selEnd)
  DWORD selEnd = 0;
  std::string undoText;
  bool canUndo = false;
  bool modified = false;
  DWORD limit = 0x7FFFFFFE;
  bool dropped = false;  // combo box list shown
  LONG_PTR image = 0;    // static and button image handle
  // List boxes in columns: an item's texts are separated by tabs; column k + 1 starts tabStops[k]
  // pixels from the item's left edge, and headings (one per column) make a row above the items.
  std::vector<int> tabStops;
  std::vector<std::string> headings;
};

// How a window is shown: restored to its normal rectangle, minimized or maximized.
enum class ShowState { Normal, Minimized, Maximized };

// Non-client metrics used by both backends, so client sizes agree everywhere.
struct FrameMetrics {
  LONG left = 0, top = 0, right = 0, bottom = 0;  // border widths, top includes caption and menu
};

struct WindowSnapshot {
  HWND handle = nullptr;
  std::string className;
  ControlKind kind = ControlKind::None;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::string text;
  ControlState control;
  HFONT font = nullptr;
  WindowColours colours;
  ShowState showState = ShowState::Normal;
  HMENU menu = nullptr;
  HWND parent = nullptr;
  HWND owner = nullptr;
  DWORD thread = 0;
  RECT rect;  // parent client coordinates (screen for top-level windows)
  FrameMetrics frame;
};

// The window's state now, or nothing for a stale handle.
std::optional<WindowSnapshot> snapshotWindow(HWND hwnd);

struct MenuItemSnapshot {
  UINT flags = 0;  // MF_* state and kind
  UINT_PTR id = 0;
  HMENU popup = nullptr;
  std::string text;
};

// The items of a menu now, or nothing for a stale handle.
std::optional<std::vector<MenuItemSnapshot>> snapshotMenu(HMENU menu);

}  // namespace platform
