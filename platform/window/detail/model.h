// The in-memory model of windows, window classes and menus. Both backends share it: the headless
// backend is nothing but this model; the Qt backend mirrors it into widgets. All access goes
// through handles looked up under one lock, and window procedures always run without that lock.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform::detail {

// What the platform's own control procedures keep per control; backends read it to draw.
enum class ControlKind { None, Button, Edit, Static, ListBox, ComboBox, Dialog };

struct ControlState {
  std::vector<std::string> items;  // list and combo boxes
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
};

struct WindowClass {
  std::string name;
  WNDPROC proc = nullptr;
  UINT style = 0;
  int extraBytes = 0;
  ControlKind kind = ControlKind::None;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<const WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;       // child windows
  HWND owner = nullptr;        // top-level windows
  std::vector<HWND> children;  // in z-order, first on top
  RECT rect;                   // parent client coordinates; screen for top-level windows
  RECT normalRect;             // the restored rectangle while minimized or maximized
  std::string text;
  LONG_PTR id = 0;  // control identifier
  LONG_PTR userData = 0;
  std::vector<LONG_PTR> extra;  // window extra words
  DWORD thread = 0;
  HMENU menu = nullptr;
  HFONT font = nullptr;
  int showState = 0;  // 0 normal, 1 minimized, 2 maximized
  // The built-in control behind the window: its class's own, or, for a class built on top of a
  // built-in one, the one its procedure forwards to (learnt on the first forwarded message).
  ControlKind kind = ControlKind::None;
  bool destroying = false;
  ControlState control;
};

struct MenuItem {
  UINT flags = 0;  // MF_* state and kind
  UINT_PTR id = 0;
  HMENU popup = nullptr;
  std::string text;
};

struct Menu {
  HMENU handle = nullptr;
  bool bar = false;
  std::vector<MenuItem> items;
};

// The one lock of the model; held only while reading or changing model data.
std::recursive_mutex& modelMutex();

std::shared_ptr<Window> findWindow(HWND hwnd);
std::shared_ptr<Menu> findMenu(HMENU menu);
std::shared_ptr<const WindowClass> findClass(std::string_view name);

// Registers a built-in class of the platform (button, edit, ...).
void registerBuiltinClass(const WindowClass& cls);

// Every live top-level window in creation order.
std::vector<HWND> topLevelWindows();

// Non-client metrics used by both backends, so client sizes agree everywhere.
struct FrameMetrics {
  LONG left = 0, top = 0, right = 0, bottom = 0;  // border widths, top includes caption and menu
};
FrameMetrics frameMetrics(const Window& w);

}  // namespace platform::detail
