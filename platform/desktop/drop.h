// Files dropped on a window from the desktop. A window that accepts them (DragAcceptFiles, the
// WS_EX_ACCEPTFILES style) receives WM_DROPFILES with a drop handle as wParam; it reads the names
// and the point from the handle and frees it with DragFinish. DefWindowProcA frees a drop that a
// window procedure leaves alone. input::dropFiles makes one, as a person's drop does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

struct HDROP__;
using HDROP = HDROP__*;

void DragAcceptFiles(HWND hwnd, BOOL accept);
// With index 0xFFFFFFFF the number of files; otherwise the index-th name copied into the buffer
// (cut to size - 1 characters and terminated) and its full length. 0 for a stale handle.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);
// Where the files were dropped, in the window's client coordinates.
BOOL DragQueryPoint(HDROP drop, POINT* at);
void DragFinish(HDROP drop);

namespace detail {
// A drop record for the files; the handle WM_DROPFILES carries.
HDROP makeDrop(POINT at, std::vector<std::string> files);
}  // namespace detail

}  // namespace platform
