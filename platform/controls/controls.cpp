// Registration of the built-in classes, and the button and static controls.
#include "platform/controls/detail/controls.h"

#include "platform/queue/queue.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::detail {

namespace {

struct Builtin {
  const char* name;
  WNDPROC proc;
  ControlKind kind;
};
constexpr Builtin kBuiltins[] = {
    {"button", buttonProc, ControlKind::Button},
    {"static", staticProc, ControlKind::Static},
    {"edit", editProc, ControlKind::Edit},
    {"RichEdit20A", richEditProc, ControlKind::RichEdit},
    {"SysTabControl32", tabProc, ControlKind::Tab},
    {"listbox", listBoxProc, ControlKind::ListBox},
    {"combobox", comboBoxProc, ControlKind::ComboBox},
    {"#32770", dialogProc, ControlKind::Dialog},
};

}  // namespace

ControlKind builtinKindOf(WNDPROC proc) {
  for (const Builtin& b : kBuiltins)
    if (b.proc == proc) return b.kind;
  return ControlKind::None;
}

void registerBuiltinControls() {
  for (const Builtin& b : kBuiltins) {
    WindowClass c;
    c.name = b.name;
    c.proc = b.proc;
    c.kind = b.kind;
    c.extraBytes = b.kind == ControlKind::Dialog ? 3 * int(sizeof(LONG_PTR)) : 0;
    registerBuiltinClass(c);
  }
}

void notifyParent(HWND control, WORD code) {
  const HWND parent = GetParent(control);
  if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(control)), code), reinterpret_cast<LPARAM>(control));
}

namespace {

DWORD buttonType(const Window& w) { return w.style & BS_TYPEMASK; }

bool isCheckType(DWORD t) {
  return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE || t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON;
}

void setCheck(HWND hwnd, Window& w, WPARAM state) {
  if (w.control.check == state) return;
  w.control.check = state;
  notify(hwnd, Change::State);
}

// An automatic radio button checks itself and clears the others of its group.
void checkRadioInGroup(HWND hwnd) {
  const HWND parent = GetParent(hwnd);
  auto p = findWindow(parent);
  if (!p) return;
  std::vector<HWND> siblings;
  {
    RecursiveLock lock(modelMutex());
    siblings = p->children;
  }
  // The group runs from the nearest WS_GROUP control at or before this one to the next WS_GROUP.
  size_t self = 0;
  while (self < siblings.size() && siblings[self] != hwnd) ++self;
  size_t first = self;
  while (first > 0 && !(GetWindowLongPtrA(siblings[first], GWL_STYLE) & WS_GROUP)) --first;
  for (size_t i = first; i < siblings.size(); ++i) {
    if (i > first && (GetWindowLongPtrA(siblings[i], GWL_STYLE) & WS_GROUP)) break;
    auto s = findWindow(siblings[i]);
    if (!s || s->kind != ControlKind::Button || (buttonType(*s) != BS_AUTORADIOBUTTON)) continue;
    setCheck(siblings[i], *s, siblings[i] == hwnd ? BST_CHECKED : BST_UNCHECKED);
  }
}

void clickButton(HWND hwnd, Window& w) {
  switch (buttonType(w)) {
    case BS_AUTOCHECKBOX: setCheck(hwnd, w, w.control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: setCheck(hwnd, w, (w.control.check + 1) % 3); break;
    case BS_AUTORADIOBUTTON: checkRadioInGroup(hwnd); break;
    case BS_GROUPBOX: return;
    default: break;
  }
  notifyParent(hwnd, BN_CLICKED);
}

void press(HWND hwnd, Window& w, bool down) {
  if (w.control.pushed == down) return;
  w.control.pushed = down;
  notify(hwnd, Change::State);
}

}  // namespace

LRESULT buttonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  const DWORD type = buttonType(*w);
  switch (msg) {
    case WM_GETDLGCODE: {
      if (type == BS_GROUPBOX) return DLGC_STATIC;
      LRESULT code = DLGC_BUTTON;
      if (type == BS_DEFPUSHBUTTON) code |= DLGC_DEFPUSHBUTTON;
      else if (type == BS_PUSHBUTTON) code |= DLGC_UNDEFPUSHBUTTON;
      else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) code |= DLGC_RADIOBUTTON;
      return code;
    }
    case WM_LBUTTONDOWN:
      if (type == BS_GROUPBOX) return 0;
      if (GetFocus() != hwnd) SetFocus(hwnd);
      press(hwnd, *w, true);
      return 0;
    case WM_LBUTTONUP:
      if (w->control.pushed) {
        press(hwnd, *w, false);
        clickButton(hwnd, *w);
      }
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) press(hwnd, *w, true);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && w->control.pushed) {
        press(hwnd, *w, false);
        clickButton(hwnd, *w);
      }
      return 0;
    case WM_KILLFOCUS:
      press(hwnd, *w, false);
      notify(hwnd, Change::Focus);
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) {
        SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
        SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
      }
      return 0;
    case BM_GETCHECK: return isCheckType(type) ? LRESULT(w->control.check) : 0;
    case BM_SETCHECK:
      if (isCheckType(type)) setCheck(hwnd, *w, wParam);
      return 0;
    case BM_GETSTATE: return LRESULT(w->control.check | (w->control.pushed ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0));
    case BM_SETSTATE: press(hwnd, *w, wParam != 0); return 0;
    case BM_SETSTYLE: SetWindowLongPtrA(hwnd, GWL_STYLE, LONG_PTR((w->style & ~0xFFFFu) | (wParam & 0xFFFF))); return 0;
    case BM_GETIMAGE: return w->control.image;
    case BM_SETIMAGE: {
      const LONG_PTR old = exchangeField(w->control.image, lParam);
      notify(hwnd, Change::Image);
      return old;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_NCHITTEST: return (w->style & SS_NOTIFY) ? 1 : -1;  // HTTRANSPARENT unless it notifies
    case WM_LBUTTONUP:
      if (w->style & SS_NOTIFY) notifyParent(hwnd, 0 /* STN_CLICKED */);
      return 0;
    case STM_SETICON:
    case STM_SETIMAGE: {
      const LONG_PTR old = exchangeField(w->control.image, msg == STM_SETICON ? LONG_PTR(wParam) : lParam);
      notify(hwnd, Change::Image);
      return old;
    }
    case STM_GETICON:
    case STM_GETIMAGE: return w->control.image;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace platform::detail
