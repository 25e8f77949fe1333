// The edit control: text with a caret and a selection, typing, deleting, caret keys, the
// clipboard commands and one level of undo; notifications go to the parent as WM_COMMAND.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

#include "platform/backend.h"
#include "platform/controls/detail/controls.h"
#include "platform/desktop/clipboard.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/deliver.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform::detail {

namespace {

struct Edit {
  HWND hwnd;
  Window& w;

  bool readOnly() const { return w.style & ES_READONLY; }
  DWORD size() const { return DWORD(w.text.size()); }
  DWORD lo() const { return std::min({w.control.selStart, w.control.selEnd, size()}); }
  DWORD hi() const { return std::min(std::max(w.control.selStart, w.control.selEnd), size()); }

  void select(DWORD start, DWORD end) {
    w.control.selStart = std::min(start, size());
    w.control.selEnd = std::min(end, size());
    notify(hwnd, Change::State);
  }

  // Replaces the selection; returns false when nothing could change.
  bool replace(std::string_view with, bool keepUndo = true) {
    std::string text(with);
    if (w.style & ES_UPPERCASE) std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (w.style & ES_LOWERCASE) std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (w.style & ES_NUMBER)
      if (std::any_of(text.begin(), text.end(), [](unsigned char c) { return !std::isdigit(c); })) return false;
    const DWORD a = lo(), b = hi();
    const size_t room = w.control.limit > size() - (b - a) ? w.control.limit - (size() - (b - a)) : 0;
    if (text.size() > room) {
      text.resize(room);
      notifyParent(hwnd, EN_MAXTEXT);
    }
    if (text.empty() && a == b) return false;
    if (keepUndo) {
      w.control.undoText = w.text;
      w.control.canUndo = true;
    }
    {
      RecursiveLock lock(modelMutex());
      w.text.replace(a, b - a, text);
    }
    w.control.modified = true;
    w.control.selStart = w.control.selEnd = a + DWORD(text.size());
    notify(hwnd, Change::Text);
    notifyParent(hwnd, EN_UPDATE);
    notifyParent(hwnd, EN_CHANGE);
    return true;
  }

  void caret(DWORD pos, bool extend) { select(extend ? w.control.selStart : pos, pos); }

  // The offset nearest to a client point: as the backend draws the text, else reckoned in lines
  // of the font's height and characters of its average width.
  DWORD offsetAt(POINT at) const {
    if (const auto drawn = backend().textOffsetAt(hwnd, at)) return std::min(*drawn, size());
    const FontMetrics m = w.font ? backend().fontMetrics(FontFace(w.font), FontPoints(w.font)) : backend().fontMetrics("System", 10);
    const LONG line = (w.style & ES_MULTILINE) && m.height > 0 ? std::max<LONG>(at.y, 0) / m.height : 0;
    DWORD start = 0;
    for (LONG i = 0; i < line; ++i) {
      const size_t end = w.text.find("\r\n", start);
      if (end == std::string::npos) return size();
      start = DWORD(end + 2);
    }
    const DWORD lineEnd = DWORD(std::min(w.text.find("\r\n", start), w.text.size()));
    const LONG column = m.averageWidth > 0 ? (std::max<LONG>(at.x, 0) + m.averageWidth / 2) / m.averageWidth : 0;
    return std::min(start + DWORD(column), lineEnd);
  }

  void copy() const {
    if (hi() > lo() && !(w.style & ES_PASSWORD)) SetClipboardText(w.text.substr(lo(), hi() - lo()));
  }
};

// Ctrl+A selects everything; Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+Z copy, cut, paste and undo.
struct EditingKey {
  char ch;
  UINT message;
};
constexpr EditingKey kEditingKeys[] = {{'\x01', EM_SETSEL}, {'\x03', WM_COPY}, {'\x18', WM_CUT}, {'\x16', WM_PASTE}, {'\x1A', WM_UNDO}};

}  // namespace

LRESULT editProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto wp = findWindow(hwnd);
  if (!wp) return 0;
  Edit e{hwnd, *wp};
  Window& w = *wp;
  const bool multiline = w.style & ES_MULTILINE;
  switch (msg) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (multiline && (w.style & ES_WANTRETURN)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_SETTEXT: {
      // The selection is emptied before the text changes, so whoever hears of the new text never
      // sees a selection that only fitted the old one.
      w.control.selStart = w.control.selEnd = 0;
      w.control.canUndo = false;
      w.control.modified = false;
      const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
      notifyParent(hwnd, EN_UPDATE);
      notifyParent(hwnd, EN_CHANGE);
      return r;
    }
    case WM_SETFOCUS:
      notify(hwnd, Change::Focus);
      notifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      notify(hwnd, Change::Focus);
      notifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      // The caret goes where the person clicked; with Shift the selection runs to there.
      e.caret(e.offsetAt(POINT{LONG(short(LOWORD(DWORD(lParam)))), LONG(short(HIWORD(DWORD(lParam))))}), wParam & MK_SHIFT);
      return 0;
    case WM_CHAR: {
      const char c = char(wParam);
      // The standard editing keys arrive as control characters (Ctrl+C is 0x03 ...); each becomes
      // the message a menu would send, so a subclass sees the same either way.
      if (const auto command = std::find_if(std::begin(kEditingKeys), std::end(kEditingKeys), [c](const EditingKey& k) { return k.ch == c; });
          command != std::end(kEditingKeys)) {
        if (command->message == EM_SETSEL) SendMessageA(hwnd, EM_SETSEL, 0, -1);
        else SendMessageA(hwnd, command->message, 0, 0);
        return 0;
      }
      if (e.readOnly()) return 0;
      if (c == '\b') {
        if (e.lo() == e.hi() && e.lo() > 0) e.select(e.lo() - 1, e.lo());
        e.replace("");
      } else if (c == '\r') {
        if (multiline) e.replace("\r\n");
      } else if (static_cast<unsigned char>(c) >= 0x20) {
        e.replace(std::string_view(&c, 1));
      }
      return 0;
    }
    case WM_KEYDOWN: {
      const bool shift = GetKeyState(int(VK_SHIFT)) < 0;
      const DWORD caret = w.control.selEnd;
      switch (wParam) {
        case VK_LEFT: e.caret(caret > 0 ? caret - 1 : 0, shift); break;
        case VK_RIGHT: e.caret(std::min(caret + 1, e.size()), shift); break;
        case VK_HOME: e.caret(0, shift); break;
        case VK_END: e.caret(e.size(), shift); break;
        case VK_DELETE:
          if (e.readOnly()) break;
          if (e.lo() == e.hi() && e.hi() < e.size()) e.select(e.lo(), e.lo() + 1);
          e.replace("");
          break;
        default: break;
      }
      return 0;
    }
    case WM_CUT:
      e.copy();
      if (!e.readOnly()) e.replace("");
      return 0;
    case WM_COPY: e.copy(); return 0;
    case WM_PASTE:
      if (auto text = GetClipboardText(); text && !e.readOnly()) {
        if (!multiline) text = text->substr(0, text->find_first_of("\r\n"));
        e.replace(*text);
      }
      return 0;
    case WM_CLEAR:
      if (!e.readOnly()) e.replace("");
      return 0;
    case WM_UNDO:
    case EM_UNDO: {
      if (!w.control.canUndo) return FALSE;
      std::string previous = w.control.undoText;
      w.control.undoText = w.text;
      e.select(0, e.size());
      e.replace(previous, false);
      return TRUE;
    }
    case EM_CANUNDO: return w.control.canUndo;
    case EM_EMPTYUNDOBUFFER: w.control.canUndo = false; return 0;
    case EM_GETSEL:
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = e.lo();
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = e.hi();
      return LRESULT(MAKELONG(WORD(e.lo()), WORD(e.hi())));
    case EM_SETSEL: {
      // -1 as the start removes the selection; -1 as the end runs to the end of the text.
      const LONG start = LONG(wParam), end = LONG(lParam);
      if (start == -1) e.select(w.control.selEnd, w.control.selEnd);
      else e.select(DWORD(start), end == -1 ? e.size() : DWORD(std::max<LONG>(end, 0)));
      return 0;
    }
    case EM_REPLACESEL: e.replace(reinterpret_cast<const char*>(lParam) ? reinterpret_cast<const char*>(lParam) : "", wParam != 0); return 0;
    case EM_LIMITTEXT: w.control.limit = wParam ? DWORD(wParam) : 0x7FFFFFFE; return 0;
    case EM_GETMODIFY: return w.control.modified;
    case EM_SETMODIFY: w.control.modified = wParam != 0; return 0;
    case EM_SETREADONLY: SetWindowLongPtrA(hwnd, GWL_STYLE, LONG_PTR(wParam ? (w.style | ES_READONLY) : (w.style & ~ES_READONLY))); return TRUE;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace platform::detail
