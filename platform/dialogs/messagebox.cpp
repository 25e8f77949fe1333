// The platform's message box: a modal "#32770" window with an icon, the text and the buttons of
// its flags, driven by a nested message loop until a button answers it.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "platform/backend.h"
#include "platform/controls/detail/controls.h"
#include "platform/dialogs/detail/dialog_log.h"
#include "platform/dialogs/dialogs.h"
#include "platform/input/input.h"
#include "platform/input/script.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/detail/handle_table.h"
#include "platform/window/detail/model.h"
#include "platform/window/window.h"

namespace platform {

namespace {

// Dialog window words: the result, the done flag and the default button's identifier.
constexpr int kResultWord = 0;
constexpr int kDoneWord = int(sizeof(LONG_PTR));
constexpr int kDefaultWord = 2 * int(sizeof(LONG_PTR));

struct ButtonSpec {
  int id;
  const char* text;
};

std::vector<ButtonSpec> buttonsFor(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "&Try Again"}, {IDCONTINUE, "&Continue"}};
    default: return {{IDOK, "OK"}};
  }
}

LONG_PTR iconFor(UINT flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
    default: return 0;
  }
}

std::string withoutAccel(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

void finish(HWND dialog, int result) {
  SetWindowLongPtrA(dialog, kResultWord, result);
  SetWindowLongPtrA(dialog, kDoneWord, 1);
}

}  // namespace

namespace detail {

LRESULT dialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDHELP) {
        if (HWND owner = GetParent(hwnd)) SendMessageA(owner, WM_HELP, 0, 0);
        return 0;
      }
      if (GetDlgItem(hwnd, id)) finish(hwnd, id);
      return 0;
    }
    case WM_CLOSE:
      // Closing answers Cancel where there is one, OK for a lone OK button, else nothing.
      if (GetDlgItem(hwnd, IDCANCEL)) finish(hwnd, IDCANCEL);
      else if (GetDlgItem(hwnd, IDOK) && !GetDlgItem(hwnd, IDYES)) finish(hwnd, IDOK);
      return 0;
    case DM_GETDEFID: {
      const auto id = WORD(GetWindowLongPtrA(hwnd, kDefaultWord));
      return id ? LRESULT(MAKELONG(id, DC_HASDEFID)) : 0;
    }
    case DM_SETDEFID: SetWindowLongPtrA(hwnd, kDefaultWord, LONG_PTR(wParam)); return TRUE;
    case WM_ACTIVATE:
      // Coming back to the dialog puts the focus on its default button.
      if (LOWORD(wParam) != WA_INACTIVE && !IsChild(hwnd, GetFocus()))
        if (HWND def = GetDlgItem(hwnd, int(GetWindowLongPtrA(hwnd, kDefaultWord)))) SetFocus(def);
      return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace detail

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags) {
  const std::string body = text ? text : "";
  const std::string title = caption ? caption : "Error";
  const auto buttons = buttonsFor(flags);
  std::vector<ButtonSpec> all = buttons;
  if (flags & MB_HELP) all.push_back({IDHELP, "Help"});
  const size_t defIndex = std::min<size_t>((flags & MB_DEFMASK) >> 8, all.size() - 1);
  const LONG_PTR icon = iconFor(flags);

  static const HFONT font = CreateFontA(8, 400, "MS Sans Serif");
  const FontMetrics fm = backend().fontMetrics("MS Sans Serif", 8);
  std::vector<std::string> lines(1);
  for (const char c : body) {
    if (c == '\n') lines.emplace_back();
    else if (c != '\r') lines.back() += c;
  }
  size_t widest = 0;
  for (const auto& l : lines) widest = std::max(widest, l.size());
  const int textLeft = icon ? 12 + 32 + 12 : 12;
  const int textWidth = int(widest) * fm.averageWidth + 4;
  const int textHeight = int(lines.size()) * fm.height;
  constexpr int kButtonW = 75, kButtonH = 23, kGap = 6, kMargin = 12;
  const int buttonsWidth = int(all.size()) * kButtonW + int(all.size() - 1) * kGap;
  const int clientW = std::max({textLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin, 160});
  const int bodyH = std::max(textHeight, icon ? 32 : 0);
  const int clientH = kMargin + bodyH + kMargin + kButtonH + kMargin;

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  RECT frame{0, 0, clientW, clientH};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  RECT around;
  if (!owner || !GetWindowRect(GetAncestorTop(owner), &around)) around = backend().workArea();
  const int x = around.left + (around.width() - frame.width()) / 2;
  const int y = around.top + (around.height() - frame.height()) / 2;

  HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", title.c_str(), style, x, y, frame.width(), frame.height(),
                             owner ? GetAncestorTop(owner) : nullptr, nullptr);
  if (!box) return 0;
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  if (icon) {
    HWND i =
        CreateWindowExA(0, "static", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, kMargin, 32, 32, box, reinterpret_cast<HMENU>(20), nullptr);
    SendMessageA(i, STM_SETICON, WPARAM(LoadIconA(icon)), 0);
  }
  HWND label = CreateWindowExA(0, "static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, textLeft, kMargin + (bodyH - textHeight) / 2,
                               textWidth, textHeight, box, reinterpret_cast<HMENU>(0xFFFF), nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  int bx = (clientW - buttonsWidth) / 2;
  std::vector<HWND> buttonWindows;
  for (size_t i = 0; i < all.size(); ++i) {
    const DWORD bs = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
    HWND b = CreateWindowExA(0, "button", all[i].text, bs, bx, clientH - kMargin - kButtonH, kButtonW, kButtonH, box,
                             reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(all[i].id)), nullptr);
    SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    buttonWindows.push_back(b);
    bx += kButtonW + kGap;
  }
  SendMessageA(box, DM_SETDEFID, WPARAM(all[defIndex].id), 0);

  const HWND disabledOwner = owner && IsWindowEnabled(GetAncestorTop(owner)) ? GetAncestorTop(owner) : nullptr;
  if (disabledOwner) EnableWindow(disabledOwner, FALSE);
  ShowWindow(box, SW_SHOW);
  SetFocus(buttonWindows[defIndex]);

  MessageDialog dialog{box, buttonWindows, {}, defIndex, title, body};
  for (const ButtonSpec& b : all) dialog.captions.emplace_back(b.text);
  const int pressed = RunMessageDialog(dialog, [&]() -> std::optional<std::size_t> {
    if (!IsWindow(box) || !GetWindowLongPtrA(box, kDoneWord)) return std::nullopt;
    const auto id = GetWindowLongPtrA(box, kResultWord);
    for (std::size_t i = 0; i < all.size(); ++i)
      if (all[i].id == id) return i;
    return std::nullopt;
  });
  const int result = pressed >= 0 ? all[std::size_t(pressed)].id : 0;
  if (disabledOwner) EnableWindow(disabledOwner, TRUE);
  if (IsWindow(box)) DestroyWindow(box);
  return result;
}

int RunMessageDialog(const MessageDialog& d, const std::function<std::optional<std::size_t>()>& answered) {
  const auto sameButton = [](std::string_view a, std::string_view b) { return ascii::equalsNoCase(withoutAccel(a), withoutAccel(b)); };
  bool byDefault = false;
  if (auto answer = script::takeAnswer("message")) {
    auto it = std::find_if(d.captions.begin(), d.captions.end(), [&](const std::string& c) { return sameButton(c, *answer); });
    if (it == d.captions.end()) {
      detail::logDialog("message box has no button " + detail::quoted(*answer) + "; taking the default");
      byDefault = true;
      input::click(d.buttons[d.defaultIndex]);
    } else {
      input::click(d.buttons[std::size_t(it - d.captions.begin())]);
    }
  } else if (detail::unattended() && script::exhausted()) {
    byDefault = true;
    input::click(d.buttons[d.defaultIndex]);
  }

  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (IsWindow(d.window) && !answered()) {
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      quit = true;
      quitCode = int(msg.wParam);
      break;
    }
    if (!IsDialogMessageA(d.window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  const std::optional<std::size_t> pressed = answered();
  if (quit) PostQuitMessage(quitCode);  // the quit belongs to the outer loop
  if (detail::unattended())
    detail::logDialog("message box " + detail::quoted(d.caption) + " " + detail::quoted(d.text) + " -> " +
                      (pressed ? detail::quoted(withoutAccel(d.captions[*pressed])) : std::string("none")) + (byDefault ? " (default)" : ""));
  return pressed ? int(*pressed) : -1;
}

}  // namespace platform
