#include "framework/window/window_resizer.h"

#include <algorithm>

#include "framework/window/framework_codes.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"

namespace tamsil::framework {

namespace prop = window::prop;
using window::Kind;

namespace {

// Kinds the resizer never manages: menus, their items and bar, tabs of a sheet, and two kinds
// without a rectangle of their own.
constexpr std::int32_t kUnmanagedKinds[] = {int(Kind::Menu), int(Kind::Item), int(Kind::MenuBar), 24, 25, int(Kind::Tab)};
constexpr std::int32_t kLargestKind = 127;

// The window events after which the layout may need to follow the window.
constexpr int kResizeEvents[] = {EventResizeNeeded, window::event::Restored, window::event::GainFocus, window::event::Maximized};

ResizeRect fromDialog(const window::DialogRect& r) { return {r.x, r.y, r.width, r.height}; }

bool sameSize(const ResizeRect& a, std::int32_t width, std::int32_t height) { return a.WIDTH == width && a.HEIGHT == height; }

std::int64_t squared(std::int64_t v) { return v * v; }

}  // namespace

WindowResizer::WindowResizer(window::Window& window) : window_(window) {}

WindowResizer::~WindowResizer() { Detach(); }

WindowResizer::ControlEntry* WindowResizer::entry(std::int32_t control) {
  if (!CONTROLQUEUE) return nullptr;
  const auto it = std::ranges::lower_bound(*CONTROLQUEUE, control, {}, &ControlEntry::ID);
  return it != CONTROLQUEUE->end() && it->ID == control ? &*it : nullptr;
}

std::int32_t WindowResizer::ParentOf(std::int32_t control) {
  const ControlEntry* e = entry(control);
  return e ? e->PARENTID : 0;
}

bool WindowResizer::windowRect(ResizeRect& out) const {
  window::DialogRect r;
  if (window::GetPosition(window_, 0, r) != window::PropertyStatus::Ok) return false;
  out = fromDialog(r);
  out.WIDTH = std::int32_t(window::GetProperty(window_, 0, prop::ClientWidth).number());
  out.HEIGHT = std::int32_t(window::GetProperty(window_, 0, prop::ClientHeight).number());
  return true;
}

bool WindowResizer::controlRect(std::int32_t control, ResizeRect& out) const {
  window::DialogRect r;
  if (window::GetPosition(window_, control, r) != window::PropertyStatus::Ok) return false;
  out = fromDialog(r);
  return true;
}

void WindowResizer::moveControl(std::int32_t control, const ResizeRect& to) {
  // A control that keeps its width is moved with its width left as it is.
  const bool keepWidth = window::GetProperty(window_, control, prop::NoWidth).number() != 0;
  window::SetPosition(window_, control, to.XPOS, to.YPOS, keepWidth ? window::kUnchanged : to.WIDTH, to.HEIGHT);
}

std::int32_t WindowResizer::managedKind(std::int32_t control) const {
  if (window::GetProperty(window_, control, prop::InToolBar).number() != 0) return 0;
  auto kind = std::int32_t(window::GetProperty(window_, control, prop::Type).number());
  if (kind < 1 || kind > kLargestKind || std::ranges::find(kUnmanagedKinds, kind) != std::end(kUnmanagedKinds)) return 0;
  // A list that drops down is laid out like an entry.
  if (kind == int(Kind::List) && window::GetProperty(window_, control, prop::Drop).number() != 0) kind = int(Kind::Entry);
  return kind;
}

void WindowResizer::CaptureLayout() {
  ResizeRect r;
  if (!windowRect(r)) return;
  ORIGWIN = {r.XPOS,
             r.YPOS,
             r.WIDTH,
             r.HEIGHT,
             std::uint8_t(window::GetProperty(window_, 0, prop::Maximize).number() != 0),
             std::uint8_t(window::GetProperty(window_, 0, prop::Iconize).number() != 0)};
  PREVIOUSWIN = r;
  if (!CONTROLQUEUE) CONTROLQUEUE = std::make_unique<std::vector<ControlEntry>>();
  for (auto d = std::int32_t(window::GetProperty(window_, 0, prop::NextField, 0).number()); d != 0;
       d = std::int32_t(window::GetProperty(window_, 0, prop::NextField, d).number())) {
    ResizeRect pos;
    if (!controlRect(d, pos)) continue;
    if (ControlEntry* e = entry(d)) {
      e->POS = pos;
      continue;
    }
    const std::int32_t kind = managedKind(d);
    if (!kind) continue;
    const ResizeStrategy s = DefaultStrategy(APPSTRATEGY, kind);
    const auto at = std::ranges::lower_bound(*CONTROLQUEUE, d, {}, &ControlEntry::ID);
    CONTROLQUEUE->insert(at, {d, kind, 0, s.positional, s.resize, pos, 0});
  }
  RESIZECALLED = 0;
}

void WindowResizer::AssignParents() {
  if (!CONTROLQUEUE) return;
  for (ControlEntry& e : *CONTROLQUEUE) AssignParent(e);
}

void WindowResizer::AssignParent(ControlEntry& k) {
  auto parent = std::int32_t(window::GetProperty(window_, k.ID, prop::Parent).number());
  if (parent != 0) {
    // Tabs are pages of their sheet, not containers of their own: the sheet is the parent.
    while (parent != 0 && window::GetProperty(window_, parent, prop::Type).number() == int(Kind::Tab))
      parent = std::int32_t(window::GetProperty(window_, parent, prop::Parent).number());
    setParent(k, parent);
    return;
  }
  const std::int32_t own = k.PARENTID, id = k.ID;
  const ResizeRect box = k.POS;
  for (ControlEntry& p : *CONTROLQUEUE) {
    if (p.ID == own || p.ID == id) continue;
    const bool inside =
        box.XPOS <= p.POS.XPOS && p.POS.XPOS <= box.XPOS + box.WIDTH - 1 && box.YPOS <= p.POS.YPOS && p.POS.YPOS <= box.YPOS + box.HEIGHT - 1;
    if (inside) setParent(p, id);
  }
}

// Links a child to its parent. The parent must be managed, and a link that would close a circle
// (controls sharing a corner adopt one another) is refused: a circle is never reached from the
// window, so its controls would stop following it.
void WindowResizer::setParent(ControlEntry& child, std::int32_t parent) {
  if (child.ID == parent) return;
  ControlEntry* p = parent ? entry(parent) : nullptr;
  if (parent && !p) return;
  for (std::int32_t up = parent; up != 0; up = ParentOf(up))
    if (up == child.ID) return;
  child.PARENTID = parent;
  if (p) p->HASCHILDREN = 1;
}

void WindowResizer::SetStrategy(std::int32_t control, std::uint16_t positional, std::uint16_t resize) {
  if (!CONTROLQUEUE) CONTROLQUEUE = std::make_unique<std::vector<ControlEntry>>();
  if (control == 0) {
    for (ControlEntry& e : *CONTROLQUEUE) e.POSITIONALSTRATEGY = positional, e.RESIZESTRATEGY = resize;
    return;
  }
  ControlEntry* e = entry(control);
  if (!e) {
    // Menus, tabs and toolbar controls have no place of their own to keep, here as in CaptureLayout.
    const std::int32_t kind = managedKind(control);
    ResizeRect pos;
    if (!kind || !controlRect(control, pos)) return;
    const auto at = std::ranges::lower_bound(*CONTROLQUEUE, control, {}, &ControlEntry::ID);
    e = &*CONTROLQUEUE->insert(at, {control, kind, 0, 0, 0, pos, 0});
  }
  e->POSITIONALSTRATEGY = positional;
  e->RESIZESTRATEGY = resize;
  if (e->PARENTID == 0) AssignParent(*e);
}

ResizeRect WindowResizer::ComputeRect(const ResizeRect& origParent, const ResizeRect& newParent, const ControlEntry& control) {
  return ComputeResizedRect(origParent, newParent, control.POS, {control.POSITIONALSTRATEGY, control.RESIZESTRATEGY});
}

void WindowResizer::OnResizeEvent() { Resize(0); }

void WindowResizer::visitChildren(std::int32_t parent, const ResizeRect& origParent, const ResizeRect& newParent) {
  for (const ControlEntry& e : *CONTROLQUEUE) {
    if (e.PARENTID != parent) continue;
    MoveEntry m{0, e.ID, e.TYPE, {}, ComputeRect(origParent, newParent, e)};
    if (!controlRect(e.ID, m.BEFORE)) continue;
    RESIZELIST->push_back(m);
    const bool full = window::GetProperty(window_, e.ID, prop::Full).number() != 0;
    if ((m.BEFORE != m.AFTER || full) && e.HASCHILDREN) visitChildren(e.ID, e.POS, m.AFTER);
  }
}

void WindowResizer::moveAllBack() {
  for (const ControlEntry& e : *CONTROLQUEUE) {
    ResizeRect now;
    if (controlRect(e.ID, now) && now != e.POS) moveControl(e.ID, e.POS);
  }
}

void WindowResizer::Resize(int flag) {
  if (!CONTROLQUEUE || !RESIZELIST) return;
  RESIZELIST->clear();
  ResizeRect n;
  if (!windowRect(n)) return;
  if (flag == 0 && sameSize(PREVIOUSWIN, n.WIDTH, n.HEIGHT)) return;

  long batch = 0;
  if (DEFERMOVES) {
    batch = window::GetProperty(window_, 0, prop::DeferMove).number();
    window::SetProperty(window_, 0, prop::DeferMove, -std::max<long>(long(CONTROLQUEUE->size()), 1));
  }
  if (sameSize(n, ORIGWIN.WIDTH, ORIGWIN.HEIGHT)) {
    // Back at the original size every control goes straight back to where it was.
    moveAllBack();
  } else {
    visitChildren(0, {0, 0, ORIGWIN.WIDTH, ORIGWIN.HEIGHT}, {0, 0, n.WIDTH, n.HEIGHT});
    if (!DEFERMOVES) {
      // One by one, the order keeps moved controls from running over ones not yet moved: when the
      // window grew the farthest move first, when it shrank the nearest.
      const bool widthSame = n.WIDTH == PREVIOUSWIN.WIDTH, heightSame = n.HEIGHT == PREVIOUSWIN.HEIGHT;
      for (MoveEntry& m : *RESIZELIST) {
        const std::int64_t x = m.AFTER.XPOS, y = m.AFTER.YPOS;
        m.PRIORITY = std::int32_t(widthSame ? y : heightSame ? x : std::min<std::int64_t>(squared(x) + squared(y), INT32_MAX));
      }
      const bool grew = squared(PREVIOUSWIN.WIDTH) + squared(PREVIOUSWIN.HEIGHT) <= squared(n.WIDTH) + squared(n.HEIGHT);
      if (grew) std::ranges::stable_sort(*RESIZELIST, std::ranges::greater{}, &MoveEntry::PRIORITY);
      else std::ranges::stable_sort(*RESIZELIST, std::ranges::less{}, &MoveEntry::PRIORITY);
    }
    for (const MoveEntry& m : *RESIZELIST)
      if (m.BEFORE != m.AFTER) moveControl(m.CONTROLID, m.AFTER);
  }
  if (DEFERMOVES) window::SetProperty(window_, 0, prop::DeferMove, batch < 0 ? batch : 0);
  RESIZECALLED = 1;
  PREVIOUSWIN = n;
}

void WindowResizer::RestoreLayout() {
  window::SetProperty(window_, 0, prop::Maximize, long(ORIGWIN.MAXIMIZED));
  window::SetProperty(window_, 0, prop::Iconize, long(ORIGWIN.ICONIZED));
  window::SetPosition(window_, 0, window::kUnchanged, window::kUnchanged, ORIGWIN.WIDTH, ORIGWIN.HEIGHT);
  if (CONTROLQUEUE) moveAllBack();
}

void WindowResizer::Attach(std::uint8_t appStrategy, bool fixMinimum, bool fixMaximum) {
  Detach();
  CONTROLQUEUE = std::make_unique<std::vector<ControlEntry>>();
  RESIZELIST = std::make_unique<std::vector<MoveEntry>>();
  APPSTRATEGY = appStrategy;
  for (const int code : kResizeEvents)
    handlers_.push_back(window::RegisterEventHandler(window_, code, [this](window::Window&, const window::EventRecord&) {
      OnResizeEvent();
      return int(window::HandlerAnswer::PassOn);  // the procedure sees the event too
    }));
  window::SetProperty(window_, 0, prop::MoveSizeEvents, 1L);
  CaptureLayout();
  if (appStrategy == StrategySurface || appStrategy == StrategyStretch) AssignParents();
  if (fixMinimum) {
    window::SetProperty(window_, 0, prop::MinWidth, long(ORIGWIN.WIDTH));
    window::SetProperty(window_, 0, prop::MinHeight, long(ORIGWIN.HEIGHT));
  }
  if (fixMaximum) {
    window::SetProperty(window_, 0, prop::MaxWidth, long(ORIGWIN.WIDTH));
    window::SetProperty(window_, 0, prop::MaxHeight, long(ORIGWIN.HEIGHT));
  }
  DEFERMOVES = 1;
}

void WindowResizer::Detach() {
  for (const int h : handlers_) window::UnregisterEventHandler(window_, h);
  handlers_.clear();
  CONTROLQUEUE.reset();
  RESIZELIST.reset();
}

}  // namespace tamsil::framework
