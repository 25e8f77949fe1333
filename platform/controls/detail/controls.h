// The platform's own control classes: "button", "static", "edit", "RichEdit20A", "listbox",
// "combobox", "SysTabControl32" and the dialog class "#32770". Their procedures keep their state in the window's ControlState.
#pragma once

#include "platform/types.h"
#include "platform/window/detail/model.h"

namespace platform::detail {

void registerBuiltinControls();  // once, before the first class lookup

// The kind of a built-in control procedure; None for any other procedure.
ControlKind builtinKindOf(WNDPROC proc);

LRESULT buttonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT staticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT editProc(HWND, UINT, WPARAM, LPARAM);
LRESULT richEditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT tabProc(HWND, UINT, WPARAM, LPARAM);
LRESULT listBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT comboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT dialogProc(HWND, UINT, WPARAM, LPARAM);

// Sends WM_COMMAND with a notification code to a control's parent.
void notifyParent(HWND control, WORD code);

// The user picks an item of a list or combo box: the selection changes and the parent hears.
void selectByUser(HWND list, int index);

// Height of one list item in pixels, shared by the list procedures and the backends.
inline constexpr int kListItemHeight = 16;

// Top of a list box's first item row in its client area: below the heading row when there is one.
inline int listItemsTop(const ControlState& c) { return c.headings.empty() ? 0 : kListItemHeight; }

}  // namespace platform::detail
