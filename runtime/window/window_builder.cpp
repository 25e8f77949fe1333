// Opening a window: its stored definition is found, the platform window, its menu bar and one
// control per record are built, and the definition is released.
#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "platform/controls/menu.h"
#include "platform/desktop/drop.h"
#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "platform/window/window.h"
#include "runtime/core/runtime_lock.h"
#include "runtime/core/startup.h"
#include "runtime/value/picture.h"
#include "runtime/window/definition_lookup.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/program_stop.h"
#include "runtime/window/property_names.h"
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

// Block A: message texts and help keyword. Without an alternate text or a help keyword the
// control takes its window's and marks that it did.
void takeBlockA(Control& c, const BlockA& a, const Window& w) {
  c.altMessage = a.altMessage ? std::string(*a.altMessage) : w.altMessage;
  c.altMessageDefaulted = !a.altMessage;
  c.message = str(a.message);
  if (c.message.starts_with("~") && !c.altMessage.empty()) c.message = c.altMessage;
  c.help = a.help ? std::string(*a.help) : w.help;
  c.helpDefaulted = !a.help;
  c.attributes = a.attributes;
  c.alertKeys = a.alertKeys;
}

HFONT makeFont(const FontRecord& f) { return CreateFontA(f.size, int(f.weight), std::string(f.face).c_str(), f.charset); }

// The colours a control of the kind is painted with: shapes draw in slot 0 (a box fills with
// slot 1); everything else writes in its font's colour on slot 0 and selects with slots 1 and 2.
WindowColours coloursFor(Kind kind, const Appearance& look) {
  const ColourSlots& c = look.colours;
  switch (kind) {
    case Kind::Line:
    case Kind::Panel: return {.foreground = c[0]};
    case Kind::Box: return {.foreground = c[0], .background = c[1]};
    default: return {.foreground = look.fontColour, .background = c[0], .selectedText = c[1], .selectedBackground = c[2]};
  }
}

// The runtime properties that read back what the definition gave a window or control.
void storeLook(PropertyStore& store, HFONT font, const Appearance& look) {
  auto number = [](std::uint32_t n) { return std::to_string(n); };
  if (font) {
    store.set(prop::Font, 0, FontFace(font));
    store.set(prop::FontSize, 0, number(std::uint32_t(FontPoints(font))));
    store.set(prop::FontStyle, 0, number(std::uint32_t(FontWeight(font))));
    store.set(prop::FontCharSet, 0, number(FontCharset(font)));
  }
  if (look.fontColour != kDefaultColour) store.set(prop::FontColor, 0, number(look.fontColour));
  constexpr std::uint16_t kColourProperties[] = {prop::Background, prop::SelectedColor, prop::SelectedFillColor};
  for (std::size_t i = 0; i < look.colours.size(); ++i)
    if (look.colours[i] != kDefaultColour) store.set(kColourProperties[i], 0, number(look.colours[i]));
  if (!look.cursor.empty()) store.set(prop::Cursor, 0, look.cursor);
}

// Kinds a person cannot tab to: texts, pictures, groups, shapes and the tabs of a sheet (the
// sheet itself is the stop).
bool isTabStop(Kind k) {
  switch (k) {
    case Kind::Prompt:
    case Kind::String:
    case Kind::StringVar:
    case Kind::Group:
    case Kind::Image:
    case Kind::Line:
    case Kind::Box:
    case Kind::Panel:
    case Kind::Tab: return false;
    default: return true;
  }
}

// LINE, BOX and PANEL have no runtime class; they are the platform's plain shape statics, so any
// backend draws them. A line is a filled rectangle at least one pixel thick.
std::optional<DWORD> shapeStyle(Kind k) {
  switch (k) {
    case Kind::Line:
    case Kind::Panel: return SS_BLACKRECT;
    case Kind::Box: return SS_BLACKFRAME;
    default: return std::nullopt;
  }
}

// Whether a text holds rich text, or a list drops down: the kind's other runtime class.
bool otherClass(const DefinitionRecord& r) {
  switch (Kind(r.kind)) {
    case Kind::Text: return r.attributes & kTextRich;
    case Kind::List: return r.attributes & kListDrop;
    default: return false;
  }
}

class Builder {
 public:
  Builder(Window& w, const WindowTree& tree, const DefinitionReader& reader) : w_(w), tree_(tree), reader_(reader) {}

  HMENU menuBar() {
    if (!tree_.menuBar) return nullptr;
    addControl(tree_.menuBar->record);
    HMENU bar = CreateMenu();
    for (const RecordNode& menu : tree_.menuBar->children) appendMenu(bar, menu);
    return bar;
  }

  void controls(HWND parent, const std::vector<RecordNode>& nodes) {
    for (const RecordNode& node : nodes) {
      const DefinitionRecord& r = recordOf(node.record);
      Control& c = addControl(r);
      c.parentField = parentField_;
      if (const RuntimeClass* cls = runtimeClassForKind(r.kind, otherClass(r))) create(parent, c, r, cls->style, ensureRuntimeClass(*cls));
      else if (const auto shape = shapeStyle(Kind(r.kind))) create(parent, c, r, *shape, "static");
      // Groups, options and sheets contain their controls; they are placed on the same window.
      const int outer = std::exchange(parentField_, r.field);
      const HWND outerSheet = std::exchange(sheet_, Kind(r.kind) == Kind::Sheet ? c.hwnd : sheet_);
      controls(parent, node.children);
      parentField_ = outer;
      sheet_ = outerSheet;
    }
  }

 private:
  // A kind of unsettled layout that is built like a settled one is read with that one's layout.
  const DefinitionRecord& recordOf(const DefinitionRecord& r) {
    if (Kind(r.kind) != Kind::Spin) return r;
    auto asEntry = reader_.record(r.offset, *layoutOf(std::uint8_t(Kind::Entry)));
    if (!asEntry) return r;
    reread_.push_back(std::move(asEntry.value()));
    return reread_.back();
  }

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
    c.font = r.font ? makeFont(*r.font) : w_.font;
    c.look.fontColour = r.font ? r.font->colour : w_.look.fontColour;
    if (r.colours) c.look.colours = r.colours->slot;
    c.look.cursor = str(r.text(Slot::Cursor));
    c.picture = str(r.text(Slot::Picture));
    c.format = str(r.text(Slot::Format));
    c.value = str(r.text(Slot::Value));
    storeLook(c.properties, c.font, c.look);
    if (!c.format.empty()) c.properties.set(prop::Format, 0, c.format);
    if (!c.value.empty()) c.properties.set(prop::TrueValue, 0, c.value);
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

  void create(HWND parent, Control& c, const DefinitionRecord& r, DWORD classStyle, const std::string& className) {
    const Kind kind = Kind(r.kind);
    RECT px = toPixels(r.pos, w_.font);
    if (kind == Kind::Line) {
      px.right = std::max(px.right, px.left + 1);
      px.bottom = std::max(px.bottom, px.top + 1);
    }
    DWORD style = WS_CHILD | classStyle;
    if (!(r.attributes & kControlHidden)) style |= WS_VISIBLE;
    if (isTabStop(kind)) style |= WS_TABSTOP;
    if (kind == Kind::Check && (r.attributes & kCheckTextLeft)) style |= BS_LEFTTEXT;
    const std::string text = str(r.text(Slot::Text));
    c.hwnd = CreateWindowExA(0, className.c_str(), text.c_str(), style, px.left, px.top, px.right - px.left, px.bottom - px.top, parent,
                             reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(UINT(r.field) + kCommandBase)));
    if (!c.hwnd) RuntimeErrorReport(RuntimeError::WindowNotOpened);
    SetWindowLongPtrA(c.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
    SendMessageA(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), 0);
    SetWindowColours(c.hwnd, coloursFor(kind, c.look));
    // An entry takes no more characters than its picture shows.
    if (kind == Kind::Entry || kind == Kind::Spin)
      if (const CompiledPicture p = compilePicture(c.picture); p.valid()) SendMessageA(c.hwnd, EM_LIMITTEXT, p.count, 0);
    if (kind == Kind::Tab && sheet_) {
      TCITEMA item;
      item.mask = TCIF_TEXT;
      item.pszText = text.c_str();
      SendMessageA(sheet_, TCM_INSERTITEMA, WPARAM(SendMessageA(sheet_, TCM_GETITEMCOUNT, 0, 0)), reinterpret_cast<LPARAM>(&item));
    }
  }

  Window& w_;
  const WindowTree& tree_;
  const DefinitionReader& reader_;
  std::deque<DefinitionRecord> reread_;  // records read again with another kind's layout
  int anonymous_ = 0;
  int parentField_ = 0;   // the container whose controls are being built
  HWND sheet_ = nullptr;  // the sheet whose tabs are being built
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

  SetThreadWindowRelease(detail::releaseThreadWindows);
  w.thread = tc;
  // Without an owner of its own the window is opened for the thread's target, when one is set.
  if (!owner && tc->target != &w) owner = tc->target;
  // An application frame honours only its frame bits.
  w.attributes = Kind(def.kind) == Kind::Frame ? def.attributes & kFrameAttributeMask : def.attributes;
  w.stateWord = def.state;
  w.message = str(def.blockA.message);
  w.altMessage = str(def.blockA.altMessage);
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
  w.font = def.font ? makeFont(*def.font) : nullptr;
  w.look = {};
  w.look.fontColour = def.font ? def.font->colour : kDefaultColour;
  if (def.colours) w.look.colours = def.colours->slot;
  w.look.cursor = str(def.text(Slot::Cursor));
  w.icon = str(def.text(Slot::Icon));
  storeLook(w.properties, w.font, w.look);
  if (!w.icon.empty()) w.properties.set(prop::Icon, 0, w.icon);

  Builder builder(w, tree, found.value().reader());
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
  DragAcceptFiles(w.handle, TRUE);  // files dropped from the desktop become "EVENT:Drop"
  SetWindowColours(w.handle, coloursFor(Kind::Window, w.look));
  // A named icon is a picture file; without one (or without the file) the program's icon.
  const LONG_PTR icon = w.icon.empty() ? 0 : LoadImageFromFile(w.icon);
  SendMessageA(w.handle, WM_SETICON, ICON_BIG, icon ? icon : LoadIconA(detail::kProgramIcon));
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
