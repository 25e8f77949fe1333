// Keyboard navigation inside a dialog or any window with controls: Tab and Shift+Tab between
// tab stops, Enter to the default button, Escape to cancel.
#include <algorithm>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform {

namespace {

// Controls of a dialog in tab order (z-order, depth first), visible and enabled ones only.
void tabStops(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    if (GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP) out.push_back(c);
    tabStops(c, out);
  }
}

void focusControl(HWND control) {
  SetFocus(control);
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
}

// The default push button: the dialog's own answer to DM_GETDEFID, else the first push button
// styled as the default.
HWND defaultButton(HWND dialog) {
  const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  if (HIWORD(WPARAM(def)) == DC_HASDEFID) return GetDlgItem(dialog, LOWORD(WPARAM(def)));
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (SendMessageA(c, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return c;
  return nullptr;
}

void command(HWND dialog, int id, HWND control) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

}  // namespace

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  if (!msg || !IsWindow(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
  const LRESULT code = msg->hwnd ? SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)) : 0;
  const bool wantsAll = code & DLGC_WANTALLKEYS;
  if (msg->message == WM_KEYDOWN && !wantsAll) {
    switch (msg->wParam) {
      case VK_TAB: {
        if (code & DLGC_WANTTAB) break;
        std::vector<HWND> stops;
        tabStops(dialog, stops);
        if (stops.empty()) return TRUE;
        const bool back = GetKeyState(int(VK_SHIFT)) < 0;
        auto it = std::find(stops.begin(), stops.end(), GetFocus());
        size_t i;
        if (it == stops.end()) i = back ? stops.size() - 1 : 0;
        else i = (size_t(it - stops.begin()) + (back ? stops.size() - 1 : 1)) % stops.size();
        focusControl(stops[i]);
        return TRUE;
      }
      case VK_RETURN: {
        const HWND focus = GetFocus();
        if (focus && (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
          command(dialog, GetDlgCtrlID(focus), focus);
          return TRUE;
        }
        const HWND def = defaultButton(dialog);
        if (def && IsWindowEnabled(def)) command(dialog, GetDlgCtrlID(def), def);
        else if (!def) command(dialog, IDOK, nullptr);
        return TRUE;
      }
      case VK_ESCAPE: command(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL)); return TRUE;
      default: break;
    }
  }
  if (msg->message == WM_CHAR && !wantsAll && (msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 0x1B))
    return TRUE;  // the key has done its work above
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

}  // namespace platform
