// The window most Qt backend tests look at: a frame with a menu bar and one control of each kind.
#pragma once

#include "platform/controls/menu.h"
#include "platform/window/window.h"
#include "tests/platform/qt/qt_test_support.h"

namespace platform::qt::testing {

enum : int { kEdit = 101, kList, kCheck, kAdd, kClear, kRadio, kGroup, kLabel, kNotes, kCombo };
enum : UINT { kMenuOpen = 0x4001, kMenuAbout = 0x4002, kMenuWrap = 0x4003 };

struct SampleWindow {
  HWND frame = nullptr;
  HMENU bar = nullptr, file = nullptr, help = nullptr;

  explicit SampleWindow(FrameHook hook = nullptr) {
    file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kMenuOpen, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kMenuWrap, "&Wrap");
    help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kMenuAbout, "&About");
    bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    frame = createFrame("Sample", 60, 50, 480, 360, bar, hook);
    createChild(frame, "edit", "", WS_BORDER | WS_TABSTOP, 10, 10, 200, 24, kEdit);
    createChild(frame, "listbox", "", WS_BORDER | LBS_NOTIFY, 10, 44, 200, 120, kList);
    createChild(frame, "button", "&Sorted", BS_AUTOCHECKBOX, 220, 10, 100, 20, kCheck);
    createChild(frame, "button", "&Add", BS_DEFPUSHBUTTON, 220, 40, 80, 24, kAdd);
    createChild(frame, "button", "C&lear", BS_PUSHBUTTON, 310, 40, 80, 24, kClear);
    createChild(frame, "button", "&Wide", BS_AUTORADIOBUTTON | WS_GROUP, 220, 74, 100, 20, kRadio);
    createChild(frame, "button", "Options", BS_GROUPBOX, 215, 100, 200, 60, kGroup);
    createChild(frame, "static", "&Name:", SS_LEFT, 10, 170, 100, 16, kLabel);
    createChild(frame, "edit", "one\r\ntwo", ES_MULTILINE | WS_BORDER, 10, 190, 200, 60, kNotes);
    createChild(frame, "combobox", "", CBS_DROPDOWNLIST, 220, 170, 150, 24, kCombo);
  }
  HWND item(int id) const { return GetDlgItem(frame, id); }
};

}  // namespace platform::qt::testing
