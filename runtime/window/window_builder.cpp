// Opening a window: its stored definition is found, the platform window, its menu bar and one
// control per record are built, and the definition is released.
#include <string>
#include <utility>

#include "platform/controls/menu.h"
#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/runtime_lock.h"
#include "runtime/window/definition_lookup.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/runtime_classes.h"
#include "runtime/window/window_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

constexpr UINT kCommandBase = 0x4000;  // a control's platform identifier is its field plus this

std::string str(const std::optional<std::string_view>& s) { return s ? std::string(*s) : std::string(); }

// Dialog units to pixels in the window's font; default coordinates stay default.
RECT toPixels(const Position& p, HFONT font) {
  auto v = [](std::int32_t x) { return x == kDefaultPosition ? 0 : x; };
  RECT r{v(p.x), v(p.y), v(p.x) + v(p.width), v(p.y) + v(p.height)};
  MapDialogRectFor(font, &r);
  return r;
}

// Block A: message texts and help keyword, each defaulting to the window's.
void takeBlockA(Control& c, const BlockA& a, const Window& w) {
  c.altMessage = str(a.altMessage);
  c.message = str(a.message);
  if (c.message.starts_with("~") && !c.altMessage.empty()) c.message = c.altMessage;
  c.messageDefaulted = !a.message;
  if (!a.message) c.message = w.message;
  c.help = a.help ? std::string(*a.help) : w.help;
  c.helpDefaulted = !a.help;
  c.attributes = a.attributes;
  c.alertKeys = a.alertKeys;
}

class Builder {
 public:
  Builder(Window& w, const WindowTree& tree) : w_(w), tree_(tree) {}

  HMENU menuBar() {
    if (!tree_.menuBar) return nullptr;
    addControl(tree_.menuBar->record);
    HMENU bar = CreateMenu();
    for (const RecordNode& menu : tree_.menuBar->children) appendMenu(bar, menu);
    return bar;
  }

  void controls(HWND parent, const std::vector<RecordNode>& nodes) {
    for (const RecordNode& node : nodes) {
      const DefinitionRecord& r = node.record;
      Control& c = addControl(r);
      c.parentField = parentField_;
      if (const RuntimeClass* cls = runtimeClassForKind(r.kind)) create(parent, c, r, *cls);
      // Groups, options and sheets contain their controls; they are placed on the same window.
      const int outer = std::exchange(parentField_, r.field);
      controls(parent, node.children);
      parentField_ = outer;
    }
  }

 private:
  Control& addControl(const DefinitionRecord& r) {
    Control c;
    c.field = r.field;
    c.kind = r.kind;
    c.label = str(r.text(Slot::Label));
    c.attributes = r.attributes;
    c.action = r.action;
    c.bound = r.var.has_value();
    takeBlockA(c, r.blockA, w_);
    if (r.kind == std::uint8_t(Kind::Item)) c.message = str(r.text(Slot::Message));
    // Records without a field number (separators) are kept apart so they never clash.
    const int key = r.field != 0 ? r.field : --anonymous_;
    return w_.controls[key] = std::move(c);
  }

  void appendMenu(HMENU parent, const RecordNode& node) {
    const DefinitionRecord& r = node.record;
    addControl(r);
    const std::string text = str(r.text(Slot::Text));
    if (r.kind == std::uint8_t(Kind::Menu)) {
      HMENU popup = CreatePopupMenu();
      for (const RecordNode& child : node.children) appendMenu(popup, child);
      AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text.c_str());
    } else if (r.attributes & kItemSeparator) {
      AppendMenuA(parent, MF_SEPARATOR, 0, nullptr);
    } else {
      const UINT id = UINT(r.field) + kCommandBase;
      w_.commandFields[id] = r.field;
      AppendMenuA(parent, MF_STRING, id, text.c_str());
    }
  }

  void create(HWND parent, Control& c, const DefinitionRecord& r, const RuntimeClass& cls) {
    const std::string name = ensureRuntimeClass(cls);
    const RECT px = toPixels(r.pos, w_.font);
    DWORD style = WS_CHILD | cls.style;
    if (!(r.attributes & kControlHidden)) style |= WS_VISIBLE;
    if (Kind(r.kind) != Kind::Prompt && Kind(r.kind) != Kind::String && Kind(r.kind) != Kind::StringVar && Kind(r.kind) != Kind::Group &&
        Kind(r.kind) != Kind::Image)
      style |= WS_TABSTOP;
    const std::string text = str(r.text(Slot::Text));
    c.hwnd = CreateWindowExA(0, name.c_str(), text.c_str(), style, px.left, px.top, px.right - px.left, px.bottom - px.top, parent,
                             reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(UINT(r.field) + kCommandBase)));
    if (!c.hwnd) RuntimeErrorReport(RuntimeError::WindowNotOpened);
    SetWindowLongPtrA(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(w_.font), 0);
  }

  Window& w_;
  const WindowTree& tree_;
  int anonymous_ = 0;
  int parentField_ = 0;  // the container whose controls are being built
};

}  // namespace

void OpenWindowOp(Window& w, Window* owner) {
  RuntimeLockGuard lock(runtimeLock());
  ThreadContext* tc = currentThreadContext();
  if (!tc) RuntimeErrorReport(RuntimeError::InternalNoThread, "WSLDIAL");
  if (w.handle) RuntimeErrorReport(RuntimeError::WindowAlreadyOpen, w.label());
  auto found = FindWindowDefinition(w.module(), w.label());
  if (!found) RuntimeErrorReport(found.error().number, found.error().detail);
  const WindowTree& tree = found.value().tree();
  const DefinitionRecord& def = tree.window;

  w.thread = tc;
  w.attributes = def.attributes;
  w.stateWord = def.state;
  w.message = str(def.blockA.message);
  w.help = str(def.blockA.help);
  w.lowestField = tree.lowestField;
  w.highestField = tree.highestField;
  w.controls.clear();
  w.commandFields.clear();
  w.queue = {};
  w.closeState = CloseState::Open;
  w.alertKeys = def.blockA.alertKeys;
  w.properties = {};
  w.deferred = {};
  w.font = def.font ? CreateFontA(def.font->size, int(def.font->weight), std::string(def.font->face).c_str()) : nullptr;

  Builder builder(w, tree);
  HMENU bar = builder.menuBar();
  const DWORD style = WS_OVERLAPPEDWINDOW;
  RECT client = toPixels(def.pos, w.font);
  RECT frame{0, 0, client.right - client.left, client.bottom - client.top};
  AdjustWindowRectEx(&frame, style, bar != nullptr, 0);
  const bool defaultPos = def.pos.x == kDefaultPosition || def.pos.y == kDefaultPosition;
  const bool defaultSize = def.pos.width == kDefaultPosition || def.pos.height == kDefaultPosition;
  w.handle =
      CreateWindowExA(0, ensureWindowClass().c_str(), str(def.text(Slot::Title)).c_str(), style, defaultPos ? CW_USEDEFAULT : client.left,
                      defaultPos ? CW_USEDEFAULT : client.top, defaultSize ? CW_USEDEFAULT : frame.right - frame.left,
                      defaultSize ? CW_USEDEFAULT : frame.bottom - frame.top, owner ? owner->handle : nullptr, bar);
  if (!w.handle) RuntimeErrorReport(RuntimeError::WindowNotOpened);
  SetWindowLongPtrA(w.handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
  builder.controls(w.handle, tree.controls);
  found.value().release();

  tc->windows.push_back(&w);
  tc->topHandle = w.handle;
  ShowWindow(w.handle, SW_SHOW);
  // A person's first keystrokes go to the first tab stop, unless the window already put the
  // focus on one of its controls.
  const std::vector<Control*> stops = w.tabStops();
  if (!stops.empty() && !IsChild(w.handle, GetFocus())) SetFocus(stops.front()->hwnd);
  w.queue.pending.push_back(detail::makeEvent(w, event::OpenWindow, nullptr));
}

}  // namespace tamsil::window
