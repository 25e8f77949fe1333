// The list box and the combo box: a list of texts with one current selection. Both share the
// item operations; they differ in messages, notification codes and the combo box's own text.
#include <algorithm>
#include <cstring>

#include "platform/ascii.h"
#include "platform/controls/detail/controls.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::detail {

namespace {

// Message numbers of one kind of list; the item operations are the same for both.
struct ListMessages {
  UINT add, insert, remove, reset, setCurSel, getCurSel, getText, getTextLen, getCount, findString, findExact, selectString;
  WORD selChange, setFocus, killFocus;
  bool sorted(const Window& w) const { return add == LB_ADDSTRING ? (w.style & LBS_SORT) : (w.style & 0x100 /* CBS_SORT */); }
};

constexpr ListMessages kListBox{LB_ADDSTRING,       LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_SETCURSEL,
                                LB_GETCURSEL,       LB_GETTEXT,      LB_GETTEXTLEN,   LB_GETCOUNT,     LB_FINDSTRING,
                                LB_FINDSTRINGEXACT, LB_SELECTSTRING, LBN_SELCHANGE,   LBN_SETFOCUS,    LBN_KILLFOCUS};
constexpr ListMessages kComboBox{CB_ADDSTRING,       CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_SETCURSEL,
                                 CB_GETCURSEL,       CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_GETCOUNT,     CB_FINDSTRING,
                                 CB_FINDSTRINGEXACT, CB_SELECTSTRING, CBN_SELCHANGE,   CBN_SETFOCUS,    CBN_KILLFOCUS};

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && ascii::equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// Searches from the item after `after` (-1: from the top), wrapping round once.
LRESULT find(const ControlState& c, LONG after, std::string_view what, bool exact) {
  const LONG n = LONG(c.items.size());
  for (LONG k = 1; k <= n; ++k) {
    const LONG i = ((after < 0 ? -1 : after) + k) % n;
    const auto& item = c.items[size_t(i)];
    if (exact ? ascii::equalsNoCase(item, what) : startsWithNoCase(item, what)) return i;
  }
  return LB_ERR;
}

void setSelection(HWND hwnd, Window& w, int index, bool combo) {
  w.control.curSel = index;
  if (combo) {
    RecursiveLock lock(modelMutex());
    w.text = index >= 0 ? w.control.items[size_t(index)] : std::string();
  }
  notify(hwnd, combo ? Change::Text : Change::State);
}

// The item operations common to both kinds; returns true when the message was one of them.
bool itemMessage(HWND hwnd, Window& w, const ListMessages& m, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  ControlState& c = w.control;
  const bool combo = &m == &kComboBox;
  const char* text = reinterpret_cast<const char*>(lParam);
  const LONG count = LONG(c.items.size());
  if (msg == m.add || msg == m.insert) {
    std::string item = text ? text : "";
    LONG at = msg == m.add ? count : LONG(wParam);
    if (msg == m.add && m.sorted(w)) at = LONG(std::upper_bound(c.items.begin(), c.items.end(), item, ascii::lessNoCase) - c.items.begin());
    if (at < 0 || at > count) at = count;
    {
      RecursiveLock lock(modelMutex());
      c.items.insert(c.items.begin() + at, std::move(item));
    }
    if (c.curSel >= at) ++c.curSel;
    notify(hwnd, Change::Items);
    *result = at;
  } else if (msg == m.remove) {
    const LONG at = LONG(wParam);
    if (at < 0 || at >= count) {
      *result = LB_ERR;
      return true;
    }
    {
      RecursiveLock lock(modelMutex());
      c.items.erase(c.items.begin() + at);
    }
    if (c.curSel == at) setSelection(hwnd, w, -1, combo);
    else if (c.curSel > at) --c.curSel;
    notify(hwnd, Change::Items);
    *result = count - 1;
  } else if (msg == m.reset) {
    {
      RecursiveLock lock(modelMutex());
      c.items.clear();
    }
    c.topIndex = 0;
    setSelection(hwnd, w, -1, combo);
    notify(hwnd, Change::Items);
    *result = 0;
  } else if (msg == m.setCurSel) {
    const LONG at = LONG(wParam);
    if (at < -1 || at >= count) {
      setSelection(hwnd, w, -1, combo);
      *result = LB_ERR;
    } else {
      setSelection(hwnd, w, at, combo);
      *result = at < 0 ? LB_ERR : at;
    }
  } else if (msg == m.getCurSel) {
    *result = c.curSel;
  } else if (msg == m.getText) {
    const LONG at = LONG(wParam);
    if (at < 0 || at >= count || !lParam) {
      *result = LB_ERR;
      return true;
    }
    const auto& item = c.items[size_t(at)];
    std::memcpy(reinterpret_cast<char*>(lParam), item.c_str(), item.size() + 1);
    *result = LRESULT(item.size());
  } else if (msg == m.getTextLen) {
    const LONG at = LONG(wParam);
    *result = at < 0 || at >= count ? LB_ERR : LRESULT(c.items[size_t(at)].size());
  } else if (msg == m.getCount) {
    *result = count;
  } else if (msg == m.findString || msg == m.findExact || msg == m.selectString) {
    *result = count == 0 || !text ? LB_ERR : find(c, LONG(wParam), text, msg == m.findExact);
    if (msg == m.selectString && *result != LB_ERR) setSelection(hwnd, w, int(*result), combo);
  } else {
    return false;
  }
  return true;
}

}  // namespace

void selectByUser(HWND hwnd, int index) {
  auto w = findWindow(hwnd);
  if (!w) return;
  const bool combo = w->kind == ControlKind::ComboBox;
  if (index < 0 || index >= int(w->control.items.size()) || index == w->control.curSel) return;
  setSelection(hwnd, *w, index, combo);
  if (combo || (w->style & LBS_NOTIFY)) notifyParent(hwnd, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

namespace {

// Up, Down, Home, End move the selection as the user expects; returns true when handled.
bool arrowKey(HWND hwnd, Window& w, WPARAM vk) {
  const int n = int(w.control.items.size());
  if (n == 0) return false;
  const int cur = w.control.curSel;
  int next;
  switch (vk) {
    case VK_UP: next = std::max(0, cur - 1); break;
    case VK_DOWN: next = std::min(n - 1, cur + 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = n - 1; break;
    default: return false;
  }
  selectByUser(hwnd, next);
  return true;
}

// LB_SETTABSTOPS: the columns' starting positions, refused unless rising and positive.
LRESULT setTabStops(HWND hwnd, Window& w, WPARAM count, LPARAM lParam) {
  const int* at = reinterpret_cast<const int*>(lParam);
  if (count > 0 && !at) return FALSE;
  std::vector<int> stops(at, at + count);
  for (size_t i = 0; i < stops.size(); ++i)
    if (stops[i] <= (i == 0 ? 0 : stops[i - 1])) return FALSE;
  exchangeField(w.control.tabStops, std::move(stops));
  notify(hwnd, Change::Items);
  return TRUE;
}

// LB_SETHEADINGS: one heading per tab-separated text.
LRESULT setHeadings(HWND hwnd, Window& w, LPARAM lParam) {
  const char* text = reinterpret_cast<const char*>(lParam);
  std::vector<std::string> headings;
  if (text && *text) {
    std::string_view rest = text;
    for (size_t tab; (tab = rest.find('\t')) != std::string_view::npos; rest.remove_prefix(tab + 1)) headings.emplace_back(rest.substr(0, tab));
    headings.emplace_back(rest);
  }
  const auto count = LRESULT(headings.size());
  exchangeField(w.control.headings, std::move(headings));
  notify(hwnd, Change::Items);
  return count;
}

}  // namespace

LRESULT listBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  LRESULT r = 0;
  if (itemMessage(hwnd, *w, kListBox, msg, wParam, lParam, &r)) return r;
  const bool notifies = w->style & LBS_NOTIFY;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      notify(hwnd, Change::Focus);
      if (notifies) notifyParent(hwnd, msg == WM_SETFOCUS ? LBN_SETFOCUS : LBN_KILLFOCUS);
      return 0;
    case LB_GETTOPINDEX: return w->control.topIndex;
    case LB_SETTOPINDEX:
      if (LONG(wParam) < 0 || LONG(wParam) >= LONG(w->control.items.size())) return LB_ERR;
      exchangeField(w->control.topIndex, int(wParam));
      notify(hwnd, Change::State);
      return 0;
    case LB_SETTABSTOPS: return setTabStops(hwnd, *w, wParam, lParam);
    case LB_SETHEADINGS: return setHeadings(hwnd, *w, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      const int y = GET_Y_LPARAM(lParam) - listItemsTop(w->control);
      if (y < 0) return 0;  // on the heading row
      const int index = w->control.topIndex + y / kListItemHeight;
      if (index < 0 || index >= int(w->control.items.size())) return 0;
      selectByUser(hwnd, index);
      if (msg == WM_LBUTTONDBLCLK && notifies) notifyParent(hwnd, LBN_DBLCLK);
      return 0;
    }
    case WM_KEYDOWN: arrowKey(hwnd, *w, wParam); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT comboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = findWindow(hwnd);
  if (!w) return 0;
  LRESULT r = 0;
  if (itemMessage(hwnd, *w, kComboBox, msg, wParam, lParam, &r)) return r;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      notify(hwnd, Change::Focus);
      notifyParent(hwnd, msg == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
      return 0;
    case CB_SHOWDROPDOWN: {
      const bool show = wParam != 0;
      if (w->control.dropped == show) return TRUE;
      if (show) notifyParent(hwnd, CBN_DROPDOWN);
      exchangeField(w->control.dropped, show);
      notify(hwnd, Change::State);
      if (!show) notifyParent(hwnd, CBN_CLOSEUP);
      return TRUE;
    }
    case CB_GETDROPPEDSTATE: return w->control.dropped;
    case WM_LBUTTONDOWN:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      SendMessageA(hwnd, CB_SHOWDROPDOWN, !w->control.dropped, 0);
      return 0;
    case WM_KEYDOWN: arrowKey(hwnd, *w, wParam); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace platform::detail
