// Window classes and windows with Win32 meaning: registration (and so subclassing), creation and
// destruction, geometry, visibility, enabling, text, focus, activation and window data words.
#pragma once

#include <string>
#include <string_view>

#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window/snapshot.h"

namespace platform {

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  const char* lpszClassName = nullptr;
};

// Registers a class; names are compared without case. Fails (returns 0) for a duplicate name.
WORD RegisterClassA(const WNDCLASSA& wc);
BOOL UnregisterClassA(const char* className);
// Fills wc from a registered class, the platform's own included ("button", "edit", ...).
BOOL GetClassInfoA(const char* className, WNDCLASSA* wc);
std::string GetClassNameA(HWND hwnd);

inline constexpr int CW_USEDEFAULT = int(0x80000000);

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menuOrId, void* param = nullptr);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);

HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
// The top-level window that holds hwnd (hwnd itself when it is top-level).
HWND GetAncestorTop(HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId = nullptr);

BOOL SetWindowTextA(HWND hwnd, const char* text);
int GetWindowTextA(HWND hwnd, char* buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
// The whole text, as GetWindowTextA would copy it with a large enough buffer.
std::string GetWindowTextString(HWND hwnd);

BOOL GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);  // origin 0,0
BOOL ClientToScreen(HWND hwnd, POINT* pt);
BOOL ScreenToClient(HWND hwnd, POINT* pt);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint = TRUE);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// Window rectangle that holds a client rectangle of the given size, for a style and menu.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);  // the window and all its parents are visible
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // returns whether it was disabled before
BOOL IsWindowEnabled(HWND hwnd);

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();

// The font given by WM_SETFONT: a face name, a size in points, a weight (700 and more is bold)
// and a character set (0 ANSI).
HFONT CreateFontA(int points, int weight, const char* face, BYTE charset = 0);
std::string FontFace(HFONT font);
int FontPoints(HFONT font);
int FontWeight(HFONT font);
BYTE FontCharset(HFONT font);

// The colours a window is painted with (snapshot.h); a change reaches the backend as a font
// change, since both say how the window's text looks.
BOOL SetWindowColours(HWND hwnd, const WindowColours& colours);
WindowColours GetWindowColours(HWND hwnd);

// Image handles for static controls and buttons: a stock icon (IDI_*) or a picture file.
inline constexpr LONG_PTR IDI_APPLICATION = 32512, IDI_HAND = 32513, IDI_QUESTION = 32514, IDI_EXCLAMATION = 32515, IDI_ASTERISK = 32516;
LONG_PTR LoadIconA(LONG_PTR stockId);
LONG_PTR LoadImageFromFile(std::string_view path);  // 0 when the file cannot be read
// What an image handle stands for: a stock icon number, or a file path.
LONG_PTR ImageStockId(LONG_PTR image);
std::string ImagePath(LONG_PTR image);

}  // namespace platform
