#include "runtime/window/message_box.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <memory>
#include <vector>

#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/thread_context.h"
#include "runtime/value/locale.h"
#include "runtime/window/window_object.h"

namespace tamsil::window {

using namespace platform;

namespace {

// One row per flag, in flag order (which is also the TSLBUTTON index); the control identifier is
// the platform's answer code for the button, so Escape (IDCANCEL) reaches Cancel and only Cancel.
struct ButtonRow {
  unsigned flag;
  const char* text;
  int id;
};
constexpr ButtonRow kButtons[] = {
    {BtnOk, "OK", IDOK},
    {BtnYes, "&Yes", IDYES},
    {BtnNo, "&No", IDNO},
    {BtnAbort, "&Abort", IDABORT},
    {BtnRetry, "&Retry", IDRETRY},
    {BtnIgnore, "&Ignore", IDIGNORE},
    {BtnCancel, "Cancel", IDCANCEL},
    {BtnHelp, "&Help", IDHELP},
};

std::atomic<MessageHook> gHook{nullptr};

constexpr const char* kFontFace = "Helv";
constexpr int kFontPoints = 8;
constexpr int kIconId = 20, kTextId = 0xFFFF;

LONG_PTR stockIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Stop: return IDI_HAND;
    case MessageIcon::Question: return IDI_QUESTION;
    case MessageIcon::Exclamation: return IDI_EXCLAMATION;
    case MessageIcon::Information: return IDI_ASTERISK;
    case MessageIcon::None: return 0;
  }
  return 0;
}

// What the box's window procedure needs: the answer and whether it has come.
struct BoxState {
  WNDPROC dialogProc = nullptr;
  std::vector<std::pair<int, unsigned>> idToFlag;
  unsigned answer = 0;
  bool done = false;

  std::optional<unsigned> flagOf(int id) const {
    for (const auto& [i, f] : idToFlag)
      if (i == id) return f;
    return std::nullopt;
  }
};

BoxState* stateOf(HWND box) { return reinterpret_cast<BoxState*>(GetWindowLongPtrA(box, GWLP_USERDATA)); }

// The box is a platform dialog frame whose commands and close request this procedure takes over;
// default-button bookkeeping and activation stay with the dialog class.
LRESULT boxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  BoxState* s = stateOf(box);
  if (!s) return DefWindowProcA(box, msg, wParam, lParam);
  switch (msg) {
    case WM_COMMAND:
      if (auto flag = s->flagOf(LOWORD(wParam))) {
        s->answer = *flag;
        s->done = true;
      }
      return 0;
    case WM_CLOSE:
      // Closing the frame answers Cancel where there is one, and the button of a one-button box.
      if (s->flagOf(IDCANCEL)) s->answer = BtnCancel, s->done = true;
      else if (s->idToFlag.size() == 1) s->answer = s->idToFlag.front().second, s->done = true;
      return 0;
    default: return CallWindowProcA(s->dialogProc, box, msg, wParam, lParam);
  }
}

// Disables the windows the box is modal to for as long as it lives.
class ModalScope {
 public:
  ModalScope(HWND owner, bool systemModal) {
    if (systemModal) {
      if (ThreadContext* tc = currentThreadContext())
        for (Window* w : tc->windows) disable(w->handle);
    } else {
      disable(owner);
    }
  }
  ~ModalScope() {
    for (HWND h : disabled_)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  void disable(HWND h) {
    if (h && IsWindowEnabled(h)) {
      EnableWindow(h, FALSE);
      disabled_.push_back(h);
    }
  }
  std::vector<HWND> disabled_;
};

struct Layout {
  int clientW = 0, clientH = 0, textLeft = 0, textTop = 0, textW = 0, textH = 0, buttonW = 0, buttonH = 0, buttonsLeft = 0, buttonsTop = 0,
      gap = 0, margin = 0, icon = 0;
};

Layout layOut(const std::string& lines, size_t buttonCount, const std::vector<std::string>& captions, bool icon, HFONT font) {
  const DialogBaseUnits u = GetDialogBaseUnitsFor(font);
  auto dx = [&](int d) { return d * u.x / 4; };
  auto dy = [&](int d) { return d * u.y / 8; };
  size_t widest = 0, count = 1, run = 0;
  for (const char c : lines) {
    if (c == '\n') ++count, run = 0;
    else widest = std::max(widest, ++run);
  }
  size_t longestCaption = 0;
  for (const auto& c : captions) longestCaption = std::max(longestCaption, c.size());
  Layout l;
  l.margin = dx(7);
  l.gap = dx(4);
  l.icon = icon ? 32 : 0;
  l.buttonW = std::max(dx(40), int(longestCaption + 2) * u.x);
  l.buttonH = dy(14);
  l.textLeft = l.margin + (icon ? l.icon + l.margin : 0);
  l.textW = int(widest) * u.x + u.x;
  l.textH = int(count) * u.y;
  const int buttonsW = int(buttonCount) * l.buttonW + int(buttonCount - 1) * l.gap;
  const int bodyH = std::max(l.textH, l.icon);
  l.clientW = std::max({l.textLeft + l.textW + l.margin, buttonsW + 2 * l.margin, dx(120)});
  l.clientH = l.margin + bodyH + l.margin + l.buttonH + l.margin;
  l.textTop = l.margin + (bodyH - l.textH) / 2;
  l.buttonsLeft = (l.clientW - buttonsW) / 2;
  l.buttonsTop = l.clientH - l.margin - l.buttonH;
  return l;
}

HWND makeChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id, HFONT font) {
  HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)));
  if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return c;
}

unsigned showBox(const MessageBoxRequest& r) {
  std::vector<const ButtonRow*> rows;
  for (const ButtonRow& b : kButtons)
    if (r.buttons & b.flag) rows.push_back(&b);
  if (rows.empty()) rows.push_back(&kButtons[0]);
  size_t defIndex = 0;
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i]->flag == r.defaultButton) defIndex = i;
  std::vector<std::string> captions;
  for (const ButtonRow* b : rows) captions.push_back(buttonText(b->flag));

  static const HFONT font = CreateFontA(kFontPoints, 400, kFontFace);
  const std::string lines = messageLines(r.text);
  const LONG_PTR icon = stockIcon(r.icon);
  const Layout l = layOut(lines, rows.size(), captions, icon != 0, font);

  ThreadContext* tc = currentThreadContext();
  Window* current = tc ? tc->currentWindow() : nullptr;
  const HWND owner = current ? current->handle : GetActiveWindow();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  RECT frame{0, 0, l.clientW, l.clientH};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  if (RECT around; owner && GetWindowRect(owner, &around)) {
    x = around.left + (around.width() - frame.width()) / 2;
    y = around.top + (around.height() - frame.height()) / 2;
  }
  HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", r.caption.c_str(), style, x, y, frame.width(), frame.height(), owner, nullptr);
  if (!box) return rows[defIndex]->flag;  // no window to show: the answer nobody could change
  auto state = std::make_unique<BoxState>();
  for (const ButtonRow* b : rows) state->idToFlag.emplace_back(b->id, b->flag);
  SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
  state->dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxProc)));
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);

  if (icon) {
    HWND i = makeChild(box, "static", "", SS_ICON, l.margin, l.margin, l.icon, l.icon, kIconId, font);
    SendMessageA(i, STM_SETICON, WPARAM(LoadIconA(icon)), 0);
  }
  if (r.style & kMessageCanCopy)
    makeChild(box, "edit", lines.c_str(), ES_MULTILINE | ES_READONLY, l.textLeft, l.textTop, l.textW, l.textH, kTextId, font);
  else makeChild(box, "static", lines.c_str(), SS_LEFT, l.textLeft, l.textTop, l.textW, l.textH, kTextId, font);
  std::vector<HWND> buttons;
  for (size_t i = 0; i < rows.size(); ++i) {
    const DWORD bs = WS_TABSTOP | (i == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
    buttons.push_back(makeChild(box, "button", captions[i].c_str(), bs, l.buttonsLeft + int(i) * (l.buttonW + l.gap), l.buttonsTop, l.buttonW,
                                l.buttonH, rows[i]->id, font));
  }
  SendMessageA(box, DM_SETDEFID, WPARAM(rows[defIndex]->id), 0);

  ModalScope modal(owner, r.style & kMessageSystemModal);
  ShowWindow(box, SW_SHOW);
  SetFocus(buttons[defIndex]);

  const int pressed = RunMessageDialog({box, buttons, captions, defIndex, r.caption, lines}, [&]() -> std::optional<std::size_t> {
    if (!state->done) return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i]->flag == state->answer) return i;
    return std::nullopt;
  });
  // Without an answer (the box was destroyed, or the program is asked to quit) the default holds.
  const unsigned result = pressed >= 0 ? rows[std::size_t(pressed)]->flag : rows[defIndex]->flag;
  if (IsWindow(box)) {
    SetWindowLongPtrA(box, GWLP_USERDATA, 0);
    DestroyWindow(box);
  }
  return result;
}

}  // namespace

std::string buttonText(unsigned flag) {
  if (!std::has_single_bit(flag)) return {};
  const int index = std::countr_zero(flag);
  if (size_t(index) >= std::size(kButtons)) return {};
  if (auto caption = buttonCaptionOverride(index)) return std::string(*caption);
  return kButtons[index].text;
}

std::string messageLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '|') out += '\n';
    else if (c == '\r') out += (i + 1 < text.size() && text[i + 1] == '\n') ? "" : "\n";
    else out += c;
  }
  return out;
}

unsigned RuntimeMessageBox(const MessageBoxRequest& request) {
  if (MessageHook hook = gHook.load()) return hook(request);
  return showBox(request);
}

MessageHook SetMessageHook(MessageHook hook) { return gHook.exchange(hook); }
MessageHook CurrentMessageHook() { return gHook.load(); }

}  // namespace tamsil::window
