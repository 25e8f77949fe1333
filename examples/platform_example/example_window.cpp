#include "examples/platform_example/example_window.h"

#include <cstdio>

#include <algorithm>
#include <string>

#include "examples/platform_example/message_log.h"
#include "platform/controls/menu.h"
#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"

namespace example {

using namespace platform;

namespace {

MessageLog* gLog = nullptr;

HWND item(HWND w, int id) { return GetDlgItem(w, id); }

// The status line, also written to stdout so that a run driven from outside can follow it.
void setStatus(HWND w, const std::string& text) {
  SetWindowTextA(item(w, kStatus), text.c_str());
  std::printf("status: %s\n", text.c_str());
  std::fflush(stdout);
}

int listCount(HWND w) { return int(SendMessageA(item(w, kList), LB_GETCOUNT, 0, 0)); }

std::string listText(HWND w, int index) {
  HWND list = item(w, kList);
  std::string s(size_t(std::max<LRESULT>(0, SendMessageA(list, LB_GETTEXTLEN, WPARAM(index), 0))) + 1, '\0');
  s.resize(size_t(std::max<LRESULT>(0, SendMessageA(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(s.data())))));
  return s;
}

HMENU buildMenu() {
  HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kMenuOpen, "&Open...");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
  HMENU edit = CreatePopupMenu();
  AppendMenuA(edit, MF_STRING, kMenuCopy, "&Copy");
  AppendMenuA(edit, MF_STRING, kMenuPaste, "&Paste");
  HMENU help = CreatePopupMenu();
  AppendMenuA(help, MF_STRING, kMenuHelp, "&Contents");
  AppendMenuA(help, MF_STRING, kMenuAbout, "&About");
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
  return bar;
}

void createControls(HWND w) {
  struct ControlDef {
    const char* cls;
    const char* text;
    DWORD style;
    int id;
  };
  static constexpr ControlDef kControls[] = {
      {"edit", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kEntry},
      {"button", "&Add", WS_TABSTOP | BS_DEFPUSHBUTTON, kAdd},
      {"button", "C&lear", WS_TABSTOP | BS_PUSHBUTTON, kClear},
      {"button", "&Sorted", WS_TABSTOP | BS_AUTOCHECKBOX, kSorted},
      {"listbox", "", WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, kList},
      {"static", "Ready", SS_LEFT, kStatus},
  };
  static const HFONT font = CreateFontA(8, 400, "MS Sans Serif");
  for (const ControlDef& s : kControls) {
    HWND c = CreateWindowExA(0, s.cls, s.text, WS_CHILD | WS_VISIBLE | s.style, 0, 0, 10, 10, w,
                             reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(s.id)), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  }
}

// Lays the controls out for a client area: entry, buttons and check box on top, the list below,
// the status line last.
void layout(HWND w, int width, int height) {
  constexpr int m = 8, rowH = 23, buttonW = 75;
  const int entryW = std::max(40, width - 3 * (buttonW + m) - m);
  MoveWindow(item(w, kEntry), m, m, entryW, rowH);
  MoveWindow(item(w, kAdd), m + entryW + m, m, buttonW, rowH);
  MoveWindow(item(w, kClear), m + entryW + m + buttonW + m, m, buttonW, rowH);
  MoveWindow(item(w, kSorted), m + entryW + 2 * (m + buttonW) + m, m, buttonW, rowH);
  MoveWindow(item(w, kList), m, m + rowH + m, std::max(40, width - 2 * m), std::max(20, height - 3 * m - 2 * rowH - m));
  MoveWindow(item(w, kStatus), m, height - m - rowH, std::max(40, width - 2 * m), rowH);
}

void addEntry(HWND w) {
  const std::string text = GetWindowTextString(item(w, kEntry));
  if (text.empty()) {
    setStatus(w, "Nothing to add");
    return;
  }
  const bool sorted = SendMessageA(item(w, kSorted), BM_GETCHECK, 0, 0) == BST_CHECKED;
  int at = listCount(w);
  if (sorted)
    for (at = 0; at < listCount(w) && listText(w, at) < text;) ++at;
  SendMessageA(item(w, kList), LB_INSERTSTRING, WPARAM(at), reinterpret_cast<LPARAM>(text.c_str()));
  SetWindowTextA(item(w, kEntry), "");
  setStatus(w, "Added " + text);
  SetFocus(item(w, kEntry));
}

void onCommand(HWND w, int id, int code) {
  switch (id) {
    case kAdd:
    case IDOK:  // Enter in the entry
      addEntry(w);
      break;
    case kClear:
      SendMessageA(item(w, kList), LB_RESETCONTENT, 0, 0);
      setStatus(w, "Cleared");
      break;
    case kSorted: setStatus(w, SendMessageA(item(w, kSorted), BM_GETCHECK, 0, 0) == BST_CHECKED ? "Sorted" : "Unsorted"); break;
    case kList:
      if (code == LBN_SELCHANGE) setStatus(w, "Selected " + listText(w, int(SendMessageA(item(w, kList), LB_GETCURSEL, 0, 0))));
      break;
    case kMenuOpen: {
      FileDialogRequest r;
      r.owner = w;
      r.title = "Open a file";
      r.filter = "Text files|*.txt|All files|*.*";
      r.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
      if (auto path = FileDialog(r)) SetWindowTextA(item(w, kEntry), path->c_str());
      else setStatus(w, "Open cancelled");
      break;
    }
    case kMenuExit: SendMessageA(w, WM_CLOSE, 0, 0); break;
    case kMenuCopy: SendMessageA(item(w, kEntry), WM_COPY, 0, 0); break;
    case kMenuPaste: SendMessageA(item(w, kEntry), WM_PASTE, 0, 0); break;
    case kMenuHelp: WinHelpA(w, "example.html", HELP_CONTENTS, 0); break;
    case kMenuAbout: {
      const int r = MessageBoxA(w, "Platform example\nA window, a menu and some controls.", "About", MB_OKCANCEL | MB_ICONINFORMATION);
      setStatus(w, r == IDOK ? "About: OK" : "About: Cancel");
      break;
    }
    default: break;
  }
}

LRESULT exampleProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (gLog) gLog->write(w, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE: createControls(w); return 0;
    case WM_SIZE: layout(w, LOWORD(WPARAM(lParam)), HIWORD(WPARAM(lParam))); return 0;
    case WM_SETFOCUS: SetFocus(item(w, kEntry)); return 0;
    case WM_COMMAND: onCommand(w, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE:
      if (listCount(w) > 0 &&
          MessageBoxA(w, "The list is not empty. Close anyway?", "Close", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return 0;
      DestroyWindow(w);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(w, msg, wParam, lParam);
  }
}

}  // namespace

HWND createExampleWindow(MessageLog* log) {
  gLog = log;
  WNDCLASSA wc;
  wc.lpfnWndProc = exampleProc;
  wc.lpszClassName = "PlatformExample";
  if (!RegisterClassA(wc)) return nullptr;
  return CreateWindowExA(0, "PlatformExample", "Platform example", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 520, 360, nullptr, buildMenu(),
                         nullptr);
}

}  // namespace example
