// The tab control ("SysTabControl32"): a row of tabs, one per item, with the current one selected.
// It keeps its tabs' texts and the selection in the window's ControlState and tells the backend
// of every change; the pages are the program's own windows.
#include <algorithm>
#include <mutex>
#include <string>

#include "platform/controls/detail/controls.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/window.h"

namespace platform::detail {

LRESULT tabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  switch (msg) {
    case TCM_GETITEMCOUNT: return LRESULT(w->control.items.size());
    case TCM_INSERTITEMA: {
      const auto* item = reinterpret_cast<const TCITEMA*>(lParam);
      if (!item) return -1;
      const std::string text = (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "";
      LRESULT at = 0;
      {
        RecursiveLock lock(modelMutex());
        auto& items = w->control.items;
        at = LRESULT(std::min<size_t>(wParam, items.size()));
        items.insert(items.begin() + at, text);
        if (w->control.curSel < 0) w->control.curSel = 0;
        else if (w->control.curSel >= at && items.size() > 1) ++w->control.curSel;
      }
      notify(hwnd, Change::Items);
      return at;
    }
    case TCM_DELETEALLITEMS: {
      {
        RecursiveLock lock(modelMutex());
        w->control.items.clear();
        w->control.curSel = -1;
      }
      notify(hwnd, Change::Items);
      return TRUE;
    }
    case TCM_GETCURSEL: return w->control.curSel;
    case TCM_SETCURSEL: {
      if (wParam >= w->control.items.size()) return -1;
      const int old = exchangeField(w->control.curSel, int(wParam));
      if (old != int(wParam)) notify(hwnd, Change::State);
      return old;
    }
    case WM_GETDLGCODE: return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

// The rich-text edit ("RichEdit20A"): an edit control whose text a backend may show formatted.
LRESULT richEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return editProc(hwnd, msg, wParam, lParam); }

}  // namespace platform::detail
