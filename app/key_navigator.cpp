#include "app/key_navigator.h"

#include <algorithm>

#include "platform/messages.h"
#include "platform/queue/queue.h"
#include "runtime/core/thread_context.h"
#include "runtime/window/definition_format.h"
#include "runtime/window/event_codes.h"
#include "runtime/window/operations.h"
#include "runtime/window/properties.h"
#include "runtime/window/property_names.h"
#include "runtime/window/window_object.h"

namespace kestrel {

namespace win = tamsil::window;

namespace {

// Runtime types beyond the stored kinds that the navigator still treats like their relatives: a
// list's and a text's variants.
constexpr int kListVariant = 33, kEntryListVariant = 15, kSpinVariant = 16, kDropVariant = 34, kTextVariant = 40;

bool isMultiLineCapable(int type) { return type == int(win::Kind::Text) || type == kTextVariant; }

struct Modifier {
  std::uint32_t bit;
  platform::BYTE key;
};
constexpr Modifier kModifiers[] = {
    {0x100, platform::BYTE(platform::VK_SHIFT)}, {0x200, platform::BYTE(platform::VK_CONTROL)}, {0x400, platform::BYTE(platform::VK_MENU)}};

void keyDown(platform::BYTE key) { platform::keybd_event(key, 0, 0, 0); }
void keyUp(platform::BYTE key) { platform::keybd_event(key, 0, platform::KEYEVENTF_KEYUP, 0); }

void actAsTab() { PressKeyCode(KeyTab); }

// Shift down, Tab down, Tab up, Shift up: the platform sees the keys one by one.
void actAsShiftTab() {
  keyDown(platform::BYTE(platform::VK_SHIFT));
  keyDown(platform::BYTE(platform::VK_TAB));
  keyUp(platform::BYTE(platform::VK_TAB));
  keyUp(platform::BYTE(platform::VK_SHIFT));
}

}  // namespace

std::vector<std::uint32_t> AlertKeysFor(int type, std::uint8_t flag, bool single) {
  switch (type) {
    case int(win::Kind::Entry): return {KeyDown, KeyEnter, KeyUp};
    case int(win::Kind::Button): return {KeyUp, KeyDown, KeyRight, KeyLeft};
    case int(win::Kind::Check): return {KeyEnter, KeyUp, KeyDown, KeyRight, KeyLeft};
    case int(win::Kind::List):
    case kListVariant:
      if (flag == 0) return {KeyEnter, KeyRight, KeyLeft};
      return {KeyEnter};
    case kEntryListVariant:
    case kSpinVariant:
    case kDropVariant: return {KeyEnter};
    case int(win::Kind::Text):
    case kTextVariant:
      if (single) return {KeyEnter, KeyDown, KeyUp};
      return {KeyEnter};
    case int(win::Kind::Radio): return {KeyEnter};
    default: return {};
  }
}

void PressKeyCode(std::uint32_t code) {
  for (const Modifier& m : kModifiers)
    if (code & m.bit) keyDown(m.key);
  keyDown(platform::BYTE(code & 0xFF));
  keyUp(platform::BYTE(code & 0xFF));
  for (auto m = std::rbegin(kModifiers); m != std::rend(kModifiers); ++m)
    if (code & m->bit) keyUp(m->key);
}

void KeyNavigator::Init() {
  EXCLUDEDCONTROL = std::make_unique<std::vector<std::int32_t>>();
  NEXTTABSTOPCONTROLQ = std::make_unique<std::vector<TabStopPair>>();
  INITED = 0;
}

void KeyNavigator::Kill() {
  EXCLUDEDCONTROL.reset();
  NEXTTABSTOPCONTROLQ.reset();
  INITED = 0;
  window_ = nullptr;
}

bool KeyNavigator::excluded(int field) const { return EXCLUDEDCONTROL && std::ranges::find(*EXCLUDEDCONTROL, field) != EXCLUDEDCONTROL->end(); }

const KeyNavigator::TabStopPair* KeyNavigator::pairFrom(int field) const {
  if (!NEXTTABSTOPCONTROLQ) return nullptr;
  const auto it = std::ranges::find(*NEXTTABSTOPCONTROLQ, field, &TabStopPair::FROM);
  return it == NEXTTABSTOPCONTROLQ->end() ? nullptr : &*it;
}

const KeyNavigator::TabStopPair* KeyNavigator::pairTo(int field) const {
  if (!NEXTTABSTOPCONTROLQ) return nullptr;
  const auto it = std::ranges::find(*NEXTTABSTOPCONTROLQ, field, &TabStopPair::TO);
  return it == NEXTTABSTOPCONTROLQ->end() ? nullptr : &*it;
}

// Appends the key through the runtime's Alrt property (one past the last key) unless it is there.
void KeyNavigator::addAlertKey(int field, std::uint32_t key) {
  const win::Control* c = window_->control(field);
  if (!c || std::ranges::find(c->alertKeys, key) != c->alertKeys.end()) return;
  win::SetProperty(*window_, field, win::prop::Alrt, long(key), int(c->alertKeys.size()) + 1);
}

void KeyNavigator::Arm(win::Window& window, std::uint8_t flag) {
  window_ = &window;
  for (int field = window.lowestField; field <= window.highestField; ++field) {
    if (!window.control(field)) continue;
    if (!excluded(field)) {
      const int type = int(win::GetProperty(window, field, win::prop::Type).number());
      const bool single = win::GetProperty(window, field, win::prop::Single).number() != 0;
      for (std::uint32_t key : AlertKeysFor(type, flag, single)) addAlertKey(field, key);
    }
    if (pairFrom(field)) addAlertKey(field, KeyTab);
    if (pairTo(field)) addAlertKey(field, KeyShiftTab);
  }
  INITED = 1;
}

bool KeyNavigator::TakeEvent() {
  if (!INITED || !window_ || win::EventCode() != win::event::AlertKey) return false;
  const int field = win::EventField();
  if (excluded(field)) return false;
  const tamsil::ThreadContext* tc = tamsil::currentThreadContext();
  if (!tc) return false;
  switch (tc->lastKeyCode) {
    case KeyEnter: {
      const int type = int(win::GetProperty(*window_, field, win::prop::Type).number());
      if (isMultiLineCapable(type) && win::GetProperty(*window_, field, win::prop::Single).number() == 0) {
        PressKeyCode(KeyShiftEnter);
        PressKeyCode(KeyShiftShift);
      } else {
        actAsTab();
      }
      return true;
    }
    case KeyUp:
    case KeyLeft: actAsShiftTab(); return true;
    case KeyDown:
    case KeyRight: actAsTab(); return true;
    case KeyTab:
      if (const TabStopPair* p = pairFrom(field)) {
        win::SelectField(p->TO);
      } else {
        win::SelectField(int(win::GetProperty(*window_, field, win::prop::NextTabStop).number()));
      }
      return true;
    case KeyShiftTab:
      if (const TabStopPair* p = pairTo(field)) {
        win::SelectField(p->FROM);
      } else {
        win::SelectField(int(win::GetProperty(*window_, field, win::prop::PrevTabStop).number()));
      }
      return true;
    default: return false;
  }
}

}  // namespace kestrel
