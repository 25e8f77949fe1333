// Dialog services: navigation between controls, dialog units, the platform's own message box and
// the standard dialogs (open file, printer set-up, help). Scripted runs answer them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Tab and Shift+Tab between tab-stop controls, Enter to the default button, Escape to IDCANCEL.
// Returns TRUE when the message was for the dialog (and so has been handled).
BOOL IsDialogMessageA(HWND dialog, MSG* msg);

// Dialog base units (average character width, character height) of a font in pixels.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};
DialogBaseUnits GetDialogBaseUnitsFor(HFONT font);  // null: the "System" font
// Converts a rectangle in dialog units to pixels for the font.
void MapDialogRectFor(HFONT font, RECT* rect);

// The platform message box: modal, built from platform controls, returns an ID* result.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags);

// Runs a shown dialog of push buttons to its answer in a nested message loop: a queued script
// answer (a button's text) presses that button; with nobody to answer, the default button is
// pressed. The loop ends when `answered` says so or the dialog is gone; a quit met on the way is
// posted again for the outer loop. When nobody watches, the dialog is written to stderr as
// "message box CAPTION TEXT -> BUTTON". Returns the index of the pressed button, or -1.
struct MessageDialog {
  HWND window = nullptr;
  std::vector<HWND> buttons;
  std::vector<std::string> captions;  // the buttons' texts, "&" marks included
  std::size_t defaultIndex = 0;
  std::string caption, text;  // for the log line
};
int RunMessageDialog(const MessageDialog& dialog, const std::function<std::optional<std::size_t>()>& answered);

// The open-file (or save-file) dialog. The filter is written as pairs "Name|*.ext|Name|*.a;*.b".
inline constexpr DWORD OFN_READONLY = 0x1, OFN_OVERWRITEPROMPT = 0x2, OFN_HIDEREADONLY = 0x4, OFN_NOCHANGEDIR = 0x8, OFN_PATHMUSTEXIST = 0x800,
                       OFN_FILEMUSTEXIST = 0x1000, OFN_EXPLORER = 0x80000;
struct FileDialogRequest {
  HWND owner = nullptr;
  std::string title;
  std::string filter;
  std::string initialFile;
  std::string initialDir;
  DWORD flags = 0;
  bool save = false;
};
// The chosen path, or nothing when cancelled.
std::optional<std::string> FileDialog(const FileDialogRequest& request);

// The printer set-up dialog; TRUE when confirmed.
BOOL PrintSetupDialog(HWND owner);

// The help engine: contents, search by keyword (HELP_KEY / HELP_PARTIALKEY), help on help.
BOOL WinHelpA(HWND owner, const char* helpFile, UINT command, std::uintptr_t data);

}  // namespace platform
