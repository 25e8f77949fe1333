// Positions in dialog units: reading and moving controls and the window, the DeferMove batch, and
// the window's size limits.
#include <algorithm>

#include "platform/controls/menu.h"
#include "platform/dialogs/dialogs.h"
#include "platform/messages.h"
#include "platform/window/window.h"
#include "runtime/core/runtime_lock.h"
#include "runtime/window/property_internal.h"

namespace tamsil::window {

using namespace platform;

namespace {

// MulDiv's rounding (half away from zero), as the dialog manager converts.
int mulDiv(int v, int num, int den) {
  if (den == 0) return v;
  const long long p = (long long)v * num;
  return int(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

struct Units {
  int x, y;
  explicit Units(const Window& w) {
    const DialogBaseUnits u = GetDialogBaseUnitsFor(w.font);
    x = u.x, y = u.y;
  }
  int pxX(int d) const { return mulDiv(d, x, 4); }
  int pxY(int d) const { return mulDiv(d, y, 8); }
  int duX(int p) const { return mulDiv(p, 4, x); }
  int duY(int p) const { return mulDiv(p, 8, y); }
};

// The frame size that holds a client area of the given size, for the window's style and menu.
POINT frameFor(const Window& w, int clientW, int clientH) {
  RECT r{0, 0, clientW, clientH};
  AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrA(w.handle, GWL_STYLE)), GetMenu(w.handle) != nullptr, 0);
  return {r.width(), r.height()};
}

// A rectangle in pixels: the window's frame position and client size, or a control's rectangle
// in the window's client area.
RECT pixelRect(const Window& w, HWND hwnd) {
  RECT r{};
  if (hwnd == w.handle) {
    RECT frame, client;
    GetWindowRect(hwnd, &frame);
    GetClientRect(hwnd, &client);
    return {frame.left, frame.top, frame.left + client.width(), frame.top + client.height()};
  }
  GetWindowRect(hwnd, &r);
  POINT tl{r.left, r.top}, br{r.right, r.bottom};
  ScreenToClient(w.handle, &tl);
  ScreenToClient(w.handle, &br);
  return {tl.x, tl.y, br.x, br.y};
}

DialogRect toDialog(const Units& u, const RECT& px) { return {u.duX(px.left), u.duY(px.top), u.duX(px.width()), u.duY(px.height())}; }

DialogRect storedRect(const PropertyStore& s) {
  auto v = [&](std::uint16_t n) { return int(detail::parseNumber(s.get(n).value_or("")).value_or(0)); };
  return {v(prop::Xpos), v(prop::Ypos), v(prop::Width), v(prop::Height)};
}

// Moves one platform window; coordinates given as kUnchanged keep their pixels exactly.
void place(Window& w, HWND hwnd, const DialogRect& wanted) {
  const Units u(w);
  const RECT now = pixelRect(w, hwnd);
  auto pick = [](int want, int current, int px) { return want == kUnchanged ? current : px; };
  const int x = pick(wanted.x, now.left, u.pxX(wanted.x));
  const int y = pick(wanted.y, now.top, u.pxY(wanted.y));
  const int cw = pick(wanted.width, now.width(), u.pxX(wanted.width));
  const int ch = pick(wanted.height, now.height(), u.pxY(wanted.height));
  if (hwnd == w.handle) {
    const POINT frame = frameFor(w, cw, ch);
    MoveWindow(hwnd, x, y, frame.x, frame.y, TRUE);
  } else {
    MoveWindow(hwnd, x, y, cw, ch, TRUE);
  }
}

DialogRect merged(DialogRect base, const DialogRect& wanted) {
  if (wanted.x != kUnchanged) base.x = wanted.x;
  if (wanted.y != kUnchanged) base.y = wanted.y;
  if (wanted.width != kUnchanged) base.width = wanted.width;
  if (wanted.height != kUnchanged) base.height = wanted.height;
  return base;
}

PropertyStatus currentRect(Window& w, int field, DialogRect& out) {
  if (!w.handle) return PropertyStatus::WindowNotOpen;
  if (field == 0) {
    out = toDialog(Units(w), pixelRect(w, w.handle));
    return PropertyStatus::Ok;
  }
  Control* c = w.control(field);
  if (!c) return PropertyStatus::NoSuchControl;
  out = c->hwnd ? toDialog(Units(w), pixelRect(w, c->hwnd)) : storedRect(c->properties);
  return PropertyStatus::Ok;
}

}  // namespace

namespace detail {

PropertyStatus movePosition(Window& w, int field, DialogRect wanted, bool keepNoWidth) {
  DialogRect now;
  if (const PropertyStatus s = currentRect(w, field, now); s != PropertyStatus::Ok) return s;
  Control* c = field ? w.control(field) : nullptr;
  if (c && keepNoWidth && parseNumber(c->properties.get(prop::NoWidth).value_or("")).value_or(0)) wanted.width = kUnchanged;
  if (field != 0 && w.deferred.open < 0) {
    const auto it = w.deferred.moves.find(field);
    w.deferred.moves[field] = merged(it == w.deferred.moves.end() ? now : it->second, wanted);
    return PropertyStatus::Ok;
  }
  if (c && !c->hwnd) {
    const DialogRect r = merged(now, wanted);
    c->properties.set(prop::Xpos, 0, std::to_string(r.x));
    c->properties.set(prop::Ypos, 0, std::to_string(r.y));
    c->properties.set(prop::Width, 0, std::to_string(r.width));
    c->properties.set(prop::Height, 0, std::to_string(r.height));
    return PropertyStatus::Ok;
  }
  place(w, c ? c->hwnd : w.handle, wanted);
  return PropertyStatus::Ok;
}

DialogRect toDialogUnits(const Window& w, const RECT& px) { return toDialog(Units(w), px); }

void commitDeferredMoves(Window& w) {
  auto moves = std::move(w.deferred.moves);
  w.deferred = {};
  for (const auto& [field, rect] : moves) movePosition(w, field, rect, false);
}

void applySizeLimits(Window& w, MINMAXINFO& info) {
  auto limit = [&](std::uint16_t n) { return int(parseNumber(w.properties.get(n).value_or("")).value_or(0)); };
  const Units u(w);
  const int minW = limit(prop::MinWidth), minH = limit(prop::MinHeight);
  const int maxW = limit(prop::MaxWidth), maxH = limit(prop::MaxHeight);
  if (minW > 0 || minH > 0) {
    const POINT f = frameFor(w, u.pxX(std::max(minW, 0)), u.pxY(std::max(minH, 0)));
    if (minW > 0) info.ptMinTrackSize.x = std::max(info.ptMinTrackSize.x, f.x);
    if (minH > 0) info.ptMinTrackSize.y = std::max(info.ptMinTrackSize.y, f.y);
  }
  if (maxW > 0 || maxH > 0) {
    const POINT f = frameFor(w, u.pxX(std::max(maxW, 0)), u.pxY(std::max(maxH, 0)));
    // A maximized window is held to the limit too.
    auto cap = [](LONG& track, LONG& maxSize, LONG frame) {
      track = frame;
      if (maxSize == 0 || maxSize > frame) maxSize = frame;
    };
    if (maxW > 0) cap(info.ptMaxTrackSize.x, info.ptMaxSize.x, f.x);
    if (maxH > 0) cap(info.ptMaxTrackSize.y, info.ptMaxSize.y, f.y);
  }
}

void holdToSizeLimits(Window& w, WINDOWPOS& pos) {
  if ((pos.flags & SWP_NOSIZE) || IsIconic(w.handle)) return;
  MINMAXINFO limits{};
  applySizeLimits(w, limits);
  if (limits.ptMinTrackSize.x) pos.cx = std::max(pos.cx, int(limits.ptMinTrackSize.x));
  if (limits.ptMinTrackSize.y) pos.cy = std::max(pos.cy, int(limits.ptMinTrackSize.y));
  if (limits.ptMaxTrackSize.x) pos.cx = std::min(pos.cx, int(limits.ptMaxTrackSize.x));
  if (limits.ptMaxTrackSize.y) pos.cy = std::min(pos.cy, int(limits.ptMaxTrackSize.y));
}

}  // namespace detail

PropertyStatus GetPosition(Window& w, int field, DialogRect& out) {
  RuntimeLockGuard lock(runtimeLock());
  if (const PropertyStatus s = currentRect(w, field, out); s != PropertyStatus::Ok) return s;
  if (const auto it = w.deferred.moves.find(field); it != w.deferred.moves.end()) out = it->second;
  return PropertyStatus::Ok;
}

PropertyStatus SetPosition(Window& w, int field, int x, int y, int width, int height) {
  RuntimeLockGuard lock(runtimeLock());
  return detail::movePosition(w, field, {x, y, width, height}, true);
}

}  // namespace tamsil::window
